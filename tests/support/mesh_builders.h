#pragma once
// Models and OFF texts built in code for tests, benchmarks and samples.

#include <string>

#include "model/mesh_object.h"

// An object from a vertex list and face lists, with bounds and centre set.
MeshObject makeObject(const std::vector<float>& vertices,
                      const std::vector<std::vector<std::int32_t>>& faces);

// A torus of rings x segments quads around the z axis.
MeshObject makeTorus(int rings, int segments, float majorRadius, float minorRadius);

// A grid of triangles (2 per cell) in the xy plane: about 2*n*n faces.
MeshObject makeTriangleGrid(int n);

// OFF text as the writer would produce it.
std::string offText(const MeshObject& object);

// Bytes held by an object's arrays (their capacity), for memory figures.
std::size_t modelBytes(const MeshObject& object);
