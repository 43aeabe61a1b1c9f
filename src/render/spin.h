#pragma once
// A model spinning on after a drag is released: a steady speed about an
// axis, turned by the time that has passed, so that neither the frame rate
// nor an extra repaint changes how fast it goes.

struct Spin {
  bool on = false;
  float degreesPerSecond = 0.0f;
  float axis[3] = {0.0f, 0.0f, 0.0f};
  double lastSeconds = 0.0;  // when it was last turned
};

// The drag's speed at its release: its last step of `stepDegrees` about
// `axis`, which took `stepSeconds` and ended `sinceStepSeconds` before the
// release. A pointer held still before the release has no speed: no spin.
Spin spinAtRelease(float stepDegrees, const float axis[3], double stepSeconds, double sinceStepSeconds,
                   double nowSeconds);

// The degrees to turn for the time since the spin was last turned; that
// time is then remembered. 0 when the spin is off.
float spinTurn(Spin& spin, double nowSeconds);
