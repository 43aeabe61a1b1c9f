// Every prefix of every binary fixture loads or is refused; nothing is read
// outside the file (the sanitizer build of these tests checks that).
#include <gtest/gtest.h>

#include "formats/reader_test_support.h"

TEST(BinaryTruncation, EveryPrefixLoadsOrIsRefused) {
  MdlModel mdl;
  mdl.skinPictures = {1, 2};
  mdl.vertices = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
  mdl.triangles = {{0, 1, 2}};
  mdl.groupFrames = 2;
  const std::vector<float> quad{0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
  const struct {
    BinaryReader reader;
    const char* file;
    Bytes bytes;
  } fixtures[] = {
      {read3dsFile, "t.3ds", file3ds(named3ds("Box", mesh3ds(quad, {{0, 1, 2}, {0, 2, 3}},
                                                            chunk3ds(0x4150, Bytes(8, 1)))))},
      {readCobFile, "t.cob",
       join({cobHeader(), polh(quad, {{0, 1, 2, 3}}, kIdentity3x4, {{1, 2}}), cobEnd()})},
      {readLwoFile, "t.lwo", lwoForm("LWOB", join({lwoPoints(quad), lwoClassicPolygons({{0, 1, 2, 3}})}))},
      {readLwoFile, "t2.lwo",
       lwoForm("LWO2", join({lwoChunk("LAYR", Bytes(3, 0), true), lwoPoints(quad),
                             lwoModernPolygons("FACE", {{0, 1, 2, 3}})}))},
      {readMd2File, "t.md2", md2File({{0, 1, 2}}, {PackedFrame{{1, 1, 1}, {0, 0, 0}, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}}})},
      {readMdlFile, "t.mdl", mdlFile(mdl)},
      {readXFile, "t.x", xHeader("bin ")},
  };
  IsolatedState state;
  testing::internal::CaptureStderr();
  for (const auto& fixture : fixtures) {
    ASSERT_TRUE(readFixture(state, fixture.reader, fixture.bytes, fixture.file)) << fixture.file;
    for (std::size_t length = 0; length < fixture.bytes.size(); ++length) {
      const Bytes prefix(fixture.bytes.begin(), fixture.bytes.begin() + static_cast<std::ptrdiff_t>(length));
      std::optional<Model> model = readFixture(state, fixture.reader, prefix, fixture.file);
      if (!model) continue;
      for (const MeshObject& object : *model) {
        ASSERT_EQ(object.vertices.size(), 3 * static_cast<std::size_t>(object.numVertices));
        for (std::int32_t index : object.faces.indices) {
          ASSERT_TRUE(index >= 0 && index < object.numVertices) << fixture.file << " " << length;
        }
      }
    }
  }
  testing::internal::GetCapturedStderr();
}
