#pragma once
// The readers, one per format. Each hands back a model, or the reason it has
// none after its own debug line: the file could not be opened, its content is
// damaged, or its header is refused.

#include <string_view>

#include "formats/reader_support.h"
#include "formats/text_parts.h"

// OFF: one object.
ReadResult readOffFile(const char* name);
ReadResult readOffText(TextScanner& scan, const char* name);
// The same read of OFF text in memory, its body cut at line ends into `parts`
// runs read as `threads` says where its layout allows; big files are read
// so, side by side.
ReadResult readOffTextInParts(std::string_view text, const char* name, std::size_t parts,
                              PartThreads threads = PartThreads::own);
// Wavefront OBJ: one object, with its corners' texture coordinates and
// normals, vertex colours, polylines and the materials of its MTL libraries;
// faces whose groups name no vertex are dropped.
ReadResult readObjFile(const char* name);
ReadResult readObjText(TextScanner& scan, const char* name);
// The same read of OBJ text in memory, cut at line ends into `parts` runs
// that are read as `threads` says; big files are read so, side by side.
ReadResult readObjTextInParts(std::string_view text, const char* name, std::size_t parts,
                              PartThreads threads = PartThreads::own);
// Legacy VTK polygon data (count-prefixed cells and the version-5 offsets
// and connectivity arrays): one object.
ReadResult readVtkFile(const char* name);
ReadResult readVtkText(TextScanner& scan, const char* name);
ReadResult readVtpFile(const char* name);
// The 3DFACE entities of a text DXF drawing: one object per entity that
// gives a coordinate.
ReadResult readDxfFile(const char* name);
ReadResult readDxfText(TextScanner& scan, const char* name);
// 3D Studio: one object per triangle mesh.
ReadResult read3dsFile(const char* name);
// Truespace binary: one object per polygon object, placed by its matrix.
ReadResult readCobFile(const char* name);
// Lightwave LWOB and LWO2: one object per point list.
ReadResult readLwoFile(const char* name);
// Quake 2: the first frame.
ReadResult readMd2File(const char* name);
// Quake 1: the first frame.
ReadResult readMdlFile(const char* name);
// STL, binary and ASCII: one object a file (a solid block in ASCII), equal
// corners welded into one vertex.
ReadResult readStlFile(const char* name);
// PLY, ASCII and binary: one object of the vertex and face elements.
ReadResult readPlyFile(const char* name);
// glTF 2.0, JSON or binary: one object a triangle primitive of the default
// scene, placed by its node.
ReadResult readGltfFile(const char* name);
// The other formats, read by the import library in tessera-import (run under
// limits, its faults ending it alone; formats/hand_back.h): one object a mesh
// of each node, placed by the node.
ReadResult readImportedFile(const char* name);
// DirectX, text, binary and MSZIP-compressed: one object per mesh, placed
// by the frames around it.
ReadResult readXFile(const char* name);
