#include "render/camera.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/world.h"

namespace {

constexpr double kFloatMax = std::numeric_limits<float>::max();

// Keeps a derived quantity finite: bounds near the float limit would
// otherwise add up to infinity and poison the view.
float clampToFloat(double value) { return static_cast<float>(std::min(value, kFloatMax)); }

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

void frameWorld(Camera& camera, const World& world) {
  double size = extentSum(world);
  // An empty world or a single point has no extent; it is shown as a world
  // of the standard size rather than from a distance of zero (and a size
  // too small for a float to hold would make the view's quantities zero).
  if (!(size > 1e-30)) size = 6.0;
  camera.worldSize = clampToFloat(size);
  camera.axisLength = clampToFloat(size / 6.0);
  camera.zoomOffset = 0.0f;
  camera.panX = camera.panY = 0.0f;
  camera.viewDistance = clampToFloat(size * 0.5);
  // A small margin keeps faces on the sphere's edge off the depth range's ends.
  camera.viewRadius = clampToFloat(reachRadius(world, size) * 1.01);
  camera.framed = true;
  camera.fitted = false;
}
