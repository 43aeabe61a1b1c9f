#include "render_fixture.h"

TEST_F(RenderTest, BackgroundPictureFillsTheViewBehindTheModel) {
  const std::string path = state.dir().file("plain.bmp");
  writePicture(path, 30, 20, [](int, int) { return Rgb{200, 100, 50}; });
  ASSERT_TRUE(makeBackgroundTexture(path.c_str()));
  backgroundShown = true;
  drawScene();  // no model: the picture alone
  // Resampling truncates its partial terms: some texels lose a level or two.
  EXPECT_EQ(countPixels({200, 100, 50}, 2), kSize * kSize);

  show({square()});
  drawScene();
  EXPECT_EQ(pixel(kSize / 2, kSize / 2), (Rgb{255, 255, 255}));
  EXPECT_EQ(pixel(0, 0)[0] / 4, 200 / 4);

  // Hidden-line faces take the background colour, not the picture's.
  viewOptions.solidMode = false;
  viewOptions.hiddenLineMode = true;
  drawScene();
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
  backgroundShown = true;
  drawScene();
  EXPECT_EQ(countPixels({10, 20, 30}, 1), kSize * kSize);
}
