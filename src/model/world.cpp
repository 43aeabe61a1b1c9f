#include "model/world.h"

#include <cmath>
#include <limits>

#include "model/current_model.h"

World world;
float viewDistance = 0.0f;
std::int32_t axisLength = 0;
float zoomOffset = 0.0f;
float zoomStep = 10.0f;
bool worldBuilt = false;

namespace {

World computeWorld(const MeshObject* objects, std::int32_t count) {
  World w;
  // Objects without vertices have no position: they would pull the bounds to
  // -1 and the centre toward the origin, so they take no part.
  std::int32_t counted = 0;
  float sx = 0.0f, sy = 0.0f, sz = 0.0f;
  for (std::int32_t i = 0; i < count; ++i) {
    const MeshObject& o = objects[i];
    if (o.numVertices <= 0) continue;
    if (counted == 0) {
      w.xMin = o.xMin;
      w.xMax = o.xMax;
      w.yMin = o.yMin;
      w.yMax = o.yMax;
      w.zMin = o.zMin;
      w.zMax = o.zMax;
    } else {
      if (o.xMin < w.xMin) w.xMin = o.xMin;
      if (o.xMax > w.xMax) w.xMax = o.xMax;
      if (o.yMin < w.yMin) w.yMin = o.yMin;
      if (o.yMax > w.yMax) w.yMax = o.yMax;
      if (o.zMin < w.zMin) w.zMin = o.zMin;
      if (o.zMax > w.zMax) w.zMax = o.zMax;
    }
    sx += o.xCenMass;
    sy += o.yCenMass;
    sz += o.zCenMass;
    ++counted;
  }
  if (counted > 0) {
    const float n = static_cast<float>(counted);
    w.xCenMass = sx / n;
    w.yCenMass = sy / n;
    w.zCenMass = sz / n;
  }
  return w;
}

}  // namespace

void updateWorld() {
  const std::int32_t count =
      objectCount < static_cast<std::int32_t>(currentModel.size())
          ? objectCount
          : static_cast<std::int32_t>(currentModel.size());
  world = computeWorld(currentModel.data(), count);
  float size = std::fabs(world.xMin) + std::fabs(world.xMax) + std::fabs(world.yMin) +
               std::fabs(world.yMax) + std::fabs(world.zMin) + std::fabs(world.zMax);
  // Bounds near the float limit would add up to infinity and poison the view.
  if (!(size <= std::numeric_limits<float>::max())) size = std::numeric_limits<float>::max();
  const double sixth = size * 0.16666666666666666;
  axisLength = sixth < 2147483647.0 ? static_cast<std::int32_t>(sixth) : 2147483647;
  zoomOffset = 0.0f;
  viewDistance = size * 0.5f;
  zoomStep = 100.0f / viewDistance;
  worldBuilt = true;
}

void resetWorld() {
  world = World{};
  viewDistance = 0.0f;
  axisLength = 0;
  zoomOffset = 0.0f;
  zoomStep = 10.0f;
  worldBuilt = false;
}
