#include "ui/shell.h"
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
#include "render/view_fit.h"
#include "ui/view_commands.h"


namespace {

float length(const Vector3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

// Zooming in slows the rotation down: from 1 toward 7 as the model comes up
// to the eye. Before any world exists there is nothing to measure by.
float speedDivisor() {
  if (!shell.viewOptions.zoomDependentRotation || shell.camera.zoomOffset <= 0.0f || !shell.camera.framed) return 1.0f;
  return (shell.camera.zoomOffset / shell.camera.viewDistance) * 3.0f * 2.0f + 1.0f;
}

constexpr float kPixelsPerNotch = 10.0f;
constexpr int kEighthsPerNotch = 120;

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
  shell.trackball.trackballActive = true;
  // The trackball spans the drawing area, centred on it.
  shell.trackball.lastTrackballVector = mapToTrackball(px, py, shell.camera.viewWidth, shell.camera.viewHeight);
  shell.trackball.lastStepDegrees = 0.0f;
  shell.trackball.lastMoveAt = secondsNow();
}

void endRotation() {
  shell.trackball.trackballActive = false;
  shell.trackball.spin = Spin{};
  if (shell.trackball.spinning) {
    const double now = secondsNow();
    shell.trackball.spin = spinAtRelease(shell.trackball.lastStepDegrees, shell.trackball.lastStepAxis, shell.trackball.lastStepSeconds,
                                   now - shell.trackball.lastMoveAt, now);
    shell.trackball.spinning = shell.trackball.spin.on;
  }
  if (shell.trackball.spinning) platformRequestRedraw();
}

int onLeftButtonDown(int px, int py) {
  // A press takes hold of a spinning model.
  shell.trackball.spinning = false;
  shell.trackball.spin = Spin{};
  shell.trackball.rotateDrag = true;
  beginRotation(px, py);
  // A drag begins: its first frame is already one of the moving ones.
  noteViewMoved();
  platformRequestRedraw();
  shell.trackball.lastMouseX = px;
  shell.trackball.lastMouseY = py;
  return 0;
}

int onLeftButtonUp(int px, int py) {
  shell.trackball.rotateDrag = false;
  shell.trackball.spinning =
      shell.viewOptions.inertialRotation && (px != shell.trackball.lastMouseX || py != shell.trackball.lastMouseY);
  endRotation();
  shell.trackball.lastMouseX = px;
  shell.trackball.lastMouseY = py;
  return 0;
}

int onRightButtonDown(int px, int py) {
  shell.trackball.zoomDrag = true;
  noteViewMoved();
  platformRequestRedraw();
  shell.trackball.lastMouseX = px;
  shell.trackball.lastMouseY = py;
  return 0;
}

int onRightButtonUp(int px, int py) {
  shell.trackball.zoomDrag = false;
  platformRequestRedraw();
  shell.trackball.lastMouseX = px;
  shell.trackball.lastMouseY = py;
  return 0;
}

int onMouseMove(int px, int py, bool shift) {
  const float divisor = speedDivisor();
  if (shell.trackball.rotateDrag) {
    if (!shell.trackball.trackballActive) return 0;
    const Vector3 v = mapToTrackball(px, py, shell.camera.viewWidth, shell.camera.viewHeight);
    const Vector3& last = shell.trackball.lastTrackballVector;
    float degrees = 90.0f * length({v.x - last.x, v.y - last.y, v.z - last.z});
    if (shell.viewOptions.zoomDependentRotation && shell.camera.zoomOffset > 0.0f) degrees /= divisor;
    float* axis = shell.trackball.lastStepAxis;
    axis[0] = last.y * v.z - last.z * v.y;
    axis[1] = last.z * v.x - last.x * v.z;
    axis[2] = last.x * v.y - last.y * v.x;
    shell.trackball.lastStepDegrees = degrees;
    const double now = secondsNow();
    shell.trackball.lastStepSeconds = now - shell.trackball.lastMoveAt;
    shell.trackball.lastMoveAt = now;
    shell.trackball.lastTrackballVector = v;
    turnModel(shell.camera, degrees, axis[0], axis[1], axis[2]);
    noteViewMoved();
    platformRequestRedraw();
  } else if (shell.trackball.panDrag) {
    // The model follows the pointer in the plane through the world centre.
    const float unitsPerPixel = 2.0f * shell.camera.eyeDistance() * std::tan(fieldOfView * 3.14159265f / 360.0f) /
                                static_cast<float>(shell.camera.viewHeight > 0 ? shell.camera.viewHeight : 1);
    shell.camera.fitted = false;
    shell.camera.panX += static_cast<float>(px - shell.trackball.lastMouseX) * unitsPerPixel;
    shell.camera.panY -= static_cast<float>(py - shell.trackball.lastMouseY) * unitsPerPixel;
    shell.trackball.lastMouseX = px;
    shell.trackball.lastMouseY = py;
    noteViewMoved();
    platformRequestRedraw();
  } else if (shell.trackball.zoomDrag) {
    const int dy = shell.trackball.lastMouseY - py;
    shell.trackball.lastMouseX = px;
    shell.trackball.lastMouseY = py;
    zoomView(shell.camera, shell.shown.world, shell.viewOptions, static_cast<float>(dy) / kPixelsPerNotch, shift);
    noteViewMoved();
    platformRequestRedraw();
  }
  return 0;
}

int onSpin() {
  advancePlayback();
  if (!shell.trackball.spinning) return 0;
  const float* axis = shell.trackball.spin.axis;
  turnModel(shell.camera, spinTurn(shell.trackball.spin, secondsNow()), axis[0], axis[1], axis[2]);
  noteViewMoved();
  platformRequestRedraw();
  return 0;
}

int onMiddleButtonDown(int px, int py) {
  shell.trackball.panDrag = true;
  shell.trackball.lastMouseX = px;
  shell.trackball.lastMouseY = py;
  return 0;
}

int onMiddleButtonUp() {
  shell.trackball.panDrag = false;
  return 0;
}

int onWheel(int eighthsOfDegrees, bool through, std::optional<ZoomPoint> toward) {
  const float notches = static_cast<float>(eighthsOfDegrees) / kEighthsPerNotch;
  zoomView(shell.camera, shell.shown.world, shell.viewOptions, notches, through, toward);
  noteViewMoved();
  platformRequestRedraw();
  return 0;
}

int onViewKey(ViewKey key) {
  switch (key) {
    case ViewKey::Left: turnModel(shell.camera, -15.0f, 0.0f, 1.0f, 0.0f); break;
    case ViewKey::Right: turnModel(shell.camera, 15.0f, 0.0f, 1.0f, 0.0f); break;
    case ViewKey::Up: turnModel(shell.camera, -15.0f, 1.0f, 0.0f, 0.0f); break;
    case ViewKey::Down: turnModel(shell.camera, 15.0f, 1.0f, 0.0f, 0.0f); break;
    case ViewKey::ZoomIn: return onWheel(kEighthsPerNotch);
    case ViewKey::ZoomOut: return onWheel(-kEighthsPerNotch);
    case ViewKey::Escape:
      if (windowIsFullScreen()) windowToggleFullScreen();
      break;
    default: return 0;
  }
  if (key != ViewKey::Escape) noteViewMoved();
  platformRequestRedraw();
  return 0;
}

void resetView() {
  shell.trackball.spinning = false;
  shell.trackball.spin = Spin{};
  showFirstView(shell.camera, shell.shown, shell.viewOptions, shownUpAxis());
  platformRequestRedraw();
}

void showStandardView(StandardView view) {
  shell.trackball.spinning = false;
  shell.trackball.spin = Spin{};
  const bool wasFitted = shell.camera.fitted;
  setStandardView(shell.camera, view, shownUpAxis());
  if (wasFitted) fitModelToView(shell.shown, shell.viewOptions, shell.camera);
  platformRequestRedraw();
}

