#include "model/world.h"

World computeWorld(const Model& objects) {
  World w;
  // Objects without vertices have no position: they would pull the bounds to
  // -1 and the centre toward the origin, so they take no part.
  std::size_t counted = 0;
  // Summed in double: two finite centres near the float limit must not add
  // up to infinity.
  double sx = 0.0, sy = 0.0, sz = 0.0;
  for (const MeshObject& o : objects) {
    if (o.vertices.empty()) continue;
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
    const auto n = static_cast<double>(counted);
    w.xCenMass = static_cast<float>(sx / n);
    w.yCenMass = static_cast<float>(sy / n);
    w.zCenMass = static_cast<float>(sz / n);
  }
  return w;
}
