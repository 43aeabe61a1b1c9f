#pragma once
// Fit: the pan and zoom that make the whole model fill the drawing area at
// its current orientation.

#include "model/shown.h"
#include "render/camera.h"
#include "settings/view_options.h"

// Sets the camera's panX, panY and zoomOffset so that every vertex of the
// model (and the box's corners and the axes' ends, where they are shown),
// turned as it is drawn now, lies inside `fill` of the drawing area's width
// and height, centred. Nothing changes without a model or a
// drawing area.
void fitModelToView(const Shown& shown, const ViewOptions& options, Camera& camera, float fill = 0.9f);
