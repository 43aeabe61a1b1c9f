#pragma once
// How far the model file being read has come, in bytes over all its passes
// and a share for the finish, and whether the reader is asked to stop:
// written by the reader's threads, read by the window while a big model
// loads.

#include <atomic>
#include <cstdint>

struct ReadProgress {
  std::atomic<std::uint64_t> done{0};
  std::atomic<std::uint64_t> toDo{0};  // of the passes; 0 while unknown
  // The checks and sums after the passes (finishModel) count for a ninth of
  // the passes' bytes, held back from the start so that the percentage
  // never goes back; set when they begin.
  std::atomic<std::uint64_t> finishing{0};
  // Set by the window when the read's result is no longer wanted; readers
  // look at it where they count progress and stop as if the file ended.
  std::atomic<bool> cancelled{false};

  static std::uint64_t finishShare(std::uint64_t passes) { return passes / 9; }
  // The passes and the finish: what `done` comes to at the end.
  std::uint64_t all() const {
    const std::uint64_t passes = toDo.load(), finish = finishing.load();
    return passes + (finish != 0 ? finish : finishShare(passes));
  }
  // 0 to 99 while reading; -1 while the size is unknown.
  int percent() const {
    const std::uint64_t whole = all(), part = done.load();
    if (whole == 0) return -1;
    return part >= whole ? 99 : static_cast<int>(part * 100 / whole);
  }
};

// The progress of the read this thread works for: the one a ReadingFor put
// in place here, else one of the thread's own that nobody watches.
inline thread_local ReadProgress* readProgressOfThisThread = nullptr;
inline ReadProgress& readProgress() {
  thread_local ReadProgress unwatched;
  return readProgressOfThisThread != nullptr ? *readProgressOfThisThread : unwatched;
}
inline bool readCancelled() { return readProgress().cancelled.load(std::memory_order_relaxed); }

// While it lives, this thread reads for `progress` (which must outlive it):
// the read's own thread, and each thread a reader starts for its parts.
class ReadingFor {
 public:
  explicit ReadingFor(ReadProgress& progress) : before_(readProgressOfThisThread) { readProgressOfThisThread = &progress; }
  ~ReadingFor() { readProgressOfThisThread = before_; }
  ReadingFor(const ReadingFor&) = delete;
  ReadingFor& operator=(const ReadingFor&) = delete;

 private:
  ReadProgress* before_;
};
