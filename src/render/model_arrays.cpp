#include "render/model_arrays.h"

#include <cmath>

#include <algorithm>

namespace {

// How many corners of a face take part in drawing.
std::size_t cornersDrawn(std::size_t size, bool trianglesOnly) {
  if (trianglesOnly) return size >= 3 ? 3 : 0;
  return size >= 3 ? size : 0;  // a face of one or two corners draws nothing
}

}  // namespace

ObjectArrays makeFillArrays(const MeshObject& object, bool trianglesOnly) {
  ObjectArrays arrays;
  const FaceTable& faces = object.faces;
  const std::size_t count = faces.count();
  // Only a format drawn as triangles may use the face table itself: GL splits
  // a polygon, a three-cornered one too, in its own corner order below.
  arrays.facesAreTriangles = trianglesOnly && faces.indices.size() == 3 * count;
  for (std::size_t f = 0; f < count && arrays.facesAreTriangles; ++f) {
    arrays.facesAreTriangles = faces.offsets[f + 1] - faces.offsets[f] == 3;
  }
  if (arrays.facesAreTriangles) return arrays;
  if (!trianglesOnly) arrays.concave = makeConcaveFill(object);
  std::size_t nextSplit = 0;
  for (std::size_t f = 0; f < count; ++f) {
    if (nextSplit < arrays.concave.faces.size() && arrays.concave.faces[nextSplit] == f) {
      ++nextSplit;
      continue;
    }
    const auto face = faces[f];
    if (trianglesOnly) {
      if (face.size() >= 3) {
        arrays.triangles.insert(arrays.triangles.end(), {static_cast<std::uint32_t>(face[0]), static_cast<std::uint32_t>(face[1]),
                                                         static_cast<std::uint32_t>(face[2])});
      }
      continue;
    }
    const std::size_t corners = cornersDrawn(face.size(), false);
    // Corners in the order GL's own polygon split gives them (k, k + 1, 0),
    // so that interpolated fog and depth come out to the same bits.
    for (std::size_t k = 1; k + 1 < corners; ++k) {
      arrays.triangles.insert(arrays.triangles.end(), {static_cast<std::uint32_t>(face[k]), static_cast<std::uint32_t>(face[k + 1]),
                                                       static_cast<std::uint32_t>(face[0])});
    }
  }
  return arrays;
}

void makeEdgeArrays(const MeshObject& object, bool trianglesOnly, ObjectArrays& arrays) {
  // Each edge as one number, lower index first, so that the two faces on
  // either side of an edge give the same number; kept in the direction of
  // the first face that has it (a line's last pixel depends on its direction).
  struct Edge {
    std::uint64_t key;
    std::uint32_t order;
    bool reversed;
  };
  std::vector<Edge> edges;
  edges.reserve(object.faces.indices.size());
  for (std::size_t f = 0; f < object.faces.count(); ++f) {
    const auto face = object.faces[f];
    const std::size_t corners = cornersDrawn(face.size(), trianglesOnly);
    for (std::size_t k = 0; k < corners; ++k) {
      const auto a = static_cast<std::uint32_t>(face[k]), b = static_cast<std::uint32_t>(face[(k + 1) % corners]);
      edges.push_back({std::uint64_t{std::min(a, b)} << 32 | std::max(a, b), static_cast<std::uint32_t>(edges.size()), a > b});
    }
  }
  std::sort(edges.begin(), edges.end(), [](const Edge& x, const Edge& y) { return x.key != y.key ? x.key < y.key : x.order < y.order; });
  edges.erase(std::unique(edges.begin(), edges.end(), [](const Edge& x, const Edge& y) { return x.key == y.key; }), edges.end());
  arrays.edges.resize(2 * edges.size());
  for (std::size_t e = 0; e < edges.size(); ++e) {
    const auto low = static_cast<std::uint32_t>(edges[e].key >> 32), high = static_cast<std::uint32_t>(edges[e].key);
    arrays.edges[2 * e] = edges[e].reversed ? high : low;
    arrays.edges[2 * e + 1] = edges[e].reversed ? low : high;
  }
  arrays.edgesMade = true;
}

void makeLitArrays(const MeshObject& object, ObjectArrays& arrays) {
  arrays.litCorners.clear();
  arrays.litNormals.clear();
  const auto add = [&](const float* a, const float* b, const float* c) {
    float n[3] = {(b[1] - a[1]) * (c[2] - a[2]) - (b[2] - a[2]) * (c[1] - a[1]),
                  (b[2] - a[2]) * (c[0] - a[0]) - (b[0] - a[0]) * (c[2] - a[2]),
                  (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0])};
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    // A face without area has no direction: it faces the eye's way.
    if (length > 0.0f && std::isfinite(length)) {
      for (float& v : n) v /= length;
    } else {
      n[0] = n[1] = 0.0f, n[2] = 1.0f;
    }
    for (const float* corner : {a, b, c}) {
      arrays.litCorners.insert(arrays.litCorners.end(), corner, corner + 3);
      arrays.litNormals.insert(arrays.litNormals.end(), n, n + 3);
    }
  };
  const float* v = object.vertices.data();
  if (arrays.facesAreTriangles) {
    const std::vector<std::int32_t>& t = object.faces.indices;
    for (std::size_t k = 0; k + 2 < t.size(); k += 3) add(v + 3 * t[k], v + 3 * t[k + 1], v + 3 * t[k + 2]);
  } else {
    const std::vector<std::uint32_t>& t = arrays.triangles;
    for (std::size_t k = 0; k + 2 < t.size(); k += 3) add(v + 3 * t[k], v + 3 * t[k + 1], v + 3 * t[k + 2]);
  }
  const std::vector<float>& concave = arrays.concave.triangles;
  for (std::size_t k = 0; k + 8 < concave.size(); k += 9) add(&concave[k], &concave[k + 3], &concave[k + 6]);
  arrays.litMade = true;
}
