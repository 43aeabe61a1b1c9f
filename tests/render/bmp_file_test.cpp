#include "render/bmp_file.h"

#include <gtest/gtest.h>

#include <tuple>

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

// A palette picture: `bits` per pixel, the colour table, and pixel (x, y)
// (row 0 at the bottom) of colour index (x + 2y) mod the table's size. A
// negative h stores the rows top first.
std::string paletteBmp(int bits, int w, int h, const std::vector<Rgb>& colours) {
  std::string out = "BM";
  const auto u32 = [&](std::uint32_t v) { for (int k = 0; k < 4; ++k) out += static_cast<char>(v >> (8 * k)); };
  const int rows = std::abs(h), stride = (w * bits + 31) / 32 * 4;
  const auto table = static_cast<std::uint32_t>(colours.size());
  u32(0), u32(0), u32(54 + 4 * table), u32(40), u32(static_cast<std::uint32_t>(w)), u32(static_cast<std::uint32_t>(h));
  u32(1 | static_cast<std::uint32_t>(bits) << 16), u32(0), u32(0), u32(0), u32(0), u32(table), u32(0);
  for (const Rgb& c : colours) out += {static_cast<char>(c[2]), static_cast<char>(c[1]), static_cast<char>(c[0]), 0};
  for (int r = 0; r < rows; ++r) {
    const int y = h < 0 ? rows - 1 - r : r;
    std::string row(static_cast<std::size_t>(stride), '\0');
    for (int x = 0; x < w; ++x) {
      const int bit = x * bits, index = (x + 2 * y) % static_cast<int>(table);
      row[static_cast<std::size_t>(bit / 8)] = static_cast<char>(row[static_cast<std::size_t>(bit / 8)] | index << (8 - bits - bit % 8));
    }
    out += row;
  }
  return out;
}

}  // namespace

TEST(BmpFile, PalettePicturesShowTheirColoursEitherRowOrder) {
  IsolatedState state;
  const std::vector<Rgb> colours{{255, 0, 0}, {0, 200, 0}, {0, 0, 150}, {9, 8, 7}, {1, 2, 3}};
  for (const auto& [bits, w, h] : {std::tuple{8, 5, 3}, std::tuple{4, 7, -2}, std::tuple{1, 9, 2}}) {
    const std::vector<Rgb> table(colours.begin(), colours.begin() + (bits == 1 ? 2 : 5));
    std::optional<RgbImage> image = readPicture(state, paletteBmp(bits, w, h, table));
    ASSERT_TRUE(image) << bits;
    for (int y = 0; y < std::abs(h); ++y) {
      for (int x = 0; x < w; ++x) {
        const Rgb& c = table[static_cast<std::size_t>((x + 2 * y) % static_cast<int>(table.size()))];
        const std::uint8_t* p = &image->pixels[static_cast<std::size_t>((y * w + x) * 3)];
        EXPECT_EQ((Rgb{p[0], p[1], p[2]}), c) << bits << " bits, pixel " << x << "," << y;
      }
    }
  }
}

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
