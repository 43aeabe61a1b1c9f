#include "model/world.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/current_model.h"

World world;
float worldSize = 6.0f;
float viewDistance = 0.0f;
float viewRadius = 0.0f;
float axisLength = 0.0f;
float zoomOffset = 0.0f;
float panX = 0.0f, panY = 0.0f;
float zoomStep = 10.0f;
bool worldBuilt = false;
std::uint64_t worldGeneration = 0;

namespace {

constexpr double kFloatMax = std::numeric_limits<float>::max();

// Keeps a derived quantity finite: bounds near the float limit would
// otherwise add up to infinity and poison the view.
float clampToFloat(double value) { return static_cast<float>(std::min(value, kFloatMax)); }

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

// The sum of the extents frames a model the same wherever it stands; for a
// box that holds the origin it equals the sum of the six absolute bounds.
double extentSum(const World& w) {
  return (static_cast<double>(w.xMax) - w.xMin) + (static_cast<double>(w.yMax) - w.yMin) +
         (static_cast<double>(w.zMax) - w.zMin);
}

double farthestReach(double low, double high, double centre) {
  return std::max(std::fabs(low - centre), std::fabs(high - centre));
}

// Radius of a sphere about the world centre that holds the box, the centre
// marker and, when the box holds the origin, the axes drawn from it.
double reachRadius(const World& w, double size) {
  const double cx = w.xCenMass, cy = w.yCenMass, cz = w.zCenMass;
  double rx = farthestReach(w.xMin, w.xMax, cx);
  double ry = farthestReach(w.yMin, w.yMax, cy);
  double rz = farthestReach(w.zMin, w.zMax, cz);
  const bool holdsOrigin = w.xMin <= 0 && w.xMax >= 0 && w.yMin <= 0 && w.yMax >= 0 &&
                           w.zMin <= 0 && w.zMax >= 0;
  if (holdsOrigin) {
    const double axis = size / 6.0;
    rx = std::max(rx, std::fabs(axis - cx));
    ry = std::max(ry, std::fabs(axis - cy));
    rz = std::max(rz, std::fabs(axis - cz));
  }
  const double marker = size * 0.5 * 0.02;
  return std::max(std::sqrt(rx * rx + ry * ry + rz * rz), marker);
}

}  // namespace

void updateWorld() {
  world = computeWorld(currentModel);
  double size = extentSum(world);
  // An empty world or a single point has no extent; it is shown as a world
  // of the standard size rather than from a distance of zero (and a size
  // too small for a float quotient would make the zoom step infinite).
  if (!(size > 1e-30)) size = 6.0;
  worldSize = clampToFloat(size);
  axisLength = clampToFloat(size / 6.0);
  zoomOffset = 0.0f;
  panX = panY = 0.0f;
  viewDistance = clampToFloat(size * 0.5);
  // A small margin keeps faces on the sphere's edge off the depth range's ends.
  viewRadius = clampToFloat(reachRadius(world, size) * 1.01);
  zoomStep = 100.0f / viewDistance;
  worldBuilt = true;
  ++worldGeneration;
}

float eyeDistance() { return viewDistance - zoomOffset; }

void resetWorld() {
  world = World{};
  worldSize = 6.0f;
  viewDistance = 0.0f;
  viewRadius = 0.0f;
  axisLength = 0.0f;
  zoomOffset = 0.0f;
  panX = panY = 0.0f;
  zoomStep = 10.0f;
  worldBuilt = false;
  ++worldGeneration;
}
