#include "model/mesh_object.h"

#include <gtest/gtest.h>

#include "support/mesh_builders.h"

TEST(MeshObject, CubeBoundsDoNotDependOnVertexOrder) {
  std::vector<float> corners;
  for (int i = 0; i < 8; ++i) {
    corners.push_back((i & 1) ? 1.0f : -1.0f);
    corners.push_back((i & 2) ? 1.0f : -1.0f);
    corners.push_back((i & 4) ? 1.0f : -1.0f);
  }
  std::vector<float> reversed;
  for (int i = 7; i >= 0; --i) {
    reversed.insert(reversed.end(), corners.begin() + 3 * i, corners.begin() + 3 * i + 3);
  }
  for (const auto& vertices : {corners, reversed}) {
    MeshObject cube = makeObject(vertices, {});
    EXPECT_EQ(cube.xMin, -1.0f);
    EXPECT_EQ(cube.xMax, 1.0f);
    EXPECT_EQ(cube.yMin, -1.0f);
    EXPECT_EQ(cube.yMax, 1.0f);
    EXPECT_EQ(cube.zMin, -1.0f);
    EXPECT_EQ(cube.zMax, 1.0f);
    EXPECT_EQ(cube.xCenMass, 0.0f);
  }
}

TEST(MeshObject, FirstVertexSetsBothEndsEvenAboveMinusOne) {
  // A model lying wholly at x = 5 must not keep the starting -1 as its minimum.
  MeshObject object = makeObject({5, 6, 7, 5, 8, 9}, {});
  EXPECT_EQ(object.xMin, 5.0f);
  EXPECT_EQ(object.xMax, 5.0f);
  EXPECT_EQ(object.yMin, 6.0f);
  EXPECT_EQ(object.zMax, 9.0f);
  EXPECT_FLOAT_EQ(object.yCenMass, 7.0f);
}

TEST(MeshObject, FaceTableReadsAsListsAndDropsOutOfRangeFaces) {
  MeshObject object =
      makeObject({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0},
                 {{0, 1, 2}, {0, 4, 2}, {3, 2, 1, 0}, {-1, 0, 1}, {}, {2, 3, 1}});
  ASSERT_EQ(object.faces.count(), 6u);
  EXPECT_EQ(object.faces[2].size(), 4u);
  EXPECT_EQ(object.faces[2][0], 3);

  EXPECT_EQ(dropOutOfRangeFaces(object), 2);
  ASSERT_EQ(object.numFaces, 4);
  ASSERT_EQ(object.faceSizes.size(), 4u);
  const std::vector<std::vector<std::int32_t>> kept{{0, 1, 2}, {3, 2, 1, 0}, {}, {2, 3, 1}};
  for (std::size_t f = 0; f < kept.size(); ++f) {
    auto face = object.faces[f];
    EXPECT_EQ(std::vector<std::int32_t>(face.begin(), face.end()), kept[f]) << "face " << f;
    EXPECT_EQ(object.faceSizes[f], static_cast<std::int16_t>(kept[f].size()));
  }
  EXPECT_EQ(dropOutOfRangeFaces(object), 0);
}
