#include "ui/trackball.h"

#include <chrono>
#include <cmath>

#include "model/world.h"
#include "platform/platform.h"
#include "platform/window_messages.h"
#include "platform/window_system.h"
#include "render/rotation.h"
#include "render/view_setup.h"
#include "settings/view_options.h"

TrackballState trackball;

namespace {

float length(const Vector3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

// Zooming in slows the rotation down: from 1 toward 7 as the model comes up
// to the eye. Before any world exists there is nothing to measure by.
float speedDivisor() {
  if (!viewOptions.zoomDependentRotation || zoomOffset <= 0.0f || !worldBuilt) return 1.0f;
  return (zoomOffset / viewDistance) * 3.0f * 2.0f + 1.0f;
}

double secondsNow() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

Vector3 mapToTrackball(int px, int py, int width, int height) {
  const float x = (2.0f * static_cast<float>(px) - static_cast<float>(width)) / static_cast<float>(width);
  const float y = (static_cast<float>(height) - 2.0f * static_cast<float>(py)) / static_cast<float>(height);
  float d = std::sqrt(x * x + y * y);
  if (d >= 1.0f) d = 1.0f;
  const float z = std::cos(d * 1.570796325f);
  const float norm = std::sqrt(x * x + y * y + z * z);
  return {x / norm, y / norm, z / norm};
}

void beginRotation(int px, int py) {
  trackball.trackballActive = true;
  // The trackball spans the drawing area, centred on it.
  trackball.lastTrackballVector = mapToTrackball(px, py, viewWidth, viewHeight);
  trackball.lastStepDegrees = 0.0f;
  trackball.lastMoveAt = secondsNow();
}

void endRotation() {
  trackball.trackballActive = false;
  trackball.spin = Spin{};
  if (trackball.spinning) {
    const double now = secondsNow();
    trackball.spin = spinAtRelease(trackball.lastStepDegrees, trackball.lastStepAxis, trackball.lastStepSeconds,
                                   now - trackball.lastMoveAt, now);
    trackball.spinning = trackball.spin.on;
  }
  if (trackball.spinning) platformRequestRedraw();
}

int onLeftButtonDown(int px, int py) {
  // A press takes hold of a spinning model.
  trackball.spinning = false;
  trackball.spin = Spin{};
  trackball.rotateDrag = true;
  beginRotation(px, py);
  platformRequestRedraw();
  trackball.lastMouseX = px;
  trackball.lastMouseY = py;
  return 0;
}

int onLeftButtonUp(int px, int py) {
  trackball.rotateDrag = false;
  trackball.spinning =
      viewOptions.inertialRotation && (px != trackball.lastMouseX || py != trackball.lastMouseY);
  endRotation();
  trackball.lastMouseX = px;
  trackball.lastMouseY = py;
  return 0;
}

int onRightButtonDown(int px, int py) {
  trackball.zoomDrag = true;
  platformRequestRedraw();
  trackball.lastMouseX = px;
  trackball.lastMouseY = py;
  return 0;
}

int onRightButtonUp(int px, int py) {
  trackball.zoomDrag = false;
  platformRequestRedraw();
  trackball.lastMouseX = px;
  trackball.lastMouseY = py;
  return 0;
}

int onMouseMove(int px, int py) {
  const float divisor = speedDivisor();
  if (trackball.rotateDrag) {
    if (!trackball.trackballActive) return 0;
    const Vector3 v = mapToTrackball(px, py, viewWidth, viewHeight);
    const Vector3& last = trackball.lastTrackballVector;
    float degrees = 90.0f * length({v.x - last.x, v.y - last.y, v.z - last.z});
    if (viewOptions.zoomDependentRotation && zoomOffset > 0.0f) degrees /= divisor;
    float* axis = trackball.lastStepAxis;
    axis[0] = last.y * v.z - last.z * v.y;
    axis[1] = last.z * v.x - last.x * v.z;
    axis[2] = last.x * v.y - last.y * v.x;
    trackball.lastStepDegrees = degrees;
    const double now = secondsNow();
    trackball.lastStepSeconds = now - trackball.lastMoveAt;
    trackball.lastMoveAt = now;
    trackball.lastTrackballVector = v;
    turnModel(degrees, axis[0], axis[1], axis[2]);
    platformRequestRedraw();
  } else if (trackball.panDrag) {
    // The model follows the pointer in the plane through the world centre.
    const float unitsPerPixel = 2.0f * eyeDistance() * std::tan(fieldOfView * 3.14159265f / 360.0f) /
                                static_cast<float>(viewHeight > 0 ? viewHeight : 1);
    panX += static_cast<float>(px - trackball.lastMouseX) * unitsPerPixel;
    panY -= static_cast<float>(py - trackball.lastMouseY) * unitsPerPixel;
    trackball.lastMouseX = px;
    trackball.lastMouseY = py;
    platformRequestRedraw();
  } else if (trackball.zoomDrag) {
    const int dy = trackball.lastMouseY - py;
    trackball.lastMouseX = px;
    trackball.lastMouseY = py;
    zoomOffset = static_cast<float>(dy) / zoomStep + zoomOffset;
    platformRequestRedraw();
  }
  return 0;
}

int onSpin() {
  if (!trackball.spinning) return 0;
  const float* axis = trackball.spin.axis;
  turnModel(spinTurn(trackball.spin, secondsNow()), axis[0], axis[1], axis[2]);
  platformRequestRedraw();
  return 0;
}

int onMiddleButtonDown(int px, int py) {
  trackball.panDrag = true;
  trackball.lastMouseX = px;
  trackball.lastMouseY = py;
  return 0;
}

int onMiddleButtonUp() {
  trackball.panDrag = false;
  return 0;
}

namespace {
constexpr float kPixelsPerNotch = 10.0f;
constexpr int kEighthsPerNotch = 120;
}  // namespace

int onWheel(int eighthsOfDegrees) {
  const float notches = static_cast<float>(eighthsOfDegrees) / kEighthsPerNotch;
  zoomOffset += notches * kPixelsPerNotch / zoomStep;
  platformRequestRedraw();
  return 0;
}

int onViewKey(int key) {
  switch (key) {
    case keyLeft: turnModel(-15.0f, 0.0f, 1.0f, 0.0f); break;
    case keyRight: turnModel(15.0f, 0.0f, 1.0f, 0.0f); break;
    case keyUp: turnModel(-15.0f, 1.0f, 0.0f, 0.0f); break;
    case keyDown: turnModel(15.0f, 1.0f, 0.0f, 0.0f); break;
    case keyZoomIn: return onWheel(kEighthsPerNotch);
    case keyZoomOut: return onWheel(-kEighthsPerNotch);
    case keyEscape:
      if (windowIsFullScreen()) windowToggleFullScreen();
      break;
    default: return 0;
  }
  platformRequestRedraw();
  return 0;
}

void resetView() {
  resetRotation();
  trackball.spinning = false;
  trackball.spin = Spin{};
  zoomOffset = 0.0f;
  panX = panY = 0.0f;
  platformRequestRedraw();
}

void resetTrackball() { trackball = TrackballState{}; }
