#pragma once
// The fixed GL state, the drawing area's size and the colours derived from
// the view options.

#include <GL/glu.h>

#include "settings/view_options.h"

// The drawing area in device pixels (on the window: the GL surface between
// toolbar and status bar). The viewport, the aspect ratio, the background
// quad and the exported image use it; the window's outer size is kept apart
// in windowGeometry for the settings file.
extern int viewWidth;
extern int viewHeight;

extern GLUquadric* sphereQuadric;
constexpr float fieldOfView = 70.0f;  // vertical, degrees
extern Color contrastColor;            // the bounding box's colour

// Sets the fixed state; needs a current GL context.
void initGL();
// Records the drawing area's size and sets the viewport.
void resizeView(int width, int height);
// Each channel of contrastColor differs from the background's by 0.5.
void updateContrastColor();
// After a change of backgroundColor: the clear colour and the contrast colour.
void applyBackgroundColor();

void resetViewSetup();
