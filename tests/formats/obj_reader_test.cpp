#include "formats/obj_format.h"

#include <gtest/gtest.h>

#include "formats/reader_support.h"
#include "model/current_model.h"
#include "formats/reader_test_support.h"
#include "support/temp_dir.h"

namespace {

std::optional<Model> readObj(const IsolatedState& state, const std::string& text) {
  const std::string path = state.dir().file("model.obj");
  writeTextFile(path, text);
  return readObjFile(path.c_str());
}

const std::string kSquare = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n";

}  // namespace

TEST(ObjReader, FaceGroupFormsAndBlanks) {
  IsolatedState state;
  std::optional<Model> model = readObj(state, kSquare +
                                                  "vt 0.5 0.5\nvn 0 0 1\n"
                                                  "f 1/1/1 2/2/2 3/3/3\n"
                                                  "f 1//4 2//5 3//6\n"
                                                  "f 4 3 2 1\n"
                                                  "f  1   2 3  \n"
                                                  "f\t1 2 3\n"
                                                  "f \n");
  ASSERT_TRUE(model);
  const MeshObject& object = (*model)[0];
  EXPECT_EQ(object.numVertices, 4);
  EXPECT_EQ(facesOf(object), (std::vector<std::vector<std::int32_t>>{
                                 {0, 1, 2}, {0, 1, 2}, {3, 2, 1, 0}, {0, 1, 2}, {}}));
  EXPECT_EQ(object.xMax, 1.0f);
  EXPECT_FLOAT_EQ(object.xCenMass, 0.5f);
  EXPECT_EQ(objectCount, 1);
}

TEST(ObjReader, GroupsShareOneVertexTableAndIndicesMayPointForward) {
  IsolatedState state;
  std::optional<Model> model =
      readObj(state, "g a\nv 0 0 0\nv 1 0 0\nf 1 2 3\ng b\nv 0 1 0\nf 3 2 1\no c\nusemtl x\n");
  ASSERT_TRUE(model);
  EXPECT_EQ(facesOf((*model)[0]), (std::vector<std::vector<std::int32_t>>{{0, 1, 2}, {2, 1, 0}}));
}

TEST(ObjReader, RelativeIndicesCountBackFromTheFaceLine) {
  IsolatedState state;
  std::optional<Model> model =
      readObj(state, "v 0 0 0\nv 1 0 0\nv 1 1 0\nf -3 -2 -1\nv 0 1 0\nf -1 -2 -4\n");
  ASSERT_TRUE(model);
  EXPECT_EQ(facesOf((*model)[0]), (std::vector<std::vector<std::int32_t>>{{0, 1, 2}, {3, 2, 0}}));
}

TEST(ObjReader, WindowsLineEndsAndAMissingFinalLineFeed) {
  IsolatedState state;
  std::optional<Model> crlf = readObj(state, "v 0 0 0\r\nv 1 0 0\r\nv 0 1 0\r\nf 1 2 3\r\n");
  std::optional<Model> noFinalLf = readObj(state, "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3");
  for (const auto* model : {&crlf, &noFinalLf}) {
    ASSERT_TRUE(*model);
    EXPECT_EQ(facesOf((**model)[0]), (std::vector<std::vector<std::int32_t>>{{0, 1, 2}}));
  }
}

TEST(ObjReader, BadIndicesDropTheFaceWithOneMessage) {
  IsolatedState state;
  testing::internal::CaptureStderr();
  std::optional<Model> model = readObj(state, kSquare +
                                                  "f 1 2 3\n"
                                                  "f 0 1 2\n"         // 0 is no index
                                                  "f 1 2 5\n"         // beyond the vertices
                                                  "f -5 1 2\n"        // before the first
                                                  "f 1 x 3\n"         // not an integer
                                                  "f 1 2 99999999999999999999\n"
                                                  "f 2 3 4\n");
  const std::string err = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(model);
  EXPECT_EQ(facesOf((*model)[0]), (std::vector<std::vector<std::int32_t>>{{0, 1, 2}, {1, 2, 3}}));
  EXPECT_NE(err.find("has 5 faces with vertex indices out of range; they were dropped."),
            std::string::npos);
}

TEST(ObjReader, VertexLineWithoutThreeNumbersIsDamaged) {
  for (const char* text : {"v 1 2\nf 1 1 1\n", "v 1 two 3\n", "v 1 2 inf\n", "v \n"}) {
    IsolatedState state;
    testing::internal::CaptureStderr();
    std::optional<Model> model = readObj(state, text);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(model) << text;
    EXPECT_NE(err.find("is damaged or truncated."), std::string::npos) << text;
  }
}

TEST(ObjReader, LinesLongerThanTheBufferReadWhole) {
  IsolatedState state;
  std::string text = kSquare + "# " + std::string(3 << 20, 'c') + "\nf";
  text += std::string(2 << 20, ' ');
  text += "1 2 3\n";
  std::optional<Model> model = readObj(state, text);
  ASSERT_TRUE(model);
  EXPECT_EQ(facesOf((*model)[0]), (std::vector<std::vector<std::int32_t>>{{0, 1, 2}}));
}

TEST(ObjReader, NoVerticesGivesAnEmptyObject) {
  IsolatedState state;
  std::optional<Model> model = readObj(state, "# nothing\n\n");
  ASSERT_TRUE(model);
  EXPECT_EQ((*model)[0].numVertices, 0);
  EXPECT_EQ((*model)[0].xMin, -1.0f);
  EXPECT_EQ((*model)[0].xCenMass, 0.0f);
}
