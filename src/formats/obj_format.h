#pragma once

#include <optional>

#include "model/mesh_object.h"

// Returns a model of one object, or nothing when the file cannot be opened or
// a vertex line does not hold three numbers. Faces whose groups do not name
// existing vertices are dropped.
std::optional<Model> readObjFile(const char* name);
