#include "model/mesh_object.h"

#include <cmath>

#include "model/appearance_check.h"

void computeBounds(MeshObject& object) {
  object.xMin = object.xMax = object.yMin = object.yMax = object.zMin = object.zMax = -1.0f;
  const float* v = object.vertices.data();
  const std::size_t count = object.vertices.size() / 3;
  for (std::size_t i = 0; i < count; ++i, v += 3) growBounds(object, i, v[0], v[1], v[2]);
}

void computeCenter(MeshObject& object) {
  const std::size_t count = object.vertices.size() / 3;
  if (count == 0) {
    object.xCenMass = object.yCenMass = object.zCenMass = 0.0f;
    return;
  }
  float sx = 0.0f, sy = 0.0f, sz = 0.0f;
  const float* v = object.vertices.data();
  for (std::size_t i = 0; i < count; ++i, v += 3) {
    sx += v[0];
    sy += v[1];
    sz += v[2];
  }
  const float n = static_cast<float>(count);
  object.xCenMass = sx / n;
  object.yCenMass = sy / n;
  object.zCenMass = sz / n;
}

std::int64_t dropOutOfRangeFaces(MeshObject& object) {
  const std::uint32_t limit = static_cast<std::uint32_t>(object.numVertices());
  FaceTable& faces = object.faces;
  const std::size_t faceCount = faces.count();
  std::size_t keptFaces = 0;
  std::size_t writeIndex = 0;
  // Only objects with per-face or per-corner data need to know which faces stay.
  const bool perFaceData = !object.faceMaterials.empty() || !object.smoothingGroups.empty() ||
                           object.colors.binding >= Binding::PerFace || object.normals.binding >= Binding::PerFace ||
                           object.texCoords.binding >= Binding::PerFace;
  if (perFaceData) {
    // Per-face data follows the face table as read, so it goes first.
    std::vector<bool> kept(faceCount, true);
    bool any = false;
    for (std::size_t f = 0; f < faceCount; ++f) {
      for (std::uint32_t k = faces.offsets[f]; k < faces.offsets[f + 1] && kept[f]; ++k) {
        kept[f] = static_cast<std::uint32_t>(faces.indices[k]) < limit;
      }
      any = any || !kept[f];
    }
    if (any) keepFacesOfAppearance(object, kept);
  }
  for (std::size_t f = 0; f < faceCount; ++f) {
    const std::uint32_t begin = faces.offsets[f];
    const std::uint32_t end = faces.offsets[f + 1];
    bool inRange = true;
    for (std::uint32_t k = begin; k < end; ++k) {
      // A negative index turns into a huge unsigned one: one compare covers both ends.
      if (static_cast<std::uint32_t>(faces.indices[k]) >= limit) {
        inRange = false;
        break;
      }
    }
    if (!inRange) continue;
    for (std::uint32_t k = begin; k < end; ++k) faces.indices[writeIndex++] = faces.indices[k];
    ++keptFaces;
    faces.offsets[keptFaces] = static_cast<std::uint32_t>(writeIndex);
  }
  const std::int64_t dropped = static_cast<std::int64_t>(faceCount - keptFaces);
  if (dropped > 0) {
    faces.indices.resize(writeIndex);
    faces.offsets.resize(keptFaces + 1);
  }
  return dropped;
}

namespace {

// Keeps the entries of a per-vertex table whose vertex stays.
template <typename Attribute>
void keepPerVertex(Attribute& attribute, const std::vector<bool>& kept) {
  if (attribute.binding != Binding::PerVertex || attribute.count() != kept.size()) return;
  std::size_t write = 0;
  for (std::size_t v = 0; v < kept.size(); ++v) {
    if (!kept[v]) continue;
    for (int k = 0; k < Attribute::width; ++k) attribute.values[write * Attribute::width + k] = attribute.values[v * Attribute::width + k];
    ++write;
  }
  attribute.values.resize(write * Attribute::width);
}

}  // namespace

std::int64_t dropNonFinitePoints(MeshObject& object) {
  if (!object.isPointCloud()) return 0;
  std::vector<float>& v = object.vertices;
  const std::size_t count = v.size() / 3;
  std::vector<bool> kept(count);
  std::size_t keep = 0;
  for (std::size_t p = 0; p < count; ++p) {
    kept[p] = std::isfinite(v[3 * p]) && std::isfinite(v[3 * p + 1]) && std::isfinite(v[3 * p + 2]);
    keep += kept[p];
  }
  // A cloud of nothing but such points is damaged, not empty: it stays for the caller to refuse.
  if (keep == count || keep == 0) return 0;
  std::size_t write = 0;
  for (std::size_t p = 0; p < count; ++p) {
    if (!kept[p]) continue;
    for (int k = 0; k < 3; ++k) v[3 * write + k] = v[3 * p + k];
    ++write;
  }
  v.resize(3 * write);
  keepPerVertex(object.colors, kept);
  keepPerVertex(object.normals, kept);
  keepPerVertex(object.texCoords, kept);
  return static_cast<std::int64_t>(count - write);
}
