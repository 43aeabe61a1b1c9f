#include "render/image_export.h"

#include "render/bmp_file.h"
#include "render_fixture.h"

TEST_F(RenderTest, ExportedPictureIsTheDrawingAreaBottomRowFirstInBgr) {
  // A red square on a blue-green background.
  show({square()});
  viewOptions.foregroundColor = {1.0f, 0.0f, 0.0f};
  viewOptions.backgroundColor = {0.0f, 0.2f, 0.4f};
  applyBackgroundColor();
  drawScene();
  const std::string path = state.dir().file("view.bmp");
  ASSERT_EQ(exportImage(path.c_str()), 0);
  const std::string file = readTextFile(path);
  ASSERT_EQ(file.size(), 54u + static_cast<std::size_t>(bmpStride(kSize)) * kSize);
  auto at = [&](int x, int y, int c) {
    return static_cast<std::uint8_t>(file[54 + static_cast<std::size_t>(y * bmpStride(kSize) + x * 3 + c)]);
  };
  // The first pixel is the lower-left one: background, stored B, G, R.
  EXPECT_EQ(at(0, 0, 0), 102);
  EXPECT_EQ(at(0, 0, 1), 51);
  EXPECT_EQ(at(0, 0, 2), 0);
  EXPECT_EQ(at(32, 32, 0), 0);
  EXPECT_EQ(at(32, 32, 2), 255);
}

TEST_F(RenderTest, ExportPadsOddWidthsAndWritesHeadersOnlyWithoutHeight) {
  ASSERT_TRUE(makeOffscreenContextCurrent(301, 3));
  resizeView(301, 3);
  drawScene();
  const std::string path = state.dir().file("wide.bmp");
  ASSERT_EQ(exportImage(path.c_str()), 0);
  const std::string file = readTextFile(path);
  ASSERT_EQ(file.size(), 54u + 904u * 3);
  EXPECT_EQ(file[54 + 903], 0);  // the padding byte
  resizeView(301, 0);
  ASSERT_EQ(exportImage(path.c_str()), 0);
  EXPECT_EQ(readTextFile(path).size(), 54u);
}
