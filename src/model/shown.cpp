#include "model/shown.h"

#include <utility>

void showOn(Shown& shown, Model model, std::int32_t format, bool drawsTriangles, std::string path) {
  shown.model = std::move(model);
  shown.world = computeWorld(shown.model);
  shown.format = format;
  shown.drawsTriangles = drawsTriangles;
  shown.path = std::move(path);
  shown.drawn.reset();
}

void clearShown(Shown& shown) {
  shown.model = Model();
  shown.world = World{};
  shown.format = -1;
  shown.drawsTriangles = false;
  std::string().swap(shown.path);
  shown.drawn.reset();
}
