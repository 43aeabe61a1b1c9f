#include "render/standard_views.h"

#include <algorithm>
#include <cmath>

#include "render/rotation.h"
#include "render/view_fit.h"

void setStandardView(Camera& camera, StandardView view, UpAxis up) {
  resetRotation(camera);
  // The model turns, not the eye: each view is a turn of the model after its
  // up axis has been stood up along the screen's y.
  if (up == UpAxis::Z) turnModel(camera, -90.0f, 1.0f, 0.0f, 0.0f);
  switch (view) {
    case StandardView::First: turnModel(camera, kFirstViewElevation, 1.0f, 0.0f, 0.0f); break;
    case StandardView::Front: break;
    case StandardView::Back: turnModel(camera, 180.0f, 0.0f, 1.0f, 0.0f); break;
    case StandardView::Right: turnModel(camera, -90.0f, 0.0f, 1.0f, 0.0f); break;
    case StandardView::Left: turnModel(camera, 90.0f, 0.0f, 1.0f, 0.0f); break;
    case StandardView::Top: turnModel(camera, 90.0f, 1.0f, 0.0f, 0.0f); break;
    case StandardView::Bottom: turnModel(camera, -90.0f, 1.0f, 0.0f, 0.0f); break;
    case StandardView::Isometric:
      // Front, right and top alike: a quarter turn halved, then down the cube's diagonal.
      turnModel(camera, -45.0f, 0.0f, 1.0f, 0.0f);
      turnModel(camera, static_cast<float>(std::atan(1.0 / std::sqrt(2.0)) * 180.0 / M_PI), 1.0f, 0.0f, 0.0f);
      break;
  }
}

StandardView firstViewOf(const World& w, UpAxis up) {
  const double dx = static_cast<double>(w.xMax) - w.xMin, dy = static_cast<double>(w.yMax) - w.yMin;
  const double dz = static_cast<double>(w.zMax) - w.zMin;
  const double height = up == UpAxis::Z ? dz : dy, depth = up == UpAxis::Z ? dy : dz;
  const double flat = std::max({dx, dy, dz}) * 1e-6;
  if (!(flat > 0.0)) return StandardView::First;  // a point, or nothing
  if (height <= flat) return StandardView::Top;
  if (depth <= flat) return StandardView::Front;
  if (dx <= flat) return StandardView::Right;
  return StandardView::First;
}

void showFirstView(Camera& camera, const Shown& shown, const ViewOptions& options, UpAxis up) {
  setStandardView(camera, firstViewOf(shown.world, up), up);
  frameWorld(camera, shown.world);
  fitModelToView(shown, options, camera);
}
