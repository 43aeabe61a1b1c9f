#pragma once
// Large models built in code for the benchmarks.

#include <cstddef>
#include <string>

#include "model/mesh_object.h"

// A grid of triangles (2 per cell) in the xy plane: about 2*n*n faces.
MeshObject makeTriangleGrid(int n);

// A closed, gently bumpy sphere of about `triangles` triangles: a surface
// like a scan's, which simplification can thin without losing its shape.
MeshObject makeBumpySphere(std::size_t triangles);

// Binary little-endian PLY of a triangle mesh.
bool writeBinaryPly(const MeshObject& object, const std::string& path);

// OFF text as the writer would produce it.
std::string offText(const MeshObject& object);

// Bytes held by an object's arrays (their capacity), for memory figures.
std::size_t modelBytes(const MeshObject& object);
