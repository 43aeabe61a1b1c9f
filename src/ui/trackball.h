#pragma once
// Turning the model on a virtual trackball with the left button, zooming
// with the right, and spinning on after a release.

#include <optional>

#include "platform/window_messages.h"
#include "render/standard_views.h"
#include "render/view_zoom.h"
#include "ui/trackball_state.h"

// The unit vector under a point of a width x height area.
Vector3 mapToTrackball(int px, int py, int width, int height);
void beginRotation(int px, int py);
void endRotation();

// The mouse branches of mainWindowProc; positions in device pixels.
int onLeftButtonDown(int px, int py);
int onLeftButtonUp(int px, int py);
int onRightButtonDown(int px, int py);
int onRightButtonUp(int px, int py);
// A right-button drag zooms as the wheel does, 10 pixels a notch; with
// Shift it passes into the model.
int onMouseMove(int px, int py, bool shift = false);
// While spinning: the turn for the time since the last one, and a frame.
int onSpin();
// The middle button pans the model across the view; the wheel zooms toward
// the point under the pointer, nearer when rolled forward, and with Shift
// passes into the model.
int onMiddleButtonDown(int px, int py);
int onMiddleButtonUp();
int onWheel(int eighthsOfDegrees, bool through = false, std::optional<ZoomPoint> toward = std::nullopt);
// Arrow keys turn the model 15 degrees about the view's axes, + and - zoom a
// wheel notch, Escape leaves full screen.
int onViewKey(ViewKey key);
// Reset View (Home): the model's first view, fitted.
void resetView();
// A named view of the model, keeping the zoom and pan unless the view was
// fitted, when the new one is fitted too.
void showStandardView(StandardView view);
