#include "render/stand_in_use.h"

#include <memory>
#include <vector>

#include "render/drawn_model.h"

namespace {

// Two slow frames in a row: one may be slow for reasons of its own (a
// shader compiled the first time, the machine busy for a moment).
constexpr int kSlowFramesToCoarsen = 2;

std::size_t styleIndex(DisplayStyle style) { return static_cast<std::size_t>(style); }

}  // namespace

bool needsWeighing(const Shown& shown) {
  const DrawnModel* drawn = drawnModelOf(shown);
  return shown.hasModel() && drawn != nullptr && !drawn->weighed;
}

void weighFullFrame(const Shown& shown, double drawMs, const StandInBudget& budget) {
  DrawnModel* drawn = drawnModelOf(shown);
  if (!shown.hasModel() || drawn == nullptr || drawn->weighed) return;
  drawn->weighed = true;
  std::vector<const ObjectArrays*> fills;
  for (const DrawnObject& object : drawn->objects) fills.push_back(&object.fill);
  const std::size_t target =
      standInTarget(drawnPrimitives(shown.model, fills), modelArrayBytes(shown.model), drawMs, budget);
  if (target == 0) return;
  drawn->maker = std::make_unique<StandInMaker>(shown.model, std::move(fills), shown.drawsTriangles, target);
}

const StandIn* readyStandIn(const Shown& shown, DisplayStyle style) {
  DrawnModel* drawn = drawnModelOf(shown);
  if (drawn == nullptr) return nullptr;
  if (drawn->maker != nullptr && drawn->maker->finished()) {
    drawn->standIns = drawn->maker->take();
    drawn->standInSeconds = drawn->maker->seconds();
    drawn->maker.reset();
  }
  if (drawn->standIns.empty()) return nullptr;
  const std::size_t level = std::min(drawn->levelOfStyle[styleIndex(style)], drawn->standIns.size() - 1);
  return &drawn->standIns[level];
}

void timeStandInFrame(const Shown& shown, DisplayStyle style, double drawMs, const StandInBudget& budget) {
  DrawnModel* drawn = drawnModelOf(shown);
  if (drawn == nullptr || drawn->standIns.empty()) return;
  const std::size_t s = styleIndex(style);
  if (!(drawMs > budget.movingFrameMs)) {
    drawn->slowFramesOfStyle[s] = 0;
    return;
  }
  if (++drawn->slowFramesOfStyle[s] < kSlowFramesToCoarsen) return;
  drawn->slowFramesOfStyle[s] = 0;
  if (drawn->levelOfStyle[s] + 1 < drawn->standIns.size()) ++drawn->levelOfStyle[s];
}

bool standInInMaking(const Shown& shown) {
  const DrawnModel* drawn = drawnModelOf(shown);
  return drawn != nullptr && drawn->maker != nullptr && !drawn->maker->finished();
}
