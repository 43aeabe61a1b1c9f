// Files written by other programs, from the shared corpus when it is present.
#include <gtest/gtest.h>

#include <filesystem>

#include "formats/model_dispatch.h"
#include "formats/reader_support.h"
#include "support/temp_dir.h"

namespace {

std::filesystem::path corpusDir(const char* format) {
  return std::filesystem::path(TESSERA_SOURCE_DIR) / ".." / "shared" / "corpus" / format;
}

}  // namespace

TEST(Corpus, OffFiles) {
  const std::filesystem::path dir = corpusDir("off");
  if (!std::filesystem::exists(dir)) GTEST_SKIP() << "no corpus at " << dir;
  IsolatedState state;
  FormatId format = formatUnknown;

  testing::internal::CaptureStderr();
  std::optional<Model> cube = readModelFile((dir / "Cube.off").c_str(), format);
  ASSERT_TRUE(cube);
  EXPECT_EQ((*cube)[0].numVertices, 8);
  EXPECT_EQ((*cube)[0].numFaces, 6);
  EXPECT_EQ((*cube)[0].xMin, -0.5f);
  EXPECT_EQ((*cube)[0].zMax, 0.5f);
  EXPECT_EQ((*cube)[0].faceSizes[5], 4);

  // Four faces promised, the file ends inside the second.
  EXPECT_FALSE(readModelFile((dir / "invalid.off").c_str(), format));
  EXPECT_EQ(lastReadFailure, ReadFailure::Damaged);
  // Zero bytes: nothing to show, and no reason to end the program.
  EXPECT_FALSE(readModelFile((dir / "empty.off").c_str(), format));
  EXPECT_EQ(lastReadFailure, ReadFailure::Damaged);
  testing::internal::GetCapturedStderr();
}
