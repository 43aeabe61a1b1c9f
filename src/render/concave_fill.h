#pragma once
// Filling faces that GL_POLYGON cannot: GL defines it for convex polygons
// only, so a concave face is split into triangles once per model.

#include <cstdint>
#include <span>
#include <vector>

#include "model/mesh_object.h"

// True when the face's corners, seen along its average normal, turn one way
// only and go round once. Triangles, and faces whose corners all lie on one
// line (nothing to fill), count as convex.
bool isConvexFace(const float* vertices, std::span<const std::int32_t> face);

// The triangles that fill an object's concave faces.
struct ConcaveFill {
  std::vector<std::uint32_t> faces;     // ascending indices of the split faces
  std::vector<std::uint32_t> starts{0};  // per split face, its first float in triangles; then the end
  std::vector<float> triangles;          // x, y, z of each corner, three corners a triangle

  std::span<const float> trianglesOf(std::size_t k) const {
    return {triangles.data() + starts[k], starts[k + 1] - starts[k]};
  }
};

// Splits every concave face of the object (odd winding rule, so a face that
// crosses itself fills as it would by the even-odd rule).
ConcaveFill makeConcaveFill(const MeshObject& object);
