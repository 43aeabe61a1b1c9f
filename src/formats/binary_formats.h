#pragma once
// The binary model formats. Each reader returns nothing when its file cannot
// be opened or its content is damaged (a read past the end of the file or of
// a stated size); some end the program (status -1) on a header they refuse.

#include <optional>

#include "model/mesh_object.h"

// 3D Studio: one object per triangle mesh.
std::optional<Model> read3dsFile(const char* name);
// Truespace binary: one object per polygon object, placed by its matrix.
std::optional<Model> readCobFile(const char* name);
// Lightwave LWOB and LWO2: one object per point list.
std::optional<Model> readLwoFile(const char* name);
// Quake 2: the first frame.
std::optional<Model> readMd2File(const char* name);
// Quake 1: the first frame.
std::optional<Model> readMdlFile(const char* name);
// DirectX: the header is checked; no geometry is read.
std::optional<Model> readXFile(const char* name);
