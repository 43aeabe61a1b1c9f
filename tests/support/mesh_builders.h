#pragma once
// Models built in code for tests and samples.

#include <string>

#include "model/mesh_object.h"

// An object from a vertex list and face lists, with bounds and centre set.
MeshObject makeObject(const std::vector<float>& vertices, const std::vector<std::vector<std::int32_t>>& faces);

// A torus of rings x segments quads around the z axis.
MeshObject makeTorus(int rings, int segments, float majorRadius, float minorRadius);

// A Quake 2 model of one triangle (vertices 0, 1, 2) whose frames have the
// given names: in frame k, vertex 0 stands at (k, 2k, 3k) and vertices 1 and
// 2 at (10, 0, 0) and (0, 10, 0) (scale 1, no shift: bytes as they are).
std::string md2Bytes(const std::vector<std::string>& frameNames);

// Writes an object as an OFF file (the program's own writer) and returns the path.
std::string writeModelFile(const std::string& path, const MeshObject& object);
