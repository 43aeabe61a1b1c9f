#pragma once
// Makes a model's stand-in on a thread of its own, so that the window goes
// on drawing (the model itself) meanwhile. Whoever owns the maker keeps the
// model and its arrays alive until the maker is gone: its end waits for the
// thread, which stops early once told to.

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "render/stand_in.h"

class StandInMaker {
 public:
  StandInMaker(const Model& model, std::vector<const ObjectArrays*> fills, bool trianglesOnly, std::size_t target);
  ~StandInMaker();
  StandInMaker(const StandInMaker&) = delete;
  StandInMaker& operator=(const StandInMaker&) = delete;

  bool finished() const { return finished_.load(std::memory_order_acquire); }
  // The stand-in's levels once finished (and only once); none before.
  std::vector<StandIn> take();
  // How long the making took, once finished.
  double seconds() const { return seconds_; }

 private:
  std::atomic<bool> cancelled_{false};
  std::atomic<bool> finished_{false};
  std::vector<StandIn> result_;
  double seconds_ = 0.0;
  std::thread thread_;
};
