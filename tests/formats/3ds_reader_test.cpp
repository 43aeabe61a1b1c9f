#include <gtest/gtest.h>

#include "formats/reader_test_support.h"
#include "formats/reader_support.h"
#include "model/current_model.h"

namespace {

const std::vector<float> kSquare{0, 0, 0, 2, 0, 0, 2, 2, 0, 0, 2, 1};
const std::vector<Triangle> kTwoTriangles{{0, 1, 2}, {0, 2, 3}};

Bytes light() { return named3ds("Light01", chunk3ds(0x4600, ByteWriter().f32le(1).f32le(2).f32le(3).data)); }
Bytes camera() { return named3ds("Camera01", chunk3ds(0x4700, Bytes(32, 0))); }

}  // namespace

TEST(ThreeDsReader, OnlyTriangleMeshesBecomeObjectsInFileOrder) {
  IsolatedState state;
  const Bytes file = file3ds(join({camera(), named3ds("Box", mesh3ds(kSquare, kTwoTriangles)),
                                   light(),
                                   named3ds("TenLetters", mesh3ds({5, 5, 5, 6, 5, 5, 5, 6, 5},
                                                                  {{2, 1, 0}}))}));
  std::optional<Model> model = readFixture(state, read3dsFile, file, "scene.3ds");
  ASSERT_TRUE(model);
  ASSERT_EQ(model->size(), 2u);
  EXPECT_EQ(objectCount, 2);
  const MeshObject& box = (*model)[0];
  EXPECT_EQ(box.numVertices, 4);
  EXPECT_EQ(box.vertices, kSquare);  // local axes not applied
  EXPECT_EQ(facesOf(box), (std::vector<std::vector<std::int32_t>>{{0, 1, 2}, {0, 2, 3}}));
  EXPECT_EQ(box.faceSizes, (std::vector<std::int16_t>{3, 3}));
  EXPECT_EQ(box.zMax, 1.0f);
  EXPECT_FLOAT_EQ(box.xCenMass, 1.0f);
  EXPECT_EQ(facesOf((*model)[1]), (std::vector<std::vector<std::int32_t>>{{2, 1, 0}}));
}

TEST(ThreeDsReader, SubchunksAfterFacesAndUnknownChunksAreReadPast) {
  IsolatedState state;
  const Bytes groups = join({chunk3ds(0x4130, ByteWriter().text("Red").u8(0).u16le(1).u16le(0).data),
                             chunk3ds(0x4150, ByteWriter().u32le(1).u32le(1).data)});
  const Bytes unknown = chunk3ds(0x7777, Bytes(10, 0xAB));
  const Bytes file = join({file3ds(join({unknown, named3ds("A", join({unknown, mesh3ds(kSquare, kTwoTriangles, groups)}))})),
                           Bytes(7, 0xFF)});  // bytes after the main chunk are never read
  std::optional<Model> model = readFixture(state, read3dsFile, file, "groups.3ds");
  ASSERT_TRUE(model);
  ASSERT_EQ(model->size(), 1u);
  EXPECT_EQ((*model)[0].numFaces, 2);
  EXPECT_EQ((*model)[0].numVertices, 4);
}

TEST(ThreeDsReader, NotAMainChunkGivesNoObjects) {
  IsolatedState state;
  std::optional<Model> model =
      readFixture(state, read3dsFile, chunk3ds(0x1234, Bytes(8, 0)), "other.3ds");
  ASSERT_TRUE(model);
  EXPECT_TRUE(model->empty());
  EXPECT_EQ(objectCount, 0);
}

TEST(ThreeDsReader, DamagedChunksAreRefused) {
  const Bytes good = file3ds(named3ds("Box", mesh3ds(kSquare, kTwoTriangles)));
  Bytes shortLength = good;
  shortLength[6 + 10 + 2] = 3;  // the editor chunk's length below 6
  Bytes overrun = good;
  overrun[2] = 0xFF;  // main chunk longer than the file
  Bytes tooManyVertices = file3ds(named3ds("Box", mesh3ds(kSquare, kTwoTriangles)));
  // Vertex count 40000 in a list that holds four.
  const std::size_t at = 6 + 10 + 6 + 6 + 4 + 6 + 6;  // main, version, editor, object, name, mesh, list
  tooManyVertices[at] = 0x40;
  tooManyVertices[at + 1] = 0x9C;
  for (const Bytes& bytes : {Bytes{}, Bytes{0x4D}, shortLength, overrun, tooManyVertices}) {
    IsolatedState state;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(readFixture(state, read3dsFile, bytes, "bad.3ds"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("is damaged or truncated."),
              std::string::npos);
  }
}
