#include "render/stand_in_maker.h"

#include <chrono>

StandInMaker::StandInMaker(const Model& model, std::vector<const ObjectArrays*> fills, bool trianglesOnly,
                           std::size_t target) {
  thread_ = std::thread([this, &model, fills = std::move(fills), trianglesOnly, target] {
    const auto start = std::chrono::steady_clock::now();
    std::vector<StandIn> made = makeStandInLevels(model, fills, trianglesOnly, target, &cancelled_);
    seconds_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result_ = std::move(made);
    finished_.store(true, std::memory_order_release);
  });
}

StandInMaker::~StandInMaker() {
  cancelled_.store(true);
  if (thread_.joinable()) thread_.join();
}

std::vector<StandIn> StandInMaker::take() {
  if (!finished()) return {};
  if (thread_.joinable()) thread_.join();
  return std::move(result_);
}
