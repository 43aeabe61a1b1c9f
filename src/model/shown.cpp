#include "model/shown.h"

#include <atomic>
#include <utility>

namespace {

// Counts the models put on display in this process, so that a new model is
// never taken for the one before it, wherever it stands in memory.
std::atomic<std::uint64_t> modelsShown{0};

}  // namespace

void showOn(Shown& shown, Model model, std::int32_t format, bool drawsTriangles, std::string path) {
  shown.model = std::move(model);
  shown.world = computeWorld(shown.model);
  shown.format = format;
  shown.drawsTriangles = drawsTriangles;
  shown.path = std::move(path);
  shown.generation = ++modelsShown;
}

void clearShown(Shown& shown) {
  Model().swap(shown.model);
  shown.world = World{};
  shown.format = -1;
  shown.drawsTriangles = false;
  std::string().swap(shown.path);
  shown.generation = ++modelsShown;
}
