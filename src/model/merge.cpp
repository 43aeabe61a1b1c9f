#include "model/merge.h"

#include <algorithm>

MeshObject mergeObjects(const Model& objects) {
  MeshObject merged;
  std::size_t floatTotal = 0, faceTotal = 0, indexTotal = 0;
  for (const MeshObject& o : objects) {
    floatTotal += o.vertices.size();
    faceTotal += o.faces.count();
    indexTotal += o.faces.indices.size();
  }
  merged.vertices.reserve(floatTotal);
  merged.faces.indices.reserve(indexTotal);
  merged.faces.offsets.reserve(faceTotal + 1);

  std::int32_t shift = 0;
  for (const MeshObject& o : objects) {
    merged.vertices.insert(merged.vertices.end(), o.vertices.begin(), o.vertices.end());
    const std::uint32_t base = static_cast<std::uint32_t>(merged.faces.indices.size());
    std::transform(o.faces.indices.begin(), o.faces.indices.end(),
                   std::back_inserter(merged.faces.indices),
                   [shift](std::int32_t index) { return index + shift; });
    for (std::size_t f = 1; f < o.faces.offsets.size(); ++f) {
      merged.faces.offsets.push_back(base + o.faces.offsets[f]);
    }
    shift += o.numVertices();
  }
  return merged;
}
