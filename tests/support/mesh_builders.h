#pragma once
// Models built in code for tests and samples.

#include <string>

#include "model/mesh_object.h"

// An object from a vertex list and face lists, with bounds and centre set.
MeshObject makeObject(const std::vector<float>& vertices, const std::vector<std::vector<std::int32_t>>& faces);

// A torus of rings x segments quads around the z axis.
MeshObject makeTorus(int rings, int segments, float majorRadius, float minorRadius);

// Writes an object as an OFF file (the program's own writer) and returns the path.
std::string writeModelFile(const std::string& path, const MeshObject& object);
