// Objects made from the input's bytes, merged as Save As merges them: every
// face keeps its size, every index moves by the vertices before its object.
#include <cstdint>

#include "fuzz_support.h"
#include "model/merge.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Model model;
  for (std::size_t at = 0; at + 2 <= size;) {
    MeshObject object;
    object.vertices.assign(3 * (data[at] % 8), 1.0f);
    const std::size_t faces = data[at + 1] % 6;
    at += 2;
    for (std::size_t f = 0; f < faces && at < size; ++f) {
      auto face = object.faces.append(data[at++] % 5);
      for (std::int32_t& index : face) index = at < size ? data[at++] % 9 : 0;
    }
    model.push_back(std::move(object));
  }
  const MeshObject merged = mergeObjects(model);
  std::size_t face = 0;
  std::int32_t shift = 0;
  for (const MeshObject& object : model) {
    for (std::size_t f = 0; f < object.faces.count(); ++f, ++face) {
      const auto before = object.faces[f], after = merged.faces[face];
      if (before.size() != after.size()) __builtin_trap();
      for (std::size_t k = 0; k < before.size(); ++k) {
        if (after[k] != before[k] + shift) __builtin_trap();
      }
    }
    shift += object.numVertices();
  }
  if (face != merged.faces.count() || merged.numVertices() != shift) __builtin_trap();
  return 0;
}
