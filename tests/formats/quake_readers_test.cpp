#include <gtest/gtest.h>

#include "formats/reader_test_support.h"
#include "formats/reader_support.h"
#include "model/current_model.h"

TEST(Md2Reader, FirstFrameDecodedByScaleAndTranslate) {
  IsolatedState state;
  PackedFrame first{{0.5f, 0.5f, 0.5f}, {-10, 0, 10}, {{0, 255, 128}, {2, 4, 6}, {8, 0, 0}}};
  PackedFrame second{{1, 1, 1}, {100, 100, 100}, {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}}};
  std::optional<Model> model =
      readFixture(state, readMd2File, md2File({{0, 1, 2}, {2, 1, 0}}, {first, second}), "m.md2");
  ASSERT_TRUE(model);
  ASSERT_EQ(model->size(), 1u);
  const MeshObject& object = (*model)[0];
  EXPECT_EQ(object.vertices[0], -10.0f);
  EXPECT_EQ(object.vertices[1], 127.5f);
  EXPECT_EQ(object.vertices[2], 74.0f);
  EXPECT_EQ(object.vertices[6], -6.0f);
  EXPECT_EQ(object.xMin, -10.0f);
  EXPECT_EQ(object.yMax, 127.5f);
  EXPECT_EQ(facesOf(object), (std::vector<std::vector<std::int32_t>>{{0, 1, 2}, {2, 1, 0}}));
  EXPECT_EQ(object.faceSizes, (std::vector<std::int16_t>{3, 3}));
  EXPECT_EQ(objectCount, 1);
}

TEST(Md2Reader, WrongMagicEndsTheProgramAndBadOffsetsAreDamage) {
  IsolatedState state;
  const std::string path = state.dir().file("quake1.md2");
  writeBytesFile(path, md2File({}, {PackedFrame{}}, "IDPO"));
  EXPECT_EXIT(readMd2File(path.c_str()), testing::ExitedWithCode(255), "is not a valid MD2 file.");

  Bytes offsetPastEnd = md2File({{0, 1, 2}}, {PackedFrame{{1, 1, 1}, {0, 0, 0}, {{1, 2, 3}}}});
  offsetPastEnd[56] = 0xF0;  // frame offset
  Bytes countPastEnd = md2File({{0, 1, 2}}, {PackedFrame{{1, 1, 1}, {0, 0, 0}, {{1, 2, 3}}}});
  countPastEnd[32 + 2] = 0x7F;  // triangle count
  for (const Bytes& bytes : {offsetPastEnd, countPastEnd, Bytes{'I', 'D'}}) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(readFixture(state, readMd2File, bytes, "bad.md2"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("damaged"), std::string::npos);
  }
}

TEST(Md2Reader, NoVerticesKeepsNoFaces) {
  IsolatedState state;
  testing::internal::CaptureStderr();
  std::optional<Model> model = readFixture(state, readMd2File, md2File({{0, 1, 2}}, {PackedFrame{}}), "e.md2");
  testing::internal::GetCapturedStderr();
  ASSERT_TRUE(model);
  EXPECT_EQ((*model)[0].numFaces, 0);
  EXPECT_EQ((*model)[0].xCenMass, 0.0f);
}

TEST(MdlReader, SingleFrameBoundsFromTheStoredBox) {
  IsolatedState state;
  MdlModel m;
  m.scale = {2, 2, 2};
  m.origin = {1, 0, -1};
  m.vertices = {{1, 1, 1}, {3, 3, 3}, {5, 1, 1}};
  m.triangles = {{0, 1, 2}};
  m.boxMin = {0, 0, 0};
  m.boxMax = {10, 10, 10};  // wider than the vertices
  std::optional<Model> model = readFixture(state, readMdlFile, mdlFile(m), "single.mdl");
  ASSERT_TRUE(model);
  const MeshObject& object = (*model)[0];
  EXPECT_EQ(object.vertices[0], 3.0f);
  EXPECT_EQ(object.vertices[2], 1.0f);
  EXPECT_EQ(object.xMin, 1.0f);
  EXPECT_EQ(object.xMax, 21.0f);
  EXPECT_EQ(object.zMin, -1.0f);
  EXPECT_FLOAT_EQ(object.xCenMass, 7.0f);
  EXPECT_EQ(facesOf(object), (std::vector<std::vector<std::int32_t>>{{0, 1, 2}}));
}

TEST(MdlReader, SkinAndFrameGroupsAreReadPastInFull) {
  IsolatedState state;
  MdlModel m;
  m.skinPictures = {1, 3, 1};  // a single skin, a group of three pictures, another single
  m.vertices = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
  m.triangles = {{2, 1, 0}, {0, 1, 2}};
  m.groupFrames = 3;  // the group's first frame is shown
  std::optional<Model> model = readFixture(state, readMdlFile, mdlFile(m), "group.mdl");
  ASSERT_TRUE(model);
  const MeshObject& object = (*model)[0];
  EXPECT_EQ(object.vertices[0], 1.0f);  // frames after the first add 1, 2 to x
  EXPECT_EQ(object.vertices[8], 9.0f);
  EXPECT_EQ(facesOf(object), (std::vector<std::vector<std::int32_t>>{{2, 1, 0}, {0, 1, 2}}));
}

TEST(MdlReader, WrongMagicEndsTheProgramAndHugeCountsAreDamage) {
  IsolatedState state;
  MdlModel m;
  m.vertices = {{1, 2, 3}};
  const std::string path = state.dir().file("quake2.mdl");
  writeBytesFile(path, mdlFile(m, "IDP2"));
  EXPECT_EXIT(readMdlFile(path.c_str()), testing::ExitedWithCode(255), "is not a valid MDL file.");

  Bytes hugeSkin = mdlFile(m);
  hugeSkin[52 + 3] = 0x7F;  // skin width
  Bytes negativeTriangles = mdlFile(m);
  negativeTriangles[64 + 3] = 0x80;
  for (const Bytes& bytes : {hugeSkin, negativeTriangles}) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(readFixture(state, readMdlFile, bytes, "bad.mdl"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("damaged"), std::string::npos);
  }
}
