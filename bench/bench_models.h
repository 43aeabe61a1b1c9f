#pragma once
// Large models built in code for the benchmarks.

#include <cstddef>
#include <string>

#include "model/mesh_object.h"

// A grid of triangles (2 per cell) in the xy plane: about 2*n*n faces.
MeshObject makeTriangleGrid(int n);

// OFF text as the writer would produce it.
std::string offText(const MeshObject& object);

// Bytes held by an object's arrays (their capacity), for memory figures.
std::size_t modelBytes(const MeshObject& object);
