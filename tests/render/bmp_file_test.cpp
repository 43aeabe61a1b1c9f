#include "render/bmp_file.h"

#include <gtest/gtest.h>

#include "render_fixture.h"

namespace {

// Pixel (x, y) is (x, y, 7).
std::string bmpBytes(int w, int h, int bitCount = 24, std::uint32_t offBits = 54) {
  return bmpFile(w, h, [](int x, int y) { return Rgb{x, y, 7}; }, bitCount, offBits);
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
  std::optional<RgbImage> image = readPicture(state, bmpBytes(33, 3));
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

TEST(BmpFile, PalettePictureIsBlackButUsable) {
  IsolatedState state;
  std::optional<RgbImage> image = readPicture(state, bmpBytes(20, 10, 8, 54 + 1024));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixels, std::vector<std::uint8_t>(20 * 10 * 3, 0));
}

TEST(BmpFile, UnusablePicturesAreRefused) {
  std::string notBm = bmpBytes(4, 4);
  notBm[0] = 'X';
  std::string shortHeader = bmpBytes(4, 4);
  shortHeader[10] = 40;  // bfOffBits below 54
  std::string topDown = bmpBytes(4, 4);
  topDown[22] = '\xFC';  // height -4
  topDown[23] = topDown[24] = topDown[25] = '\xFF';
  std::string truncated = bmpBytes(8, 8);
  truncated.resize(truncated.size() - 5);
  std::string smallSizeImage = bmpBytes(8, 8);
  smallSizeImage[34] = 16;  // biSizeImage below stride x height
  std::string zeroWidth = bmpBytes(4, 4);
  zeroWidth[18] = 0;
  std::string huge = bmpBytes(4, 4);
  huge[20] = 0x01;  // width 65540
  for (const std::string& bytes : {notBm, shortHeader, topDown, truncated, smallSizeImage, zeroWidth,
                                   huge, std::string("BM\0", 3)}) {
    IsolatedState state;
    EXPECT_FALSE(readPicture(state, bytes));
  }
}

TEST(BmpFile, WrittenLayoutHeaderStrideAndSize) {
  IsolatedState state;
  for (int width : {300, 301}) {
    const std::int64_t stride = bmpStride(width);
    EXPECT_EQ(stride, width == 300 ? 900 : 904);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(stride) * 2, 9);
    const std::string path = state.dir().file("out.bmp");
    ASSERT_EQ(writeBmp(path.c_str(), makeBmpInfoHeader(width, 2), pixels), 0);
    const std::string file = readTextFile(path);
    ASSERT_EQ(file.size(), 54u + static_cast<std::size_t>(stride) * 2);
    const auto u32 = [&](std::size_t at) {
      return static_cast<std::uint32_t>(static_cast<std::uint8_t>(file[at])) |
             static_cast<std::uint32_t>(static_cast<std::uint8_t>(file[at + 1])) << 8 |
             static_cast<std::uint32_t>(static_cast<std::uint8_t>(file[at + 2])) << 16 |
             static_cast<std::uint32_t>(static_cast<std::uint8_t>(file[at + 3])) << 24;
    };
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(u32(2), file.size());
    EXPECT_EQ(u32(10), 54u);
    EXPECT_EQ(u32(14), 40u);
    EXPECT_EQ(u32(18), static_cast<std::uint32_t>(width));
    EXPECT_EQ(u32(22), 2u);
    EXPECT_EQ(file[28], 24);
    EXPECT_EQ(u32(34), static_cast<std::uint32_t>(stride * 2));
    EXPECT_EQ(u32(38), 2952u);
  }
  const std::string empty = state.dir().file("empty.bmp");
  ASSERT_EQ(writeBmp(empty.c_str(), makeBmpInfoHeader(10, 0), {}), 0);
  EXPECT_EQ(readTextFile(empty).size(), 54u);
  EXPECT_EQ(writeBmp(state.dir().file("no/such/dir.bmp").c_str(), makeBmpInfoHeader(1, 1),
                     std::vector<std::uint8_t>(4)),
            -1);
}
