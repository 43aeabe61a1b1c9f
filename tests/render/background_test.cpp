#include "render_fixture.h"

TEST_F(RenderTest, BackgroundPictureFillsTheViewBehindTheModel) {
  const std::string path = state.dir().file("plain.bmp");
  writePicture(path, 30, 20, [](int, int) { return Rgb{200, 100, 50}; });
  ASSERT_TRUE(makeBackgroundTexture(path.c_str()));
  shown.backgroundShown = true;
  draw();  // no model: the picture alone
  // Resampling truncates its partial terms: some texels lose a level or two.
  EXPECT_EQ(countPixels({200, 100, 50}, 2), kSize * kSize);

  show({square()});
  draw();
  EXPECT_EQ(pixel(kSize / 2, kSize / 2), (Rgb{255, 255, 255}));
  EXPECT_EQ(pixel(0, 0)[0] / 4, 200 / 4);

  // Hidden-line faces take the background colour, not the picture's.
  viewOptions.style = DisplayStyle::HiddenLine;
  draw();
  EXPECT_EQ(pixel(kSize / 2, kSize / 2), (Rgb{0, 0, 0}));
}

TEST_F(RenderTest, AFailedImportChangesNothing) {
  const std::string good = state.dir().file("good.bmp");
  writePicture(good, 8, 8, [](int, int) { return Rgb{10, 20, 30}; });
  ASSERT_TRUE(makeBackgroundTexture(good.c_str()));
  const std::string bad = state.dir().file("bad.bmp");
  writeTextFile(bad, "not a picture");
  EXPECT_FALSE(makeBackgroundTexture(bad.c_str()));
  EXPECT_FALSE(makeBackgroundTexture(state.dir().file("absent.bmp").c_str()));
  shown.backgroundShown = true;
  draw();
  EXPECT_EQ(countPixels({10, 20, 30}, 1), kSize * kSize);
}

TEST_F(RenderTest, APngBackgroundDrawsAsTheSameBmpDoes) {
  std::vector<std::uint8_t> frames[2];
  for (int k = 0; k < 2; ++k) {
    const std::string path = state.dir().file(k == 0 ? "ramp.bmp" : "ramp.png");
    writePicture(path, 40, 24, [](int x, int y) { return Rgb{6 * x, 10 * y, 7}; });
    ASSERT_TRUE(makeBackgroundTexture(path.c_str())) << path;
    shown.backgroundShown = true;
    draw();
    frames[k].resize(kSize * kSize * 3);
    glReadPixels(0, 0, kSize, kSize, GL_RGB, GL_UNSIGNED_BYTE, frames[k].data());
  }
  EXPECT_TRUE(frames[0] == frames[1]);
  EXPECT_NE(frames[0][0], frames[0][frames[0].size() - 3]);  // a ramp, not one colour
}
