#pragma once
// Where the view stands: the framing derived from the World, the zoom and
// pan, the model's accumulated rotation and the drawing area. The viewer's
// shell and the tool each hold one; drawing only reads it.

constexpr float fieldOfView = 70.0f;  // vertical, degrees

struct World;

struct Camera {
  float worldSize = 6.0f;     // sum of the three extents of the world box (6 when it has none)
  float viewDistance = 0.0f;  // camera distance from the world centre
  float viewRadius = 0.0f;    // radius about the world centre that holds all that is drawn
  float axisLength = 0.0f;    // length of each drawn axis
  float zoomOffset = 0.0f;    // camera displacement along the view axis
  float panX = 0.0f, panY = 0.0f;  // camera displacement across it (in the view plane)
  bool framed = false;        // frameWorld has run
  bool fitted = false;        // the view is as the last fit left it: no turn, zoom or pan since
  float rotationMatrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};  // column-major, as GL keeps it
  // The drawing area in device pixels (on the window: the GL surface between
  // toolbar and status bar). The viewport, the aspect ratio, the background
  // quad and the exported image use it.
  int viewWidth = 400, viewHeight = 400;

  // The eye's distance to the world centre along the view axis at the present zoom.
  float eyeDistance() const { return viewDistance - zoomOffset; }
};

// The view quantities for a World, zoom and pan back to none; the rotation
// and the drawing area stay.
void frameWorld(Camera& camera, const World& world);
