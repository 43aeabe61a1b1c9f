// The first picture of any model shows all of it, wherever it stands and
// whatever its size, and so does Fit; concave faces fill as their outline says.
#include <algorithm>
#include <cmath>

#include "render/concave_fill.h"
#include "render/standard_views.h"
#include "render/view_fit.h"
#include "render/view_zoom.h"
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

// A box of the given extents about a centre.
MeshObject box(float dx, float dy, float dz, float cx = 0, float cy = 0, float cz = 0) {
  std::vector<float> v;
  for (int k = 0; k < 8; ++k) {
    v.insert(v.end(), {cx + ((k & 1) ? dx : -dx) / 2, cy + ((k & 2) ? dy : -dy) / 2, cz + ((k & 4) ? dz : -dz) / 2});
  }
  return makeObject(v, {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}});
}

// The rectangle of pixels that differ from the black background.
struct Extent {
  int left = 1 << 20, right = -1, bottom = 1 << 20, top = -1, pixels = 0;
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
    FormatId format = formatOff;
  } cases[] = {
      {"0.1-unit cube at the origin", cube(0.1f, 0, 0, 0)},
      {"10-unit cube at (5000, 5000, 0)", cube(10, 5000, 5000, 0)},
      {"10-unit cube with a corner at the origin", cube(10, 5, 5, 5)},
      {"1e6-unit cube", cube(1e6f, 0, 0, 0)},
      {"0.1-unit cube far out on z", cube(0.1f, 0, 0, -300)},
      {"a long rod along x", box(100, 4, 4)},
      {"a long rod along z, z up", box(4, 4, 100), formatStl},
      {"flat in x-y", box(10, 4, 0)},
      {"flat in x-z (on the ground)", box(10, 0, 4)},
      {"flat in y-z", box(0, 10, 4)},
      {"flat in x-y, z up (a plan)", box(10, 4, 0, 2e4f, 1e4f, 0), formatDxf},
      {"a sheet far from the origin", box(3, 0, 2, 1e4f, -1e4f, 5e3f)},
  };
  viewOptions.showAxes = viewOptions.showBoundingBox = false;
  for (const auto& [width, height] : {std::pair{160, 120}, std::pair{90, 160}, std::pair{200, 50}}) {
    ASSERT_TRUE(makeOffscreenContextCurrent(width, height));
    resizeView(camera, width, height);
    for (const auto& c : cases) {
      for (bool orthographic : {false, true}) {
        const std::string name = std::string(c.name) + " at " + std::to_string(width) + "x" + std::to_string(height) +
                                 (orthographic ? ", parallel" : "");
        viewOptions.orthographic = orthographic;
        showModel(shown, {c.object}, c.format);
        showFirstView(camera, shown, viewOptions, c.format == formatOff ? UpAxis::Y : UpAxis::Z);
        draw();
        const Extent e = modelExtent(width, height);
        EXPECT_TRUE(e.left > 0 && e.right < width - 1 && e.bottom > 0 && e.top < height - 1) << name;
        // Filling the view in one direction at least, and centred.
        EXPECT_GE(std::max((e.right - e.left + 1) / double(width), (e.top - e.bottom + 1) / double(height)), 0.8) << name;
        EXPECT_NEAR(e.left + e.right, width - 1, 3) << name;
        EXPECT_NEAR(e.bottom + e.top, height - 1, 3) << name;
      }
    }
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

TEST_F(FramingTest, AZoomWalkNeverLeavesAnEmptyPicture) {
  // In toward a point off the centre, 200 notches: the eye stops outside the
  // model and the point stays under the pointer; then 200 notches out.
  for (bool orthographic : {false, true}) {
    viewOptions.orthographic = orthographic;
    showModel(shown, {cube(10, 5000, 5000, 0)}, formatOff);
    showFirstView(camera, shown, viewOptions, UpAxis::Y);
    for (int notch = -200; notch < 200; ++notch) {
      zoomView(camera, shown.world, viewOptions, notch < 0 ? 1.0f : -1.0f, false, ZoomPoint{kWide / 2 + 15, kHigh / 2 - 10});
      draw();
      const Extent e = modelExtent(kWide, kHigh);
      ASSERT_GT(e.pixels, 0) << "notch " << notch << (orthographic ? ", parallel" : "");
      if (!orthographic) {
        ASSERT_GE(camera.eyeDistance(), camera.viewRadius) << "notch " << notch;
      }
    }
  }
}

TEST_F(FramingTest, DepthCueingNeverHidesTheModel) {
  // Fog runs over the model's own depth: at any level its nearest pixel
  // keeps its colour and nine in ten of its pixels stay off the background.
  const struct {
    const char* name;
    MeshObject object;
    float tilt;  // degrees about x after the first view
  } cases[] = {{"a cube", cube(10, 0, 0, 0), 0}, {"a flat sheet on the ground", box(10, 0, 4), 0},
               {"a flat sheet tilted", box(10, 4, 0), 60}, {"a long rod far out", box(100, 4, 4, 1e4f, 0, 0), 30}};
  const auto picture = [&](float level, std::vector<std::uint8_t>& rgba, std::vector<float>& depth) {
    viewOptions.depthCueLevel = level;
    draw();
    rgba.resize(kWide * kHigh * 4), depth.resize(kWide * kHigh);
    glReadPixels(0, 0, kWide, kHigh, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glReadPixels(0, 0, kWide, kHigh, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
  };
  for (const auto& c : cases) {
    showModel(shown, {c.object}, formatOff);
    showFirstView(camera, shown, viewOptions, UpAxis::Y);
    turnModel(camera, c.tilt, 1, 0, 0);
    std::vector<std::uint8_t> clear, fogged;
    std::vector<float> depth;
    picture(0.0f, clear, depth);
    const auto nearest = std::min_element(depth.begin(), depth.end()) - depth.begin();
    for (float level : {0.3f, 0.99f}) {
      picture(level, fogged, depth);
      int drawn = 0, distinct = 0;
      for (std::size_t p = 0; p < depth.size(); ++p) {
        if (clear[4 * p] == 0) continue;  // background
        ++drawn;
        distinct += fogged[4 * p] > 0 || fogged[4 * p + 1] > 0 || fogged[4 * p + 2] > 0;
      }
      EXPECT_GE(distinct, drawn * 9 / 10) << c.name << " at " << level;
      // (The pixel centre lies a little inside the nearest corner: on a surface seen at a
      // glancing angle that is a few steps of fog, never more than 4%.)
      EXPECT_NEAR(fogged[4 * nearest], clear[4 * nearest], 10) << c.name << " at " << level;
    }
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
