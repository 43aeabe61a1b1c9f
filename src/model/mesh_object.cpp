#include "model/mesh_object.h"

void computeBounds(MeshObject& object) {
  object.xMin = object.xMax = object.yMin = object.yMax = object.zMin = object.zMax = -1.0f;
  const float* v = object.vertices.data();
  for (std::int32_t i = 0; i < object.numVertices; ++i, v += 3) {
    growBounds(object, static_cast<std::size_t>(i), v[0], v[1], v[2]);
  }
}

void computeCenter(MeshObject& object) {
  if (object.numVertices <= 0) {
    object.xCenMass = object.yCenMass = object.zCenMass = 0.0f;
    return;
  }
  float sx = 0.0f, sy = 0.0f, sz = 0.0f;
  const float* v = object.vertices.data();
  for (std::int32_t i = 0; i < object.numVertices; ++i, v += 3) {
    sx += v[0];
    sy += v[1];
    sz += v[2];
  }
  float n = static_cast<float>(object.numVertices);
  object.xCenMass = sx / n;
  object.yCenMass = sy / n;
  object.zCenMass = sz / n;
}

std::int64_t dropOutOfRangeFaces(MeshObject& object) {
  const std::uint32_t limit = static_cast<std::uint32_t>(object.numVertices);
  FaceTable& faces = object.faces;
  const std::size_t faceCount = faces.count();
  std::size_t keptFaces = 0;
  std::size_t writeIndex = 0;
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
    object.faceSizes[keptFaces] = object.faceSizes[f];
    ++keptFaces;
    faces.offsets[keptFaces] = static_cast<std::uint32_t>(writeIndex);
  }
  const std::int64_t dropped = static_cast<std::int64_t>(faceCount - keptFaces);
  if (dropped > 0) {
    faces.indices.resize(writeIndex);
    faces.offsets.resize(keptFaces + 1);
    object.faceSizes.resize(keptFaces);
    object.numFaces = static_cast<std::int32_t>(keptFaces);
  }
  return dropped;
}
