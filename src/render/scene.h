#pragma once
// One frame of the view: background picture, the model in the chosen style,
// depth cueing, axes, bounding box and centre-of-mass marker.

#include "model/shown.h"
#include "render/camera.h"
#include "settings/view_options.h"

struct FrameReport {
  bool simplified = false;   // the model's stand-in was drawn in its place
  double preparingMs = 0.0;  // time spent making arrays that later frames reuse
};

// Draws a frame of what is shown, as the camera sees it with the options,
// and hands it to the platform's buffer swap. Changes none of the three.
// `moving`: the view is on the move, so the model's stand-in is drawn in
// its place where one is made.
FrameReport drawScene(const Shown& shown, const Camera& camera, const ViewOptions& options, bool moving = false);


// Near and far planes for an eye at `eye` from the centre of a sphere of
// `radius` that holds all that is drawn: all of it in front of the eye lies
// between them, and the far plane is at most 10,000 times the near one.
struct DepthRange {
  double nearPlane, farPlane;
};
DepthRange depthRange(float eye, float radius);
