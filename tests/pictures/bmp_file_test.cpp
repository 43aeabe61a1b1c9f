#include "pictures/bmp_file.h"

#include <gtest/gtest.h>

#include "render_fixture.h"

namespace {

// Pixel (x, y) is (x, y, 7); the bytes of the file.
std::string bmpBytes(const IsolatedState& state, int w, int h) {
  const std::string path = state.dir().file("made.bmp");
  writePicture(path, w, h, [](int x, int y) { return Rgb{x, y, 7}; });
  return readTextFile(path);
}

std::optional<RgbImage> readPicture(const IsolatedState& state, const std::string& bytes) {
  const std::string path = state.dir().file("picture.bmp");
  writeTextFile(path, bytes);
  std::optional<BmpBlocks> blocks = loadBmp(path.c_str());
  if (!blocks) return std::nullopt;
  return bmpToRgb(*blocks);
}

}  // namespace

TEST(BmpFile, RowPaddingIsSkippedAndChannelsSwapped) {
  IsolatedState state;
  std::optional<RgbImage> image = readPicture(state, bmpBytes(state, 33, 3));
  ASSERT_TRUE(image);
  ASSERT_EQ(image->width, 33);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 33; ++x) {
      const std::size_t at = (static_cast<std::size_t>(y) * 33 + static_cast<std::size_t>(x)) * 3;
      EXPECT_EQ(image->pixels[at], x);
      EXPECT_EQ(image->pixels[at + 1], y);
      EXPECT_EQ(image->pixels[at + 2], 7);
    }
  }
}

TEST(BmpFile, UnusablePicturesAreRefused) {
  IsolatedState state;
  const std::string good = bmpBytes(state, 8, 8);
  const struct {
    std::size_t at;
    char value;
  } patches[] = {
      {0, 'X'},      // not BM
      {10, 40},      // bfOffBits below 54
      {25, '\xFF'},  // a height far beyond 32768 rows
      {34, 16},      // biSizeImage below stride x height
      {18, 0},       // zero width
      {20, 0x01},    // width 65544
  };
  for (const auto& patch : patches) {
    std::string bytes = good;
    bytes[patch.at] = patch.value;
    EXPECT_FALSE(readPicture(state, bytes)) << patch.at;
  }
  EXPECT_FALSE(readPicture(state, good.substr(0, good.size() - 5)));
  EXPECT_FALSE(readPicture(state, std::string("BM\0", 3)));
}

TEST(BmpFile, WrittenLayoutHeaderStrideAndSize) {
  IsolatedState state;
  for (int width : {300, 301}) {
    const std::int64_t stride = bmpStride(width);
    EXPECT_EQ(stride, width == 300 ? 900 : 904);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(stride) * 2, 9);
    const std::string path = state.dir().file("out.bmp");
    ASSERT_TRUE(writeBmp(path.c_str(), makeBmpInfoHeader(width, 2), pixels));
    const std::string file = readTextFile(path);
    ASSERT_EQ(file.size(), 54u + static_cast<std::size_t>(stride) * 2);
    const auto u32 = [&](std::size_t at) {
      return static_cast<std::uint32_t>(static_cast<std::uint8_t>(file[at])) |
             static_cast<std::uint32_t>(static_cast<std::uint8_t>(file[at + 1])) << 8 |
             static_cast<std::uint32_t>(static_cast<std::uint8_t>(file[at + 2])) << 16 |
             static_cast<std::uint32_t>(static_cast<std::uint8_t>(file[at + 3])) << 24;
    };
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(file[28], 24);
    const std::uint32_t fields[][2] = {{2, static_cast<std::uint32_t>(file.size())}, {10, 54}, {14, 40},
                                       {18, static_cast<std::uint32_t>(width)}, {22, 2},
                                       {34, static_cast<std::uint32_t>(stride * 2)}, {38, 2952}};
    for (const auto& field : fields) EXPECT_EQ(u32(field[0]), field[1]) << field[0];
  }
  const std::string empty = state.dir().file("empty.bmp");
  ASSERT_TRUE(writeBmp(empty.c_str(), makeBmpInfoHeader(10, 0), {}));
  EXPECT_EQ(readTextFile(empty).size(), 54u);
  EXPECT_FALSE(writeBmp(state.dir().file("no/such/dir.bmp").c_str(), makeBmpInfoHeader(1, 1), std::vector<std::uint8_t>(4)));
}
