// The named views turn the model so that the axis asked for faces the eye
// and its up axis points up the screen.
#include "render/standard_views.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "formats/up_axis_defaults.h"

namespace {

using Vec = std::array<float, 3>;

// Where the view puts a direction of the model: x right, y up, z toward the eye.
Vec onScreen(const Camera& c, const Vec& v) {
  const float* m = c.rotationMatrix;
  return {m[0] * v[0] + m[4] * v[1] + m[8] * v[2], m[1] * v[0] + m[5] * v[1] + m[9] * v[2],
          m[2] * v[0] + m[6] * v[1] + m[10] * v[2]};
}

bool near(const Vec& a, const Vec& b) {
  return std::fabs(a[0] - b[0]) < 1e-5f && std::fabs(a[1] - b[1]) < 1e-5f && std::fabs(a[2] - b[2]) < 1e-5f;
}

World boxWorld(float dx, float dy, float dz) {
  World w;
  w.xMin = -dx, w.xMax = dx, w.yMin = -dy, w.yMax = dy, w.zMin = -dz, w.zMax = dz;
  return w;
}

}  // namespace

TEST(StandardViews, EachViewFacesItsSideAndKeepsTheUpAxisUp) {
  const Vec x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1}, minusX{-1, 0, 0}, minusY{0, -1, 0}, minusZ{0, 0, -1};
  const struct {
    StandardView view;
    UpAxis up;
    Vec towardEye, upScreen;  // the model's directions that end there
  } cases[] = {
      {StandardView::Front, UpAxis::Y, z, y},       {StandardView::Back, UpAxis::Y, minusZ, y},
      {StandardView::Right, UpAxis::Y, x, y},       {StandardView::Left, UpAxis::Y, minusX, y},
      {StandardView::Top, UpAxis::Y, y, minusZ},    {StandardView::Bottom, UpAxis::Y, minusY, z},
      {StandardView::Front, UpAxis::Z, minusY, z},  {StandardView::Back, UpAxis::Z, y, z},
      {StandardView::Right, UpAxis::Z, x, z},       {StandardView::Left, UpAxis::Z, minusX, z},
      {StandardView::Top, UpAxis::Z, z, y},         {StandardView::Bottom, UpAxis::Z, minusZ, minusY},
  };
  for (const auto& c : cases) {
    Camera camera;
    setStandardView(camera, c.view, c.up);
    const std::string name = std::to_string(static_cast<int>(c.view)) + (c.up == UpAxis::Z ? " z up" : " y up");
    EXPECT_TRUE(near(onScreen(camera, c.towardEye), {0, 0, 1})) << name;
    EXPECT_TRUE(near(onScreen(camera, c.upScreen), {0, 1, 0})) << name;
  }
  // The first view looks down on the front by the elevation; the isometric
  // one sees the front, the right and the top alike, the up axis still up.
  const float e = kFirstViewElevation * static_cast<float>(M_PI) / 180.0f;
  for (const UpAxis up : {UpAxis::Y, UpAxis::Z}) {
    const Vec upAxis = up == UpAxis::Y ? y : z, front = up == UpAxis::Y ? z : minusY;
    Camera first, iso;
    setStandardView(first, StandardView::First, up);
    EXPECT_TRUE(near(onScreen(first, upAxis), {0, std::cos(e), std::sin(e)}));
    EXPECT_TRUE(near(onScreen(first, front), {0, -std::sin(e), std::cos(e)}));
    setStandardView(iso, StandardView::Isometric, up);
    const float third = 1.0f / std::sqrt(3.0f);
    for (const Vec& side : {x, upAxis, front}) EXPECT_NEAR(onScreen(iso, side)[2], third, 1e-5f);
    EXPECT_NEAR(onScreen(iso, upAxis)[0], 0.0f, 1e-5f);
  }
}

TEST(StandardViews, AModelWithoutDepthAlongAnAxisIsSeenSquareAlongIt) {
  const struct {
    World world;
    UpAxis up;
    StandardView first;
  } cases[] = {
      {boxWorld(5, 3, 2), UpAxis::Y, StandardView::First}, {boxWorld(5, 0, 2), UpAxis::Y, StandardView::Top},
      {boxWorld(5, 3, 0), UpAxis::Y, StandardView::Front}, {boxWorld(0, 3, 2), UpAxis::Y, StandardView::Right},
      {boxWorld(5, 3, 0), UpAxis::Z, StandardView::Top},   {boxWorld(5, 0, 2), UpAxis::Z, StandardView::Front},
      {boxWorld(0, 0, 0), UpAxis::Y, StandardView::First},
  };
  for (const auto& c : cases) EXPECT_EQ(firstViewOf(c.world, c.up), c.first);
  // A choice made for a glTF file holds for its binary form too.
  EXPECT_EQ(upAxisKey(formatGlb), upAxisKey(formatGltf));
  EXPECT_TRUE(writtenZUp(formatStl) && !writtenZUp(formatGltf));
}
