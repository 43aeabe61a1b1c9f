#include "render/smooth_normals.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// Beyond this many corners at one place (the hub of a fan, a pole) the
// pairwise comparison would cost its square: such corners keep their face's
// own normal.
constexpr std::size_t kMostCornersCompared = 512;

void normalise(float n[3], bool& ok) {
  const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  ok = length > 0.0f && std::isfinite(length);
  if (!ok) return;
  for (int k = 0; k < 3; ++k) n[k] /= length;
}

// Ids that are equal for vertices at the same place.
std::vector<std::uint32_t> placeIds(const MeshObject& object) {
  const float* v = object.vertices.data();
  const auto count = static_cast<std::uint32_t>(object.numVertices());
  std::vector<std::uint32_t> order(count);
  std::iota(order.begin(), order.end(), 0u);
  const auto less = [v](std::uint32_t a, std::uint32_t b) {
    return std::lexicographical_compare(v + 3 * a, v + 3 * a + 3, v + 3 * b, v + 3 * b + 3);
  };
  std::sort(order.begin(), order.end(), less);
  std::vector<std::uint32_t> ids(count);
  std::uint32_t id = 0;
  for (std::size_t k = 0; k < order.size(); ++k) {
    if (k > 0 && less(order[k - 1], order[k])) ++id;
    ids[order[k]] = id;
  }
  return ids;
}

// The angle of each corner between its two edges.
float cornerAngle(const float* previous, const float* corner, const float* next) {
  float a[3], b[3];
  for (int k = 0; k < 3; ++k) a[k] = previous[k] - corner[k], b[k] = next[k] - corner[k];
  const float dot = a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
  const float lengths = std::sqrt((a[0] * a[0] + a[1] * a[1] + a[2] * a[2]) * (b[0] * b[0] + b[1] * b[1] + b[2] * b[2]));
  if (!(lengths > 0.0f) || !std::isfinite(lengths)) return 0.0f;
  return std::acos(std::clamp(dot / lengths, -1.0f, 1.0f));
}

}  // namespace

void faceNormal(const MeshObject& object, std::size_t face, float normal[3]) {
  const auto corners = object.faces[face];
  const float* v = object.vertices.data();
  double n[3] = {0, 0, 0};
  for (std::size_t k = 0; k < corners.size(); ++k) {
    const float* a = v + 3 * static_cast<std::size_t>(corners[k]);
    const float* b = v + 3 * static_cast<std::size_t>(corners[(k + 1) % corners.size()]);
    n[0] += (static_cast<double>(a[1]) - b[1]) * (static_cast<double>(a[2]) + b[2]);
    n[1] += (static_cast<double>(a[2]) - b[2]) * (static_cast<double>(a[0]) + b[0]);
    n[2] += (static_cast<double>(a[0]) - b[0]) * (static_cast<double>(a[1]) + b[1]);
  }
  for (int k = 0; k < 3; ++k) normal[k] = static_cast<float>(n[k]);
  bool ok = false;
  normalise(normal, ok);
  if (!ok) normal[0] = normal[1] = 0.0f, normal[2] = 1.0f;
}

std::vector<float> smoothCornerNormals(const MeshObject& object, float creaseDegrees) {
  const FaceTable& faces = object.faces;
  const std::size_t faceCount = faces.count(), slots = faces.indices.size();
  const float* v = object.vertices.data();
  std::vector<float> faceNormals(3 * faceCount), angles(slots);
  std::vector<std::uint32_t> faceOfSlot(slots);
  for (std::size_t f = 0; f < faceCount; ++f) {
    faceNormal(object, f, &faceNormals[3 * f]);
    const auto corners = faces[f];
    const std::size_t m = corners.size();
    for (std::size_t k = 0; k < m; ++k) {
      const std::size_t slot = faces.offsets[f] + k;
      faceOfSlot[slot] = static_cast<std::uint32_t>(f);
      angles[slot] = cornerAngle(v + 3 * static_cast<std::size_t>(corners[(k + m - 1) % m]),
                                 v + 3 * static_cast<std::size_t>(corners[k]),
                                 v + 3 * static_cast<std::size_t>(corners[(k + 1) % m]));
    }
  }
  // The slots at each place, grouped (counting sort by place id).
  const std::vector<std::uint32_t> ids = placeIds(object);
  const std::size_t places = ids.empty() ? 0 : *std::max_element(ids.begin(), ids.end()) + 1;
  std::vector<std::uint32_t> starts(places + 1, 0), slotsAt(slots);
  for (std::int32_t vertex : faces.indices) ++starts[ids[static_cast<std::size_t>(vertex)] + 1];
  std::partial_sum(starts.begin(), starts.end(), starts.begin());
  std::vector<std::uint32_t> fill(starts.begin(), starts.end() - 1);
  for (std::size_t s = 0; s < slots; ++s) slotsAt[fill[ids[static_cast<std::size_t>(faces.indices[s])]]++] = static_cast<std::uint32_t>(s);

  const float cosCrease = std::cos(creaseDegrees * 3.14159265f / 180.0f);
  const std::vector<std::uint32_t>& groups = object.smoothingGroups;
  const auto together = [&](std::uint32_t f, std::uint32_t g) {
    if (f == g) return true;
    if (!groups.empty()) return (groups[f] & groups[g]) != 0;
    const float* a = &faceNormals[3 * f];
    const float* b = &faceNormals[3 * g];
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2] >= cosCrease;
  };
  std::vector<float> normals(3 * slots);
  for (std::size_t p = 0; p < places; ++p) {
    const std::uint32_t* begin = &slotsAt[0] + starts[p];
    const std::uint32_t* end = &slotsAt[0] + starts[p + 1];
    const bool compare = static_cast<std::size_t>(end - begin) <= kMostCornersCompared;
    for (const std::uint32_t* s = begin; s != end; ++s) {
      const std::uint32_t f = faceOfSlot[*s];
      float* n = &normals[3 * *s];
      bool ok = false;
      if (compare) {
        for (const std::uint32_t* t = begin; t != end; ++t) {
          const std::uint32_t g = faceOfSlot[*t];
          if (!together(f, g)) continue;
          for (int k = 0; k < 3; ++k) n[k] += angles[*t] * faceNormals[3 * g + k];
        }
        normalise(n, ok);
      }
      if (!ok) std::copy_n(&faceNormals[3 * f], 3, n);
    }
  }
  return normals;
}
