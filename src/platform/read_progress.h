#pragma once
// How far the model file being read has come, in bytes over all its passes:
// written by the reader's threads, read by the window while a big model loads.

#include <atomic>
#include <cstdint>

struct ReadProgress {
  std::atomic<std::uint64_t> done{0};
  std::atomic<std::uint64_t> toDo{0};  // 0 while unknown

  void reset() {
    done = 0;
    toDo = 0;
  }
  // 0 to 99 while reading; -1 while the size is unknown.
  int percent() const {
    const std::uint64_t all = toDo.load(), part = done.load();
    if (all == 0) return -1;
    return part >= all ? 99 : static_cast<int>(part * 100 / all);
  }
};

inline ReadProgress readProgress;
