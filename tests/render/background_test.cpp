#include "render_fixture.h"
#include "support/binary_builders.h"

namespace {

// A 24-bit picture of one colour.
Bytes plainPicture(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  const std::size_t stride = static_cast<std::size_t>((w * 3 + 3) / 4 * 4);
  ByteWriter out;
  out.text("BM").u32le(static_cast<std::uint32_t>(54 + stride * static_cast<std::size_t>(h))).u32le(0).u32le(54);
  out.u32le(40).u32le(static_cast<std::uint32_t>(w)).u32le(static_cast<std::uint32_t>(h)).u16le(1).u16le(24);
  out.u32le(0).u32le(0).u32le(0).u32le(0).u32le(0).u32le(0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) out.u8(b).u8(g).u8(r);
    out.zeros(stride - static_cast<std::size_t>(w) * 3);
  }
  return out.data;
}

}  // namespace

TEST_F(RenderTest, BackgroundPictureFillsTheViewBehindTheModel) {
  const std::string path = state.dir().file("plain.bmp");
  writeBytesFile(path, plainPicture(30, 20, 200, 100, 50));
  ASSERT_TRUE(makeBackgroundTexture(path.c_str()));
  backgroundShown = true;
  drawScene();  // no model: the picture alone
  // Resampling truncates its partial terms: some texels lose a level or two.
  EXPECT_EQ(countPixels({200, 100, 50}, 2), kSize * kSize);

  show({square()});
  drawScene();
  EXPECT_EQ(centre(), (Rgb{255, 255, 255}));
  EXPECT_EQ(pixel(0, 0)[0] / 4, 200 / 4);

  // Hidden-line faces take the background colour, not the picture's.
  viewOptions.solidMode = false;
  viewOptions.hiddenLineMode = true;
  drawScene();
  EXPECT_EQ(centre(), (Rgb{0, 0, 0}));
}

TEST_F(RenderTest, AFailedImportChangesNothing) {
  const std::string good = state.dir().file("good.bmp");
  writeBytesFile(good, plainPicture(8, 8, 10, 20, 30));
  ASSERT_TRUE(makeBackgroundTexture(good.c_str()));
  const std::string bad = state.dir().file("bad.bmp");
  writeTextFile(bad, "not a picture");
  EXPECT_FALSE(makeBackgroundTexture(bad.c_str()));
  EXPECT_FALSE(makeBackgroundTexture(state.dir().file("absent.bmp").c_str()));
  backgroundShown = true;
  drawScene();
  EXPECT_EQ(countPixels({10, 20, 30}, 1), kSize * kSize);
}
