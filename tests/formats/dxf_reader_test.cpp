#include "formats/dxf_format.h"

#include <gtest/gtest.h>

#include "formats/reader_support.h"
#include "model/current_model.h"
#include "support/temp_dir.h"

namespace {

struct Corner {
  float x, y, z;
};

// One 3DFACE entity, its corners written in the given code order (0-3).
std::string face(const std::array<Corner, 4>& corners, const std::vector<int>& order = {0, 1, 2, 3},
                 const std::string& extra = "") {
  std::string text = "  0\r\n3DFACE\r\n  8\r\nLayer with blanks\r\n" + extra;
  for (int k : order) {
    const Corner& c = corners[static_cast<std::size_t>(k)];
    text += " 1" + std::to_string(k) + "\r\n" + std::to_string(c.x) + "\r\n";
    text += " 2" + std::to_string(k) + "\r\n" + std::to_string(c.y) + "\r\n";
    text += " 3" + std::to_string(k) + "\r\n" + std::to_string(c.z) + "\r\n";
  }
  return text;
}

std::string drawing(const std::string& entities) {
  return "  0\nSECTION\n  2\nHEADER\n  9\n$EXTMIN\n 10\n0.0\n  0\nENDSEC\n"
         "  0\nSECTION\n  2\nENTITIES\n" + entities + "  0\nLINE\n 10\n5\n 11\n6\n"
         "  0\nENDSEC\n  0\nEOF\n";
}

std::optional<Model> readDxf(const IsolatedState& state, const std::string& text) {
  const std::string path = state.dir().file("model.dxf");
  writeTextFile(path, text);
  return readDxfFile(path.c_str());
}

const std::array<Corner, 4> kTriangle{{{0, 0, 0}, {4, 0, 0}, {0, 4, 0}, {0, 0, 0}}};
const std::array<Corner, 4> kQuad{{{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {4, 4, 0}}};

}  // namespace

TEST(DxfReader, TriangleRuleBoundsAndCentre) {
  IsolatedState state;
  std::optional<Model> model = readDxf(state, drawing(face(kTriangle) + face(kQuad)));
  ASSERT_TRUE(model);
  ASSERT_EQ(objectCount, 2);
  const MeshObject& triangle = (*model)[0];
  EXPECT_EQ(triangle.numVertices, 4);
  EXPECT_EQ(triangle.faceSizes[0], 3);
  EXPECT_EQ(triangle.faces[0].size(), 3u);
  EXPECT_FLOAT_EQ(triangle.xCenMass, 1.0f);
  EXPECT_FLOAT_EQ(triangle.yCenMass, 1.0f);
  EXPECT_EQ(triangle.xMax, 4.0f);
  // A fourth corner repeating the third keeps four sides.
  EXPECT_EQ((*model)[1].faceSizes[0], 4);
  EXPECT_EQ((*model)[1].faces[0][3], 3);
}

TEST(DxfReader, CornersInAnyCodeOrderAndPairsBetweenThem) {
  IsolatedState state;
  const std::array<Corner, 4> corners{{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}}};
  std::optional<Model> usual = readDxf(state, drawing(face(corners)));
  std::optional<Model> reversed =
      readDxf(state, drawing(face(corners, {3, 2, 1, 0}, " 62\n1\n 70\n0\n")));
  ASSERT_TRUE(usual && reversed);
  EXPECT_EQ((*usual)[0].vertices, (*reversed)[0].vertices);
  EXPECT_EQ((*usual)[0].vertices[9], 10.0f);
}

TEST(DxfReader, SharedEdgesGiveSeparateVerticesAndBlocksCount) {
  IsolatedState state;
  const std::array<Corner, 4> neighbour{{{4, 0, 0}, {8, 0, 0}, {4, 4, 0}, {4, 0, 0}}};
  const std::string blocks = "  0\nSECTION\n  2\nBLOCKS\n  0\nBLOCK\n" + face(kQuad) +
                             "  0\nENDBLK\n  0\nENDSEC\n";
  std::optional<Model> model = readDxf(state, blocks + drawing(face(kTriangle) + face(neighbour)));
  ASSERT_TRUE(model);
  EXPECT_EQ(objectCount, 3);
}

TEST(DxfReader, DrawingWithoutFacesAndAMissingCoordinate) {
  IsolatedState state;
  std::optional<Model> empty = readDxf(state, drawing(""));
  ASSERT_TRUE(empty);
  EXPECT_EQ(objectCount, 0);
  // Corner 2 has no z, corner 4 nothing: 0.0 stands in.
  std::optional<Model> partial =
      readDxf(state, drawing("  0\n3DFACE\n 10\n1\n 20\n1\n 30\n1\n 11\n2\n 21\n2\n 12\n3\n"));
  ASSERT_TRUE(partial);
  EXPECT_EQ((*partial)[0].vertices[5], 0.0f);
  EXPECT_EQ((*partial)[0].vertices[9], 0.0f);
  EXPECT_EQ((*partial)[0].faceSizes[0], 4);
}

TEST(DxfReader, DamagedPairsAreRefused) {
  for (const std::string& text : {drawing("  0\n3DFACE\n 10\nabc\n"), std::string("  0\nSECTION\nxx\n"),
                                 std::string("  0\nSECTION\n  2")}) {
    IsolatedState state;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(readDxf(state, text)) << text;
    EXPECT_NE(testing::internal::GetCapturedStderr().find("is damaged or truncated."),
              std::string::npos);
  }
}
