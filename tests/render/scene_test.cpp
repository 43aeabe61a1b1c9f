#include <cmath>

#include "render_fixture.h"

namespace {

const Rgb kBlack{0, 0, 0};
const Rgb kWhite{255, 255, 255};

}  // namespace

TEST_F(RenderTest, NoModelShowsTheClearColourOnly) {
  viewOptions.backgroundColor = {0.0f, 128.0f / 255.0f, 1.0f};
  applyBackgroundColor();
  drawScene();
  EXPECT_EQ(countPixels({0, 128, 255}), kSize * kSize);
}

TEST_F(RenderTest, SolidHiddenLineAndWireframe) {
  show({square()});
  drawScene();
  EXPECT_EQ(centre(), kWhite);
  EXPECT_EQ(pixel(0, 0), kBlack);  // the corners lie outside the square

  viewOptions.solidMode = false;
  viewOptions.hiddenLineMode = true;
  viewOptions.backgroundColor = {0.0f, 0.0f, 1.0f};
  applyBackgroundColor();
  drawScene();
  EXPECT_EQ(centre(), (Rgb{0, 0, 255}));  // the face in the background colour
  EXPECT_GT(countPixels(kWhite), 4 * 30);  // its four edges

  viewOptions.hiddenLineMode = false;
  viewOptions.wireframeMode = true;
  drawScene();
  EXPECT_EQ(centre(), (Rgb{0, 0, 255}));
  EXPECT_GT(countPixels(kWhite), 4 * 30);
}

TEST_F(RenderTest, HiddenLinesBehindNearerFacesAreHidden) {
  // A small square in front of a large one: the large one's edges stay,
  // the small one hides the middle of a line drawn across behind it.
  // A thin sliver across the back plane passes behind the front square.
  Model model{makeObject({-2, -2, -1, 2, -2, -1, 2, 2, -1, -2, 2, -1, -0.05f, -2, -1, 0.05f, 2, -1},
                         {{0, 1, 2, 3}, {4, 5, 4}}),
              makeObject({-0.5f, -0.5f, 0.5f, 0.5f, -0.5f, 0.5f, 0.5f, 0.5f, 0.5f, -0.5f, 0.5f, 0.5f},
                         {{0, 1, 2, 3}})};
  show(std::move(model));
  viewOptions.solidMode = false;
  viewOptions.hiddenLineMode = true;
  drawScene();
  EXPECT_EQ(centre(), kBlack);  // inside the front square: no line shows through
}

TEST_F(RenderTest, DepthCueFollowsTheFogFormula) {
  show({square()});
  viewOptions.depthCueLevel = 0.5f;
  drawScene();
  // At 50% the fog ends at the centre of mass: the square is background.
  EXPECT_EQ(centre(), kBlack);

  // At 25% a point at the centre of mass keeps (1 - 2L) / (2 - 2L) = 1/3.
  viewOptions.depthCueLevel = 0.25f;
  drawScene();
  const Rgb third = centre();
  EXPECT_NEAR(third[0], 85, 2);
  EXPECT_EQ(third[0], third[2]);

  viewOptions.depthCueLevel = 0.0f;
  drawScene();
  EXPECT_EQ(centre(), kWhite);
  EXPECT_FALSE(glIsEnabled(GL_FOG));
}

TEST_F(RenderTest, AxesStartAtTheOriginInTheirColours) {
  // Bounds summing to 16: axes of length 2 from the model's own origin,
  // which lies 2 left of the world centre.
  show({makeObject({-2, -4, 0, 6, 4, 0}, {})});
  viewOptions.showAxes = true;
  drawScene();
  int redPixels = 0, greenPixels = 0;
  for (int x = 0; x < kSize; ++x) {
    for (int y = 0; y < kSize; ++y) {
      const Rgb p = pixel(x, y);
      if (p[0] > 0 && p[1] == 0 && p[2] == 0) ++redPixels;
      if (p[1] > 0 && p[0] == 0 && p[2] == 0) ++greenPixels;
    }
  }
  EXPECT_GT(redPixels, 5);
  EXPECT_GT(greenPixels, 5);
  EXPECT_EQ(pixel(10, 40), (Rgb{0, 0, 0}));  // above the x axis, left of the y axis
  // The x axis just right of the origin (x = 20.6) is still mostly red.
  EXPECT_GT(std::max(pixel(22, 31)[0], pixel(22, 32)[0]), 150);

  viewOptions.showAxes = false;
  drawScene();
  EXPECT_EQ(countPixels(kBlack), kSize * kSize);
}

TEST_F(RenderTest, BoundingBoxInTheContrastColourAndSphereInYellow) {
  // Two unused points give the box a depth in front of the square.
  show({makeObject({-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0, 0, 0, 1, 0, 0, -1}, {{0, 1, 2, 3}})});
  viewOptions.solidMode = false;
  viewOptions.wireframeMode = true;
  viewOptions.showBoundingBox = true;
  viewOptions.backgroundColor = {0.2f, 0.6f, 0.0f};
  applyBackgroundColor();
  drawScene();
  // Rounding to 8 bits may differ by one from the exact product.
  EXPECT_GT(countPixels(toRgb(contrastColor), 1), 4 * 40);

  viewOptions.showBoundingBox = false;
  viewOptions.showCenterOfMass = true;
  drawScene();
  const Rgb sphere = centre();
  EXPECT_NEAR(sphere[0], 230, 1);
  EXPECT_NEAR(sphere[1], 204, 1);
  EXPECT_EQ(sphere[2], 0);
}

TEST_F(RenderTest, TriangleFormatsDrawTheFirstThreeCorners) {
  // The lower-left corner region lies in the triangle (0 1 2)'s complement
  // (0 2 3) of the quad: drawn as a polygon, skipped as a triangle.
  show({square()}, formatOff);
  drawScene();
  EXPECT_EQ(pixel(20, 40), kWhite);
  for (FormatId format : {format3DStudio, formatQuake1, formatQuake2}) {
    show({square()}, format);
    drawScene();
    EXPECT_EQ(pixel(20, 40), kBlack) << format;
    EXPECT_EQ(pixel(44, 24), kWhite) << format;
  }
}

TEST_F(RenderTest, EveryFrameFoldsTheIncrementOnceForEachPivot) {
  show({square()});
  rotationAngle = 10.0f;
  rotationAxis[2] = 1.0f;
  drawScene();
  EXPECT_NEAR(rotationMatrix[0], std::cos(10.0 * M_PI / 180), 1e-6);
  EXPECT_NEAR(rotationMatrix[1], std::sin(10.0 * M_PI / 180), 1e-6);

  resetRotation();
  viewOptions.pivotAtOrigin = true;  // both flags: twice
  drawScene();
  EXPECT_NEAR(rotationMatrix[1], std::sin(20.0 * M_PI / 180), 1e-6);

  float before[16];
  std::copy(rotationMatrix, rotationMatrix + 16, before);
  rotationAngle = 0.0f;
  drawScene();
  EXPECT_TRUE(std::equal(before, before + 16, rotationMatrix));
  rotationAngle = 30.0f;
  rotationAxis[2] = 0.0f;  // a zero axis
  drawScene();
  EXPECT_TRUE(std::equal(before, before + 16, rotationMatrix));
}

TEST_F(RenderTest, ZeroHeightDrawsOnlyTheClear) {
  show({square()});
  rotationAngle = 10.0f;
  rotationAxis[2] = 1.0f;
  resizeView(kSize, 0);
  drawScene();
  EXPECT_EQ(rotationMatrix[0], 1.0f);  // no frame was drawn
}
