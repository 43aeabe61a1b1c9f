#pragma once
// Reading fixtures built in code, and reading back the faces of a model.

#include <gtest/gtest.h>

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

// The faces as lists, after checking that the counts and sizes agree.
inline std::vector<std::vector<std::int32_t>> facesOf(const MeshObject& object) {
  std::vector<std::vector<std::int32_t>> faces;
  EXPECT_EQ(object.faceSizes.size(), object.faces.count());
  EXPECT_EQ(object.numFaces, static_cast<std::int32_t>(object.faces.count()));
  for (std::size_t f = 0; f < object.faces.count(); ++f) {
    auto face = object.faces[f];
    faces.emplace_back(face.begin(), face.end());
    if (f < object.faceSizes.size()) {
      EXPECT_EQ(object.faceSizes[f], static_cast<std::int16_t>(face.size()));
    }
  }
  return faces;
}
