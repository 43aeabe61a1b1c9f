#include "model/world.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/current_model.h"
#include "model/dump.h"
#include "support/mesh_builders.h"
#include "support/temp_dir.h"

namespace {

void setModel(Model model) {
  currentModel = std::move(model);
  updateWorld();
}

MeshObject box(float x0, float x1, float y0, float y1, float z0, float z1) {
  return makeObject({x0, y0, z0, x1, y1, z1}, {});
}

}  // namespace

TEST(World, CentreIsTheMeanOfObjectCentresNotOfVertices) {
  IsolatedState state;
  // 1000 vertices in pairs at x = -1 and x = 1: centred exactly at the origin.
  std::vector<float> pairs;
  for (int i = 0; i < 1000; ++i) pairs.insert(pairs.end(), {i % 2 ? 1.0f : -1.0f, 0.0f, 0.0f});
  Model model;
  model.push_back(makeObject(pairs, {}));
  model.push_back(makeObject({9, -1, 0, 11, -1, 0, 9, 1, 0, 11, 1, 0}, {}));
  setModel(std::move(model));
  EXPECT_FLOAT_EQ(world.xCenMass, 5.0f);
  EXPECT_FLOAT_EQ(world.yCenMass, 0.0f);
  EXPECT_FLOAT_EQ(world.xMax, 11.0f);
  EXPECT_FLOAT_EQ(world.xMin, -1.0f);
}

TEST(World, ViewQuantitiesFollowTheExtents) {
  IsolatedState state;
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
    zoomOffset = 7.0f;
    setModel({c.object});
    EXPECT_FLOAT_EQ(worldSize, c.size);
    EXPECT_FLOAT_EQ(viewDistance, c.size / 2);
    EXPECT_FLOAT_EQ(axisLength, c.size / 6);
    EXPECT_FLOAT_EQ(zoomStep, 200.0f / c.size);
    EXPECT_EQ(zoomOffset, 0.0f);
    // The depth range's sphere holds every corner of the box.
    const World& w = world;
    for (float x : {w.xMin, w.xMax})
      for (float y : {w.yMin, w.yMax})
        for (float z : {w.zMin, w.zMax})
          EXPECT_LE(std::hypot(x - w.xCenMass, y - w.yCenMass, z - w.zCenMass), viewRadius);
  }
}

TEST(World, LaterObjectsWidenBoundsOnlyWhenStrictlyOutside) {
  IsolatedState state;
  Model model;
  model.push_back(box(0, 1, 0, 1, 0, 1));
  model.push_back(box(-2, 0.5f, 0.25f, 3, -4, 0));
  model.push_back(box(0.5f, 5, 0, 0, 0, 0));
  setModel(std::move(model));
  EXPECT_EQ(world.xMin, -2.0f);
  EXPECT_EQ(world.xMax, 5.0f);
  EXPECT_EQ(world.yMin, 0.0f);
  EXPECT_EQ(world.yMax, 3.0f);
  EXPECT_EQ(world.zMin, -4.0f);
  EXPECT_EQ(world.zMax, 1.0f);
}

TEST(World, ObjectsWithoutVerticesTakeNoPart) {
  IsolatedState state;
  Model model;
  model.push_back(MeshObject{});
  model.push_back(box(2, 4, 2, 4, 2, 4));
  model.push_back(MeshObject{});
  setModel(std::move(model));
  EXPECT_EQ(world.xMin, 2.0f);
  EXPECT_EQ(world.xMax, 4.0f);
  EXPECT_FLOAT_EQ(world.xCenMass, 3.0f);
}

TEST(World, EmptyModelGivesFiniteDefaults) {
  IsolatedState state;
  for (Model model : {Model{}, Model(2)}) {
    setModel(std::move(model));
    EXPECT_EQ(world.xMin, -1.0f);
    EXPECT_EQ(world.zMax, -1.0f);
    EXPECT_EQ(world.xCenMass, 0.0f);
    EXPECT_EQ(world.yCenMass, 0.0f);
    EXPECT_EQ(world.zCenMass, 0.0f);
    EXPECT_FLOAT_EQ(viewDistance, 3.0f);
    EXPECT_FLOAT_EQ(axisLength, 1.0f);
    EXPECT_FLOAT_EQ(zoomStep, 100.0f / 3.0f);
  }
}

TEST(World, HugeBoundsStayFinite) {
  IsolatedState state;
  Model model;
  model.push_back(box(-3e38f, 3e38f, -3e38f, 3e38f, -3e38f, 3e38f));
  setModel(std::move(model));
  EXPECT_TRUE(std::isfinite(viewDistance));
  EXPECT_TRUE(std::isfinite(viewRadius));
  EXPECT_TRUE(std::isfinite(zoomStep));
  EXPECT_TRUE(std::isfinite(axisLength));
  // Two finite centres near the float limit must not add up to infinity.
  Model two;
  two.push_back(makeObject({3e38f, 0, 0}, {}));
  two.push_back(makeObject({3e38f, 1, 0}, {}));
  setModel(std::move(two));
  EXPECT_FLOAT_EQ(world.xCenMass, 3e38f);
}
