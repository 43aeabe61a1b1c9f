#pragma once
// Normals for smooth shading where a file gives none: made once per model.

#include <vector>

#include "model/mesh_object.h"

// One normal (x, y, z, unit length) for each entry of the object's face
// table: the angle-weighted mean of the normals of the faces that meet at
// the corner's position (vertices at the same place count as one, so a
// mesh stored as loose triangles still shades smoothly), taking only faces
// that turn less than `creaseDegrees` from the corner's own face, or, where
// the object has smoothing groups, only faces sharing a group with it.
std::vector<float> smoothCornerNormals(const MeshObject& object, float creaseDegrees);

// The unit normal of a face (Newell's method, so non-planar faces get their
// mean direction); (0, 0, 1) for a face without area.
void faceNormal(const MeshObject& object, std::size_t face, float normal[3]);
