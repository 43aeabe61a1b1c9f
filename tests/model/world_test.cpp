#include "model/world.h"

#include <gtest/gtest.h>

#include <cmath>

#include "render/camera.h"
#include "support/mesh_builders.h"

namespace {

// A model's World and the camera framed on it; the camera may come with a
// zoom and pan of its own, which framing clears.
struct Framed {
  World world;
  Camera camera;
};
Framed frame(const Model& model, Camera camera = {}) {
  Framed f{computeWorld(model), camera};
  frameWorld(f.camera, f.world);
  return f;
}

MeshObject box(float x0, float x1, float y0, float y1, float z0, float z1) {
  return makeObject({x0, y0, z0, x1, y1, z1}, {});
}

}  // namespace

TEST(World, BoundsWidenOnlyWhenStrictlyOutsideCentreIsTheMeanOfObjects) {
  // 1000 vertices in pairs at x = -1 and x = 1 count once, as does the box
  // at x 9..11: the centre is at 5, not near 0. Objects without vertices take
  // no part.
  std::vector<float> pairs;
  for (int i = 0; i < 1000; ++i) pairs.insert(pairs.end(), {i % 2 ? 1.0f : -1.0f, 0.0f, 0.0f});
  Model model;
  model.push_back(MeshObject{});
  model.push_back(makeObject(pairs, {}));
  model.push_back(box(9, 11, 0.25f, 3, -4, 0));
  model.push_back(box(-0.5f, 5, 0, 0, 0, 0));
  const World world = computeWorld(model);
  EXPECT_FLOAT_EQ(world.xCenMass, (0.0f + 10.0f + 2.25f) / 3.0f);
  const float expected[6] = {-1, 11, 0, 3, -4, 0};
  const float actual[6] = {world.xMin, world.xMax, world.yMin, world.yMax, world.zMin, world.zMax};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(actual[k], expected[k]) << k;
}

TEST(World, ViewQuantitiesFollowTheExtents) {
  // S is the sum of the three extents: for a box around the origin the same
  // as the sum of the absolute bounds; elsewhere the framing of that box
  // moved to the origin; with no extent at all the standard 6.
  const struct {
    MeshObject object;
    float size;
  } cases[] = {
      {box(-1, 1, -2, 2, -3, 3), 12},
      {box(2, 4, -1, 1, 0, 0), 4},
      {box(4995, 5005, 4995, 5005, -5, 5), 30},
      {box(0, 10, 0, 10, 0, 10), 30},
      {box(7, 7, 7, 7, 7, 7), 6},
  };
  for (const auto& c : cases) {
    Camera zoomed;
    zoomed.zoomOffset = 7.0f;
    zoomed.panX = 1.0f;
    const auto [w, camera] = frame({c.object}, zoomed);
    EXPECT_FLOAT_EQ(camera.worldSize, c.size);
    EXPECT_FLOAT_EQ(camera.viewDistance, c.size / 2);
    EXPECT_FLOAT_EQ(camera.axisLength, c.size / 6);
    EXPECT_EQ(camera.zoomOffset + camera.panX, 0.0f);
    // The depth range's sphere holds every corner of the box.
    for (float x : {w.xMin, w.xMax})
      for (float y : {w.yMin, w.yMax})
        for (float z : {w.zMin, w.zMax})
          EXPECT_LE(std::hypot(x - w.xCenMass, y - w.yCenMass, z - w.zCenMass), camera.viewRadius);
  }
}

TEST(World, EmptyAndHugeModelsGiveFiniteViews) {
  for (const Model& model : {Model{}, Model(2)}) {
    const auto [world, camera] = frame(model);
    EXPECT_TRUE(world.xMin == -1.0f && world.zMax == -1.0f && world.xCenMass + world.yCenMass + world.zCenMass == 0.0f);
    EXPECT_FLOAT_EQ(camera.viewDistance, 3.0f);
  }
  const Camera huge = frame({box(-3e38f, 3e38f, -3e38f, 3e38f, -3e38f, 3e38f)}).camera;
  for (float value : {huge.viewDistance, huge.viewRadius, huge.axisLength}) {
    EXPECT_TRUE(std::isfinite(value));
  }
  // Two finite centres near the float limit must not add up to infinity.
  EXPECT_FLOAT_EQ(computeWorld({makeObject({3e38f, 0, 0}, {}), makeObject({3e38f, 1, 0}, {})}).xCenMass, 3e38f);
}
