#pragma once

#include <optional>

#include "model/mesh_object.h"

// The 3DFACE entities of a text DXF drawing, read by group codes: one object
// of four corners and one face per entity. Returns nothing when the file
// cannot be opened or its pairs are damaged.
std::optional<Model> readDxfFile(const char* name);
