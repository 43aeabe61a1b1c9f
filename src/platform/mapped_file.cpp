#include "platform/mapped_file.h"

#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

namespace {

// The mappings alive now, for the SIGBUS handler: address ranges in slots
// claimed and freed without locks, since the handler may run at any moment.
constexpr int kSlots = 64;
struct Slot {
  std::atomic<std::uintptr_t> begin{0};
  std::atomic<std::uintptr_t> end{0};
  std::atomic<bool> hitEnd{false};
  std::atomic<bool> taken{false};
};
struct BusErrorState {
  Slot slots[kSlots];
  struct sigaction previousAction;  // what SIGBUS did before ours
};
BusErrorState busErrors;

std::uintptr_t pageSize() {
  static const auto size = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  return size;
}

void onBusError(int signal, siginfo_t* info, void* context) {
  const auto at = reinterpret_cast<std::uintptr_t>(info->si_addr);
  for (Slot& slot : busErrors.slots) {
    if (at < slot.begin.load() || at >= slot.end.load()) continue;
    // A page past the end of a shortened file: put zeros in its place and let
    // the read go on; the reader is told afterwards.
    const std::uintptr_t page = at / pageSize() * pageSize();
    if (mmap(reinterpret_cast<void*>(page), pageSize(), PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) !=
        MAP_FAILED) {
      slot.hitEnd.store(true);
      return;
    }
  }
  // Not one of ours: what would have happened without this handler.
  if ((busErrors.previousAction.sa_flags & SA_SIGINFO) != 0 && busErrors.previousAction.sa_sigaction != nullptr) {
    busErrors.previousAction.sa_sigaction(signal, info, context);
    return;
  }
  if (busErrors.previousAction.sa_handler != SIG_DFL && busErrors.previousAction.sa_handler != SIG_IGN) {
    busErrors.previousAction.sa_handler(signal);
    return;
  }
  ::signal(SIGBUS, SIG_DFL);  // the fault repeats on return and ends the process as before
}

void installHandler() {
  static std::once_flag installed;
  std::call_once(installed, [] {
    struct sigaction action {};
    action.sa_sigaction = onBusError;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, &action, &busErrors.previousAction);
  });
}

int claimSlot() {
  for (int k = 0; k < kSlots; ++k) {
    bool free = false;
    if (busErrors.slots[k].taken.compare_exchange_strong(free, true)) return k;
  }
  return -1;
}

}  // namespace

std::unique_ptr<MappedFile> MappedFile::map(int descriptor, std::uint64_t size) {
  if (size == 0 || size > SIZE_MAX / 2) return nullptr;
  installHandler();
  const int slot = claimSlot();
  if (slot < 0) return nullptr;  // without a guard, no mapping
  void* data = mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_PRIVATE, descriptor, 0);
  if (data == MAP_FAILED) {
    busErrors.slots[slot].taken.store(false);
    return nullptr;
  }
  madvise(data, static_cast<std::size_t>(size), MADV_SEQUENTIAL);
  // Readers give the pages back behind them a few megabytes at a time; where
  // the system maps a file's pages two megabytes at once, that kept up to
  // three times as much of the file resident.
  madvise(data, static_cast<std::size_t>(size), MADV_NOHUGEPAGE);
  const auto begin = reinterpret_cast<std::uintptr_t>(data);
  busErrors.slots[slot].hitEnd.store(false);
  busErrors.slots[slot].end.store(begin + size);
  busErrors.slots[slot].begin.store(begin);
  return std::unique_ptr<MappedFile>(
      new MappedFile(descriptor, static_cast<const char*>(data), static_cast<std::size_t>(size), slot));
}

MappedFile::~MappedFile() {
  busErrors.slots[slot_].begin.store(0);
  busErrors.slots[slot_].end.store(0);
  munmap(const_cast<char*>(data_), size_);
  busErrors.slots[slot_].taken.store(false);
}

bool MappedFile::shrank() const {
  if (busErrors.slots[slot_].hitEnd.load()) return true;
  struct stat info {};
  return fstat(descriptor_, &info) != 0 || static_cast<std::uint64_t>(info.st_size) < size_;
}

void releaseMappedPages(const char* from, const char* to) {
  // Only pages of a live mapping: given back, anonymous memory would be lost.
  const auto begin = reinterpret_cast<std::uintptr_t>(from), end = reinterpret_cast<std::uintptr_t>(to);
  for (const Slot& slot : busErrors.slots) {
    if (begin < slot.begin.load() || end > slot.end.load()) continue;
    const std::uintptr_t first = (begin + pageSize() - 1) / pageSize() * pageSize();
    const std::uintptr_t last = end / pageSize() * pageSize();
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
    return;
  }
}
