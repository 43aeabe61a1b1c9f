// The first picture of any model shows all of it, wherever it stands and
// whatever its size, and so does Fit; concave faces fill as their outline says.
#include <algorithm>
#include <cmath>

#include "render/concave_fill.h"
#include "render/view_fit.h"
#include "render_fixture.h"

namespace {

constexpr int kWide = 160, kHigh = 120;  // the shape of a typical window

MeshObject cube(float side, float cx, float cy, float cz) {
  const float h = side / 2;
  std::vector<float> v;
  for (int k = 0; k < 8; ++k) {
    v.insert(v.end(), {cx + ((k & 1) ? h : -h), cy + ((k & 2) ? h : -h), cz + ((k & 4) ? h : -h)});
  }
  return makeObject(v, {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}});
}

// The rectangle of pixels that differ from the black background.
struct Extent {
  int left = kWide, right = -1, bottom = kHigh, top = -1, pixels = 0;
};

Extent modelExtent(int width, int height) {
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width * height * 4));
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  Extent e;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* p = &rgba[static_cast<std::size_t>((y * width + x) * 4)];
      if (p[0] == 0 && p[1] == 0 && p[2] == 0) continue;
      e.left = std::min(e.left, x), e.right = std::max(e.right, x);
      e.bottom = std::min(e.bottom, y), e.top = std::max(e.top, y);
      ++e.pixels;
    }
  }
  return e;
}

class FramingTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    ASSERT_TRUE(makeOffscreenContextCurrent(kWide, kHigh));
    resizeView(camera, kWide, kHigh);
  }
};

}  // namespace

TEST_F(FramingTest, FirstPictureShowsTheWholeModelCentred) {
  const struct {
    const char* name;
    MeshObject object;
  } cases[] = {
      {"0.1-unit cube at the origin", cube(0.1f, 0, 0, 0)},
      {"10-unit cube at (5000, 5000, 0)", cube(10, 5000, 5000, 0)},
      {"10-unit cube with a corner at the origin", cube(10, 5, 5, 5)},
      {"10-unit cube around the origin", cube(10, 0, 0, 0)},
      {"1e6-unit cube", cube(1e6f, 0, 0, 0)},
      {"0.1-unit cube far out on z", cube(0.1f, 0, 0, -300)},
  };
  for (const auto& c : cases) {
    show({c.object});
    draw();
    const Extent e = modelExtent(kWide, kHigh);
    EXPECT_TRUE(e.left > 0 && e.right < kWide - 1 && e.bottom > 0 && e.top < kHigh - 1) << c.name;
    EXPECT_GE(std::max((e.right - e.left + 1) / double(kWide), (e.top - e.bottom + 1) / double(kHigh)), 0.3)
        << c.name;
    EXPECT_NEAR(e.left + e.right, kWide - 1, 2) << c.name;
    EXPECT_NEAR(e.bottom + e.top, kHigh - 1, 2) << c.name;
  }
}

TEST_F(FramingTest, FitFillsTheViewWithATurnedModelAndCutsNothing) {
  show({makeObject({0, 0, 0, 10, 0, 0, 10, 1, 0, 0, 1, 0, 0, 0, 1, 10, 0, 1, 10, 1, 1, 0, 1, 1},
                   {{0, 1, 2, 3}, {4, 5, 6, 7}, {0, 1, 5, 4}, {3, 2, 6, 7}, {0, 3, 7, 4}, {1, 2, 6, 5}})});
  turnModel(camera, 35.0f, 0.3f, 1.0f, 0.2f);  // a long thin box, turned
  fitModelToView(shown, viewOptions, camera);
  draw();
  const Extent e = modelExtent(kWide, kHigh);
  EXPECT_TRUE(e.left > 0 && e.right < kWide - 1 && e.bottom > 0 && e.top < kHigh - 1) << "cut by an edge";
  EXPECT_TRUE((e.left < kWide / 10 && e.right > kWide * 9 / 10) || (e.bottom < kHigh / 10 && e.top > kHigh * 9 / 10))
      << "short of the margins";
}

TEST_F(FramingTest, ZoomingThroughTheModelNeverLosesWhatIsInFront) {
  show({cube(10, 5000, 5000, 0)});
  const float step = camera.viewDistance / 40;
  for (int k = 0; k < 100; ++k) {
    camera.zoomOffset = static_cast<float>(k) * step;
    // The cube's back face lies at eyeDistance() + 5 in front of the eye.
    if (camera.eyeDistance() + 5.0f < 0.01f) break;
    draw();
    EXPECT_GT(modelExtent(kWide, kHigh).pixels, 0) << "zoom " << camera.zoomOffset;
  }
}

TEST(ConcaveFace, ConvexityOfCorners) {
  const std::vector<float> points{0, 0, 0, 2, 0, 0, 2, 1, 0, 1, 1, 0, 1, 2, 0, 0, 2, 0,
                                  2, 2, 0, 3, 3, 0, 5, 5, 0, 0, 2, 1};
  const struct {
    std::vector<std::int32_t> face;
    bool convex;
  } cases[] = {
      {{0, 1, 6, 5}, true},            // square
      {{5, 6, 1, 0}, true},            // the same, wound the other way
      {{0, 1, 2, 3, 4, 5}, false},     // L
      {{1, 2, 3, 4, 5, 0}, false},     // L from another corner
      {{0, 6, 7, 8}, true},            // all on one line: nothing to fill
      {{0, 1, 2}, true},               // triangle
      {{0, 1, 1, 6, 5}, true},         // a repeated corner
  };
  for (const auto& c : cases) {
    EXPECT_EQ(isConvexFace(points.data(), c.face), c.convex) << ::testing::PrintToString(c.face);
  }
  // A five-pointed star drawn in one stroke turns one way but goes round twice.
  std::vector<float> star;
  for (int k = 0; k < 5; ++k) {
    const double a = 2 * M_PI * (2 * k) / 5;
    star.insert(star.end(), {static_cast<float>(std::cos(a)), static_cast<float>(std::sin(a)), 0});
  }
  EXPECT_FALSE(isConvexFace(star.data(), std::vector<std::int32_t>{0, 1, 2, 3, 4}));
}
