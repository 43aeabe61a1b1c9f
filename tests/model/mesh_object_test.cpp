#include "model/mesh_object.h"

#include <gtest/gtest.h>

#include "support/mesh_builders.h"

TEST(MeshObject, FirstVertexSetsBothEndsEvenAboveMinusOne) {
  // A model lying wholly at x = 5 must not keep the starting -1 as its minimum.
  MeshObject object = makeObject({5, 6, 7, 5, 8, 9}, {});
  EXPECT_EQ(object.xMin, 5.0f);
  EXPECT_EQ(object.xMax, 5.0f);
  EXPECT_EQ(object.yMin, 6.0f);
  EXPECT_EQ(object.zMax, 9.0f);
  EXPECT_FLOAT_EQ(object.yCenMass, 7.0f);
  MeshObject none = makeObject({}, {});
  EXPECT_EQ(none.xMin, -1.0f);
  EXPECT_EQ(none.xCenMass, 0.0f);  // never 0/0
}

TEST(MeshObject, FaceTableReadsAsListsAndDropsOutOfRangeFaces) {
  MeshObject object =
      makeObject({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0},
                 {{0, 1, 2}, {0, 4, 2}, {3, 2, 1, 0}, {-1, 0, 1}, {}, {2, 3, 1}});
  EXPECT_EQ(object.faceSize(2), 4);
  EXPECT_EQ(dropOutOfRangeFaces(object), 2);
  const std::vector<std::vector<std::int32_t>> kept{{0, 1, 2}, {3, 2, 1, 0}, {}, {2, 3, 1}};
  ASSERT_EQ(object.numFaces(), 4);
  for (std::size_t f = 0; f < kept.size(); ++f) {
    auto face = object.faces[f];
    EXPECT_EQ(std::vector<std::int32_t>(face.begin(), face.end()), kept[f]) << "face " << f;
  }
  EXPECT_EQ(dropOutOfRangeFaces(object), 0);
}
