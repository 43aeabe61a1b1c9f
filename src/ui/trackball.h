#pragma once
// Turning the model on a virtual trackball with the left button, zooming
// with the right, and spinning on after a release.

#include "platform/window_messages.h"
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
int onMouseMove(int px, int py);
// While spinning: the turn for the time since the last one, and a frame.
int onSpin();
// The middle button pans the model across the view; the wheel zooms, a
// notch as far as 10 pixels of right-button drag, nearer when rolled forward.
int onMiddleButtonDown(int px, int py);
int onMiddleButtonUp();
int onWheel(int eighthsOfDegrees);
// Arrow keys turn the model 15 degrees about the view's axes, + and - zoom a
// wheel notch, Escape leaves full screen.
int onViewKey(ViewKey key);
// Reset View: no turn, no zoom, no pan.
void resetView();
