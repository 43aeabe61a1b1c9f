#include "render/view_fit.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

void fitModelToView(const Shown& shown, const ViewOptions& options, Camera& camera, float fill) {
  const int viewWidth = camera.viewWidth, viewHeight = camera.viewHeight;
  if (viewWidth <= 0 || viewHeight <= 0 || !camera.framed) return;
  // Each vertex as the view turns it, before the camera is placed: about the
  // centre of mass, or about the origin and then moved by the centre.
  const float* m = camera.rotationMatrix;
  const World& world = shown.world;
  const float cx = world.xCenMass, cy = world.yCenMass, cz = world.zCenMass;
  const bool aboutCentre = options.pivot == Pivot::Center;
  // What is drawn besides the vertices: the box's corners and the axes' ends.
  std::vector<float> extras;
  if (options.showBoundingBox) {
    for (int c = 0; c < 8; ++c) {
      extras.insert(extras.end(), {c & 1 ? world.xMax : world.xMin, c & 2 ? world.yMax : world.yMin,
                                   c & 4 ? world.zMax : world.zMin});
    }
  }
  if (options.showAxes) {
    const float l = camera.axisLength;
    extras.insert(extras.end(), {0, 0, 0, l, 0, 0, 0, l, 0, 0, 0, l});
  }
  // Every point turned once, as a pass over the turned points is what each
  // of the rounds below takes.
  std::vector<float> turned;
  std::size_t total = extras.size();
  for (const MeshObject& object : shown.model) total += object.vertices.size();
  turned.reserve(total);
  for (std::size_t object = 0; object <= shown.model.size(); ++object) {
    const std::vector<float>& points = object < shown.model.size() ? shown.model[object].vertices : extras;
    for (std::size_t k = 0; k + 2 < points.size(); k += 3) {
      const float* p = &points[k];
      const float x = aboutCentre ? p[0] - cx : p[0], y = aboutCentre ? p[1] - cy : p[1];
      const float z = aboutCentre ? p[2] - cz : p[2];
      float q[3];
      for (int r = 0; r < 3; ++r) q[r] = m[r] * x + m[4 + r] * y + m[8 + r] * z;
      if (!aboutCentre) q[0] -= cx, q[1] -= cy, q[2] -= cz;
      turned.insert(turned.end(), {q[0], q[1], q[2]});
    }
  }
  const auto forEachTurned = [&](auto&& visit) {
    for (std::size_t k = 0; k + 2 < turned.size(); k += 3) visit(&turned[k]);
  };
  constexpr float kHuge = std::numeric_limits<float>::max();
  float xMin = kHuge, xMax = -kHuge, yMin = kHuge, yMax = -kHuge;
  std::size_t count = 0;
  forEachTurned([&](const float q[3]) {
    xMin = std::min(xMin, q[0]), xMax = std::max(xMax, q[0]);
    yMin = std::min(yMin, q[1]), yMax = std::max(yMax, q[1]);
    ++count;
  });
  if (count == 0) return;
  const float tanY = std::tan(fieldOfView * 3.14159265f / 360.0f) * fill;
  const float tanX = tanY * static_cast<float>(viewWidth) / static_cast<float>(viewHeight);
  if (options.orthographic) {
    // Depth makes nothing larger: the box of the turned points, centred,
    // its wider side at the margin (a single point at a tiny scale).
    const float scale = std::max({(xMax - xMin) / 2 / tanX, (yMax - yMin) / 2 / tanY, camera.viewRadius * 1e-4f});
    camera.panX = -(xMin + xMax) / 2;
    camera.panY = -(yMin + yMax) / 2;
    camera.zoomOffset = camera.viewDistance - scale;
    camera.fitted = true;
    return;
  }
  // The nearest the eye may stand for a pan: every point within `fill` of
  // the frustum, x' <= (distance - z) * tan(half angle) * aspect, one on its edge.
  float x0 = -(xMin + xMax) / 2, y0 = -(yMin + yMax) / 2, distance = 0.0f;
  const auto nearest = [&] {
    distance = -kHuge;
    forEachTurned([&](const float q[3]) {
      distance = std::max({distance, q[2] + std::fabs(q[0] + x0) / tanX, q[2] + std::fabs(q[1] + y0) / tanY});
    });
  };
  // Nearer parts look larger: the pan that centres the box in space leaves
  // the picture off centre. A few rounds move the pan until the projected
  // extremes stand evenly on both sides, each at its own depth.
  for (int round = 0; round < 8; ++round) {
    nearest();
    struct Extreme {
      float value, depth;
    } low{kHuge, 1}, high{-kHuge, 1}, bottom{kHuge, 1}, top{-kHuge, 1};
    forEachTurned([&](const float q[3]) {
      const float depth = std::max(distance - q[2], 1e-30f);
      const float x = (q[0] + x0) / depth, y = (q[1] + y0) / depth;
      if (x < low.value) low = {x, depth};
      if (x > high.value) high = {x, depth};
      if (y < bottom.value) bottom = {y, depth};
      if (y > top.value) top = {y, depth};
    });
    const float dx = (high.value + low.value) / (1 / high.depth + 1 / low.depth);
    const float dy = (top.value + bottom.value) / (1 / top.depth + 1 / bottom.depth);
    x0 -= dx, y0 -= dy;
    // Settled to a small part of a pixel: more rounds change nothing seen.
    const float settled = 1e-4f * std::max(xMax - xMin, yMax - yMin);
    if (std::fabs(dx) <= settled && std::fabs(dy) <= settled) break;
  }
  nearest();
  // The eye stands `distance` from the turned model's origin: it is drawn
  // at viewDistance - zoomOffset.
  camera.panX = x0;
  camera.panY = y0;
  camera.zoomOffset = camera.viewDistance - distance;
  camera.fitted = true;
}
