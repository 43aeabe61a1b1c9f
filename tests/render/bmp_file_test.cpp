#include "render/bmp_file.h"

#include <gtest/gtest.h>

#include "support/binary_builders.h"
#include "support/temp_dir.h"

namespace {

// A BMP of w x h pixels whose pixel (x, y) (row 0 = bottom) is (x, y, 7), or
// a palette picture for bitCount 8.
Bytes bmpBytes(int w, int h, int bitCount = 24, std::uint32_t offBits = 54) {
  const std::int64_t stride = bitCount == 24 ? bmpStride(w) : (w + 3) / 4 * 4;
  ByteWriter pixels;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (bitCount == 24) {
        pixels.u8(7).u8(static_cast<std::uint32_t>(y)).u8(static_cast<std::uint32_t>(x));
      } else {
        pixels.u8(1);
      }
    }
    pixels.zeros(static_cast<std::size_t>(stride - (bitCount == 24 ? 3 * w : w)));
  }
  ByteWriter w8;
  w8.text("BM").u32le(static_cast<std::uint32_t>(offBits + pixels.data.size())).u32le(0).u32le(offBits);
  w8.u32le(40).u32le(static_cast<std::uint32_t>(w)).u32le(static_cast<std::uint32_t>(h));
  w8.u16le(1).u16le(static_cast<std::uint32_t>(bitCount)).u32le(0).u32le(0);
  w8.u32le(2835).u32le(2835).u32le(0).u32le(0);
  w8.zeros(offBits - 54);  // a colour table
  w8.bytes(pixels.data);
  return w8.data;
}

std::optional<RgbImage> readPicture(const IsolatedState& state, const Bytes& bytes) {
  const std::string path = state.dir().file("picture.bmp");
  writeBytesFile(path, bytes);
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
  Bytes notBm = bmpBytes(4, 4);
  notBm[0] = 'X';
  Bytes shortHeader = bmpBytes(4, 4);
  shortHeader[10] = 40;  // bfOffBits below 54
  Bytes topDown = bmpBytes(4, 4);
  topDown[22] = 0xFC;  // height -4
  topDown[23] = topDown[24] = topDown[25] = 0xFF;
  Bytes truncated = bmpBytes(8, 8);
  truncated.resize(truncated.size() - 5);
  Bytes smallSizeImage = bmpBytes(8, 8);
  smallSizeImage[34] = 16;  // biSizeImage below stride x height
  Bytes zeroWidth = bmpBytes(4, 4);
  zeroWidth[18] = 0;
  Bytes huge = bmpBytes(4, 4);
  huge[20] = 0x01;  // width 65540
  for (const Bytes& bytes : {notBm, shortHeader, topDown, truncated, smallSizeImage, zeroWidth,
                             huge, Bytes{'B', 'M', 0}}) {
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
