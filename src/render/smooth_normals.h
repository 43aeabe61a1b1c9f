#pragma once
// Normals for smooth shading where a file gives none: made once per model.

#include <cstdint>
#include <vector>

#include "model/mesh_object.h"

// One normal (x, y, z, unit length) for each entry of the object's face
// table: the angle-weighted mean of the normals of the faces that meet at
// the corner's position (vertices at the same place count as one, so a
// mesh stored as loose triangles still shades smoothly), taking only faces
// that turn less than `creaseDegrees` from the corner's own face, or, where
// the object has smoothing groups, only faces sharing a group with it.
std::vector<float> smoothCornerNormals(const MeshObject& object, float creaseDegrees);

// Which corners each corner's smooth normal takes in, as decided at one
// pose: a model that moves keeps it, so that only the faces' directions and
// angles follow the pose (an edge smooth at rest stays smooth as it bends),
// and the sorting and comparing are done once.
struct SmoothingPlan {
  // Corners at one place that take in the same faces share one normal, made
  // once: each entry of the face table names its share.
  std::vector<std::uint32_t> shareOf;
  std::vector<std::uint32_t> starts{0};  // per share, its first in `together`; then the end
  std::vector<std::uint32_t> together;   // face-table entries whose faces (and angles) a share takes in
};
SmoothingPlan smoothingPlan(const MeshObject& object, float creaseDegrees);
// The normals above by a plan made for the same face table (entries a
// plan does not reach keep their face's normal), each face weighing by its
// area rather than its corners' angles: quick enough to make again for
// every pose shown.
std::vector<float> smoothCornerNormals(const MeshObject& object, const SmoothingPlan& plan);

// The unit normal of a face (Newell's method, so non-planar faces get their
// mean direction); (0, 0, 1) for a face without area.
void faceNormal(const MeshObject& object, std::size_t face, float normal[3]);
