#include <gtest/gtest.h>

#include "formats/reader_test_support.h"
#include "formats/reader_support.h"
#include "model/current_model.h"

namespace {

const std::vector<float> kQuad{0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 2};

}  // namespace

TEST(CobReader, PolygonObjectsAmongOtherChunksMovedByTheirMatrix) {
  IsolatedState state;
  const std::array<float, 12> shift{1, 0, 0, 10, 0, 1, 0, 0, 0, 0, 1, 0};
  const Bytes file = join({cobHeader(), cobChunk("Mat1", Bytes(40, 1)), cobChunk("Grou", Bytes(6, 2)),
                           polh(kQuad, {{0, 1, 2, 3}}, shift),
                           polh(kQuad, {{0, 1, 2}, {0, 2, 3}}, kIdentity3x4), cobEnd()});
  std::optional<Model> model = readFixture(state, readCobFile, file, "two.cob");
  ASSERT_TRUE(model);
  ASSERT_EQ(model->size(), 2u);
  EXPECT_EQ(objectCount, 2);
  const MeshObject& moved = (*model)[0];
  EXPECT_EQ(moved.vertices[0], 10.0f);
  EXPECT_EQ(moved.vertices[3], 11.0f);
  EXPECT_EQ(moved.xMin, 10.0f);
  EXPECT_FLOAT_EQ(moved.xCenMass, 10.5f);
  EXPECT_EQ(moved.faceSizes, (std::vector<std::int16_t>{4}));
  EXPECT_EQ(moved.transform[3], 10.0f);
  EXPECT_EQ(moved.transform[15], 1.0f);
  EXPECT_EQ(moved.origin[1], 2.5f);
  EXPECT_EQ(facesOf((*model)[1]), (std::vector<std::vector<std::int32_t>>{{0, 1, 2}, {0, 2, 3}}));
}

TEST(CobReader, HolesTakeNoFaceAndDataAfterTheFacesIsPassedOver) {
  IsolatedState state;
  const Bytes file = join({cobHeader(),
                           polh(kQuad, {{0, 1, 2}, {0, 2, 3}}, kIdentity3x4, {{1, 3}},
                                Bytes(25, 0x55)),  // a later chunk version's extra data
                           polh(kQuad, {{3, 2, 1}}, kIdentity3x4), cobEnd()});
  std::optional<Model> model = readFixture(state, readCobFile, file, "holes.cob");
  ASSERT_TRUE(model);
  ASSERT_EQ(model->size(), 2u);
  EXPECT_EQ(facesOf((*model)[0]), (std::vector<std::vector<std::int32_t>>{{0, 1, 2}, {0, 2, 3}}));
  EXPECT_EQ((*model)[0].numFaces, 2);
  EXPECT_EQ(facesOf((*model)[1]), (std::vector<std::vector<std::int32_t>>{{3, 2, 1}}));
}

TEST(CobReader, EndFirstOrNoEndChunk) {
  IsolatedState state;
  std::optional<Model> endFirst = readFixture(
      state, readCobFile, join({cobHeader(), cobEnd(), polh(kQuad, {{0, 1, 2}}, kIdentity3x4)}),
      "end.cob");
  ASSERT_TRUE(endFirst);
  EXPECT_TRUE(endFirst->empty());
  std::optional<Model> noEnd = readFixture(
      state, readCobFile, join({cobHeader(), polh(kQuad, {{0, 1, 2}}, kIdentity3x4)}), "open.cob");
  ASSERT_TRUE(noEnd);
  EXPECT_EQ(noEnd->size(), 1u);
}

TEST(CobReader, HeaderRefusals) {
  const struct {
    Bytes header;
    const char* line;
  } cases[] = {
      {cobHeader("Caligarx "), "is not a valid COB file."},
      {cobHeader("Caligari ", "V00.02"), "is an unsupported version of COB."},
      {cobHeader("Caligari ", "V00.01", 'B', "HL"), "is a big endian COB, not supported."},
      {cobHeader("Caligari ", "V00.01", 'A', "LH"), "ASCII .cob files not supported."},
  };
  for (const auto& c : cases) {
    IsolatedState state;
    const std::string path = state.dir().file("bad.cob");
    writeBytesFile(path, join({c.header, cobEnd()}));
    EXPECT_EXIT(readCobFile(path.c_str()), testing::ExitedWithCode(255), c.line) << c.line;
  }
  IsolatedState state;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(readFixture(state, readCobFile, join({cobHeader("Caligari ", "V00.01", 'X'), cobEnd()}),
                           "other.cob"));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("is not a binary COB file."),
            std::string::npos);
}
