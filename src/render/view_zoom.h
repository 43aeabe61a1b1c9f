#pragma once
// Zooming: the eye comes nearer by a fixed fraction of its distance to the
// model at each step, so a step looks alike at any distance, and stops
// short of the model's bounding sphere; through the model only when asked.

#include <optional>

#include "model/world.h"
#include "render/camera.h"
#include "settings/view_options.h"

// The fraction of the distance one wheel notch (ten pixels of drag) leaves.
constexpr float kZoomPerNotch = 0.9f;

struct ZoomPoint {
  int x, y;  // device pixels in the drawing area, y down
};

// Zooms by `notches` (positive: nearer). `through` moves by a fixed step
// that passes into and through the model instead of stopping at it. The
// point of the picture under `toward` stays under it.
void zoomView(Camera& camera, const World& world, const ViewOptions& options, float notches, bool through,
              std::optional<ZoomPoint> toward = std::nullopt);

// The nearest the eye may come to the world centre along the view axis
// without a `through` zoom.
float nearestEyeDistance(const Camera& camera, const World& world, const ViewOptions& options);
