#include "render/spin.h"

namespace {

// Pointer events come at most a few hundred a second; a step taken in less
// is two events of one movement, not a faster drag.
constexpr double kShortestStep = 1.0 / 125.0;
// A pointer at rest this long before the release has stopped the drag.
constexpr double kLongestPause = 0.1;

}  // namespace

Spin spinAtRelease(float stepDegrees, const float axis[3], double stepSeconds, double sinceStepSeconds,
                   double nowSeconds) {
  Spin spin;
  if (!(stepDegrees > 0.0f) || sinceStepSeconds > kLongestPause) return spin;
  spin.on = true;
  spin.degreesPerSecond = static_cast<float>(stepDegrees / (stepSeconds > kShortestStep ? stepSeconds : kShortestStep));
  for (int k = 0; k < 3; ++k) spin.axis[k] = axis[k];
  spin.lastSeconds = nowSeconds;
  return spin;
}

float spinTurn(Spin& spin, double nowSeconds) {
  if (!spin.on) return 0.0f;
  const double elapsed = nowSeconds > spin.lastSeconds ? nowSeconds - spin.lastSeconds : 0.0;
  spin.lastSeconds = nowSeconds;
  return static_cast<float>(spin.degreesPerSecond * elapsed);
}
