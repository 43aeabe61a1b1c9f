#include "model/shown.h"

#include <utility>

void showOn(Shown& shown, Model model, std::int32_t format, bool drawsTriangles, std::string path) {
  // What was drawn from the old model goes first: work on it may still read it.
  shown.drawn.reset();
  shown.model = std::move(model);
  shown.world = computeWorld(shown.model);
  shown.format = format;
  shown.drawsTriangles = drawsTriangles;
  shown.path = std::move(path);
}

void clearShown(Shown& shown) {
  shown.drawn.reset();
  shown.model = Model();
  shown.world = World{};
  shown.format = -1;
  shown.drawsTriangles = false;
  std::string().swap(shown.path);
}
