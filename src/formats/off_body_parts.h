#pragma once
// The body of a big OFF file, after its header, read on several cores.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/text_parts.h"
#include "model/mesh_object.h"

// Fills `object` with the coordinates and faces that reading `body` (the text
// after the header's last number) number by number gives, cut into `parts`
// runs of lines read as `threads` says. False, with `object` in no particular
// state, when the text keeps to a layout that only reading number by number
// can follow; the caller reads it so then.
bool readOffBodyInParts(std::string_view body, std::int32_t numVertices, std::int32_t numFaces, std::size_t parts,
                        PartThreads threads, MeshObject& object);
