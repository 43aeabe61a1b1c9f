#include "model/world.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/current_model.h"
#include "model/dump.h"
#include "support/mesh_builders.h"
#include "support/temp_dir.h"

namespace {

void setModel(Model model) {
  objectCount = static_cast<std::int32_t>(model.size());
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

TEST(World, ViewQuantitiesFollowTheBounds) {
  IsolatedState state;
  Model model;
  model.push_back(box(2, 4, -1, 1, 0, 0));
  setModel(std::move(model));
  EXPECT_FLOAT_EQ(viewDistance, 4.0f);
  EXPECT_EQ(axisLength, 1);
  EXPECT_FLOAT_EQ(zoomStep, 25.0f);
  EXPECT_EQ(zoomOffset, 0.0f);

  Model small;
  small.push_back(box(0, 1, 0, 1, 0, 1));  // S = 3: axes of length 0
  zoomOffset = 7.0f;
  setModel(std::move(small));
  EXPECT_EQ(axisLength, 0);
  EXPECT_EQ(zoomOffset, 0.0f);
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
    EXPECT_EQ(axisLength, 1);
    EXPECT_FLOAT_EQ(zoomStep, 100.0f / 3.0f);
  }
}

TEST(World, HugeBoundsStayFinite) {
  IsolatedState state;
  Model model;
  model.push_back(box(-3e38f, 3e38f, -3e38f, 3e38f, -3e38f, 3e38f));
  setModel(std::move(model));
  EXPECT_TRUE(std::isfinite(viewDistance));
  EXPECT_TRUE(std::isfinite(zoomStep));
  EXPECT_EQ(axisLength, 2147483647);
}
