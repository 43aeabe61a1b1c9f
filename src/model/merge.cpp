#include "model/merge.h"

#include <algorithm>

MeshObject mergeObjects(const MeshObject* objects, std::int32_t count) {
  MeshObject merged;
  std::size_t vertexTotal = 0, faceTotal = 0, indexTotal = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    vertexTotal += static_cast<std::size_t>(objects[i].numVertices);
    faceTotal += static_cast<std::size_t>(objects[i].numFaces);
    indexTotal += objects[i].faces.indices.size();
  }
  merged.numVertices = static_cast<std::int32_t>(vertexTotal);
  merged.numFaces = static_cast<std::int32_t>(faceTotal);
  merged.vertices.reserve(vertexTotal * 3);
  merged.faces.indices.reserve(indexTotal);
  merged.faces.offsets.reserve(faceTotal + 1);
  merged.faceSizes.reserve(faceTotal);

  std::int32_t shift = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    const MeshObject& o = objects[i];
    merged.vertices.insert(merged.vertices.end(), o.vertices.begin(),
                           o.vertices.begin() + 3 * static_cast<std::ptrdiff_t>(o.numVertices));
    const std::uint32_t base = static_cast<std::uint32_t>(merged.faces.indices.size());
    std::transform(o.faces.indices.begin(), o.faces.indices.end(),
                   std::back_inserter(merged.faces.indices),
                   [shift](std::int32_t index) { return index + shift; });
    for (std::size_t f = 1; f < o.faces.offsets.size(); ++f) {
      merged.faces.offsets.push_back(base + o.faces.offsets[f]);
    }
    merged.faceSizes.insert(merged.faceSizes.end(), o.faceSizes.begin(), o.faceSizes.end());
    shift += o.numVertices;
  }
  return merged;
}
