#include <gtest/gtest.h>

#include "formats/reader_test_support.h"
#include "formats/reader_support.h"
#include "model/current_model.h"

namespace {

const std::vector<float> kQuad{0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 3};

}  // namespace

TEST(LwoReader, ClassicPairsQuadsAndTheLengthLineTwice) {
  IsolatedState state;
  const Bytes chunks = join({lwoPoints(kQuad), lwoChunk("SRFS", ByteWriter().text("Skin").zeros(4).data),
                             lwoClassicPolygons({{0, 1, 2, 3}}), lwoChunk("SURF", Bytes(12, 1)),
                             lwoPoints({5, 5, 5, 6, 6, 6, 7, 7, 7}),
                             lwoClassicPolygons({{2, 1, 0}, {0, 1, 2}})});
  const Bytes file = lwoForm("LWOB", chunks);
  testing::internal::CaptureStderr();
  std::optional<Model> model = readFixture(state, readLwoFile, file, "pairs.lwo");
  const std::string err = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(model);
  ASSERT_EQ(model->size(), 2u);
  EXPECT_EQ((*model)[0].faceSizes, (std::vector<std::int16_t>{4}));
  EXPECT_EQ((*model)[0].zMax, 3.0f);
  EXPECT_EQ(facesOf((*model)[1]), (std::vector<std::vector<std::int32_t>>{{2, 1, 0}, {0, 1, 2}}));
  EXPECT_EQ((*model)[1].xMin, 5.0f);
  const std::string line = "length=" + std::to_string(file.size() - 8) + "\n";
  EXPECT_EQ(err, line + line);
}

TEST(LwoReader, DetailPolygonsStayAligned) {
  IsolatedState state;
  ByteWriter pols;
  pols.u16be(3).u16be(0).u16be(1).u16be(2).u16be(0xFFFF);  // surface -1: details follow
  pols.u16be(1);                                           // one detail polygon
  pols.u16be(3).u16be(2).u16be(1).u16be(0).u16be(1);
  pols.u16be(4).u16be(0).u16be(1).u16be(2).u16be(3).u16be(1);
  const Bytes file = lwoForm("LWOB", join({lwoPoints(kQuad), lwoChunk("POLS", pols.data)}));
  testing::internal::CaptureStderr();
  std::optional<Model> model = readFixture(state, readLwoFile, file, "detail.lwo");
  testing::internal::GetCapturedStderr();
  ASSERT_TRUE(model);
  EXPECT_EQ(facesOf((*model)[0]),
            (std::vector<std::vector<std::int32_t>>{{0, 1, 2}, {2, 1, 0}, {0, 1, 2, 3}}));
}

TEST(LwoReader, LargeIndicesAndMismatchedLists) {
  IsolatedState state;
  std::vector<float> many(3 * 40001, 0.0f);
  many[3 * 40000] = 9.0f;
  testing::internal::CaptureStderr();
  std::optional<Model> big = readFixture(
      state, readLwoFile, lwoForm("LWOB", join({lwoPoints(many), lwoClassicPolygons({{40000, 0, 1}})})),
      "big.lwo");
  // Polygons without points before them, and points without polygons.
  std::optional<Model> odd = readFixture(
      state, readLwoFile,
      lwoForm("LWOB", join({lwoClassicPolygons({{0, 1, 2}}), lwoClassicPolygons({{0, 1, 2}}),
                            lwoPoints(kQuad)})),
      "odd.lwo");
  testing::internal::GetCapturedStderr();
  ASSERT_TRUE(big);
  EXPECT_EQ((*big)[0].faces[0][0], 40000);
  ASSERT_TRUE(odd);
  ASSERT_EQ(odd->size(), 1u);
  EXPECT_EQ((*odd)[0].numFaces, 0);
}

TEST(LwoReader, ModernLayersPaddingAndLongIndices) {
  IsolatedState state;
  std::vector<float> many(3 * 70000, 1.0f);
  const Bytes chunks = join({lwoChunk("TAGS", ByteWriter().text("Default").u8(0).data, true),
                             lwoChunk("LAYR", Bytes(5, 0), true),  // odd length: padded
                             lwoPoints(kQuad),
                             lwoModernPolygons("FACE", {{0, 1, 2, 3}}),
                             lwoModernPolygons("CURV", {{0, 1}}),  // not faces: passed over
                             lwoModernPolygons("PTCH", {{3, 2, 1}}),
                             lwoChunk("PTAG", Bytes(7, 0), true),
                             lwoPoints(many),
                             lwoModernPolygons("FACE", {{0, 65300, 69999}})});
  testing::internal::CaptureStderr();
  std::optional<Model> model = readFixture(state, readLwoFile, lwoForm("LWO2", chunks), "layers.lwo");
  testing::internal::GetCapturedStderr();
  ASSERT_TRUE(model);
  ASSERT_EQ(model->size(), 2u);
  EXPECT_EQ(facesOf((*model)[0]), (std::vector<std::vector<std::int32_t>>{{0, 1, 2, 3}, {3, 2, 1}}));
  EXPECT_EQ(facesOf((*model)[1]), (std::vector<std::vector<std::int32_t>>{{0, 65300, 69999}}));
}
