#include "render/image_export.h"

#include "pictures/bmp_file.h"
#include "render_fixture.h"

// The layout of exported pictures (bottom row first, B G R) is pinned by the
// golden pictures of tessera-tool render; here the padding and the edge cases.
TEST_F(RenderTest, ExportPadsOddWidthsAndWritesHeadersOnlyWithoutHeight) {
  ASSERT_TRUE(makeOffscreenContextCurrent(301, 3));
  resizeView(camera, 301, 3);
  draw();
  const std::string path = state.dir().file("wide.bmp");
  ASSERT_TRUE(exportImage(path.c_str(), camera.viewWidth, camera.viewHeight));
  const std::string file = readTextFile(path);
  ASSERT_EQ(file.size(), 54u + 904u * 3);
  EXPECT_EQ(file[54 + 903], 0);  // the padding byte
  resizeView(camera, 301, 0);
  ASSERT_TRUE(exportImage(path.c_str(), camera.viewWidth, camera.viewHeight));
  EXPECT_EQ(readTextFile(path).size(), 54u);
}
