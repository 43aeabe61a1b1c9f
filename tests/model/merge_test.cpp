#include "model/merge.h"

#include <gtest/gtest.h>

#include "support/mesh_builders.h"

namespace {

std::vector<std::int32_t> faceOf(const MeshObject& object, std::size_t f) {
  auto face = object.faces[f];
  return {face.begin(), face.end()};
}

}  // namespace

TEST(Merge, IndicesShiftByTheVerticesOfEarlierObjects) {
  Model model;
  model.push_back(makeObject({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0}, {{0, 1, 2}, {1, 3, 2}}));
  model.push_back(makeObject({5, 5, 5, 6, 5, 5, 5, 6, 5}, {{0, 1, 2}}));
  model.push_back(makeObject({9, 9, 9}, {{0, 0, 0, 0}}));
  MeshObject merged = mergeObjects(model.data(), 3);
  EXPECT_EQ(merged.numVertices, 8);
  EXPECT_EQ(merged.numFaces, 4);
  ASSERT_EQ(merged.vertices.size(), 24u);
  EXPECT_EQ(merged.vertices[12], 5.0f);
  EXPECT_EQ(merged.vertices[21], 9.0f);
  EXPECT_EQ(faceOf(merged, 0), (std::vector<std::int32_t>{0, 1, 2}));
  EXPECT_EQ(faceOf(merged, 1), (std::vector<std::int32_t>{1, 3, 2}));
  EXPECT_EQ(faceOf(merged, 2), (std::vector<std::int32_t>{4, 5, 6}));
  EXPECT_EQ(faceOf(merged, 3), (std::vector<std::int32_t>{7, 7, 7, 7}));
  EXPECT_EQ(merged.faceSizes, (std::vector<std::int16_t>{3, 3, 3, 4}));
  // The input stays as it was.
  EXPECT_EQ(faceOf(model[1], 0), (std::vector<std::int32_t>{0, 1, 2}));
}

TEST(Merge, OneObjectGivesAnEqualCopy) {
  MeshObject torus = makeTorus(6, 5, 2.0f, 0.5f);
  MeshObject merged = mergeObjects(&torus, 1);
  EXPECT_EQ(merged.vertices, torus.vertices);
  EXPECT_EQ(merged.faces.indices, torus.faces.indices);
  EXPECT_EQ(merged.faces.offsets, torus.faces.offsets);
  EXPECT_EQ(merged.faceSizes, torus.faceSizes);
}
