#pragma once
// The fixed GL state and the drawing area's size.

#include "render/camera.h"
#include "settings/view_options.h"

// Sets the fixed state and the clear colour; needs a current GL context.
void initGL(const ViewOptions& options);
// Records the drawing area's size in the camera and sets the viewport.
void resizeView(Camera& camera, int width, int height);
// Each channel differs from the background's by 0.5: the bounding box's colour.
Color contrastColor(const Color& background);
// After a change of backgroundColor: the clear colour.
void applyBackgroundColor(const ViewOptions& options);
