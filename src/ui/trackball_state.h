#pragma once
// What the trackball remembers between mouse events: the drags under way,
// the last step of a turn and the spin a release started.

#include "render/spin.h"

struct Vector3 {
  float x = 0.0f, y = 0.0f, z = 0.0f;
};

struct TrackballState {
  bool rotateDrag = false;
  bool zoomDrag = false;
  bool panDrag = false;
  bool trackballActive = false;
  Vector3 lastTrackballVector;
  // The drag's last step, when it came and how long it took: the speed a
  // release hands to the spin.
  float lastStepDegrees = 0.0f;
  float lastStepAxis[3] = {0.0f, 0.0f, 0.0f};
  double lastStepSeconds = 0.0, lastMoveAt = 0.0;
  bool spinning = false;
  Spin spin;
  int lastMouseX = 0;
  int lastMouseY = 0;
};
