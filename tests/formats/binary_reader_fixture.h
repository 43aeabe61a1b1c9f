#pragma once
// Reading a fixture built in code through a binary reader.

#include <optional>
#include <string>
#include <vector>

#include "formats/binary_formats.h"
#include "support/binary_builders.h"
#include "support/temp_dir.h"

using BinaryReader = std::optional<Model> (*)(const char*);

inline std::optional<Model> readFixture(const IsolatedState& state, BinaryReader reader,
                                        const Bytes& bytes, const std::string& fileName) {
  const std::string path = state.dir().file(fileName);
  writeBytesFile(path, bytes);
  return reader(path.c_str());
}

inline std::vector<std::vector<std::int32_t>> facesOf(const MeshObject& object) {
  std::vector<std::vector<std::int32_t>> faces;
  for (std::size_t f = 0; f < object.faces.count(); ++f) {
    auto face = object.faces[f];
    faces.emplace_back(face.begin(), face.end());
  }
  return faces;
}
