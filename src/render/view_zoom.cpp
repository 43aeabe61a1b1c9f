#include "render/view_zoom.h"

#include <algorithm>
#include <cmath>

namespace {

// Where the centre of the model's bounding sphere stands in eye space, less
// the eye distance along the axis: turning about the origin carries the
// centre away from the axis the view looks along.
struct SphereOffset {
  float x, y, z;
};

SphereOffset sphereOffset(const Camera& c, const World& w, const ViewOptions& o) {
  SphereOffset offset{c.panX, c.panY, 0.0f};
  if (o.pivot == Pivot::Origin) {
    const float* m = c.rotationMatrix;
    const float centre[3] = {w.xCenMass, w.yCenMass, w.zCenMass};
    float turned[3];
    for (int r = 0; r < 3; ++r) turned[r] = m[r] * centre[0] + m[4 + r] * centre[1] + m[8 + r] * centre[2] - centre[r];
    offset.x += turned[0], offset.y += turned[1], offset.z += turned[2];
  }
  return offset;
}

// A sphere a little larger than the one that holds the model: the eye stops
// outside it, with the near plane still some way off the nearest face.
constexpr float kStandOff = 1.05f;
// How far a `through` notch moves, as a fraction of the sphere's radius.
constexpr float kThroughStep = 0.1f;
// Farther than this many radii the model is a few pixels across.
constexpr float kFarthest = 50.0f;

}  // namespace

float nearestEyeDistance(const Camera& camera, const World& world, const ViewOptions& options) {
  const SphereOffset s = sphereOffset(camera, world, options);
  const float r = camera.viewRadius * kStandOff;
  // Off to the side of the sphere the eye may come level with its centre.
  const float depth = std::sqrt(std::max(0.0f, r * r - s.x * s.x - s.y * s.y));
  return depth + s.z;
}

void zoomView(Camera& camera, const World& world, const ViewOptions& options, float notches, bool through,
              std::optional<ZoomPoint> toward) {
  if (notches == 0.0f || !camera.framed) return;
  const float radius = camera.viewRadius;
  const float eye = camera.eyeDistance();
  const float factor = std::pow(kZoomPerNotch, notches);
  float next = eye;
  if (options.orthographic) {
    // Nothing can be passed through: the distance only scales the picture.
    next = std::clamp(eye * factor, radius * 1e-4f, std::max(eye, radius * kFarthest));
  } else {
    const float offset = sphereOffset(camera, world, options).z;
    const float nearest = nearestEyeDistance(camera, world, options);
    const float depth = eye - offset;  // to the sphere's centre
    if (through) {
      // On into the model and out of its back, until the last of it is behind.
      next = std::clamp(eye - notches * kThroughStep * radius, offset - radius * 0.95f,
                        std::max(eye, offset + radius * kFarthest));
    } else if (eye < nearest) {
      // Inside, after passing in: a zoom out steps back to the sphere, a zoom in stays.
      next = notches < 0.0f ? std::min(eye - notches * kThroughStep * radius, nearest) : eye;
    } else {
      next = std::clamp(offset + depth * factor, nearest, std::max(eye, offset + radius * kFarthest));
    }
  }
  if (toward && camera.viewWidth > 0 && camera.viewHeight > 0) {
    // The model moves toward the eye by `nearer`; moving it across by as much
    // along the ray under the point keeps that point where it was.
    const float tanY = std::tan(fieldOfView * 3.14159265f / 360.0f);
    const float aspect = static_cast<float>(camera.viewWidth) / static_cast<float>(camera.viewHeight);
    const float u = (2.0f * (static_cast<float>(toward->x) + 0.5f) / static_cast<float>(camera.viewWidth) - 1.0f) * tanY * aspect;
    const float v = (1.0f - 2.0f * (static_cast<float>(toward->y) + 0.5f) / static_cast<float>(camera.viewHeight)) * tanY;
    const float nearer = eye - next;
    camera.panX -= u * nearer;
    camera.panY -= v * nearer;
  }
  camera.zoomOffset = camera.viewDistance - next;
  camera.fitted = false;
}
