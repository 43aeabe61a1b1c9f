#include "formats/text_parts.h"

#include <sched.h>

#include <algorithm>
#include <cstring>
#include <thread>

#include "platform/mapped_file.h"
#include "platform/read_progress.h"

namespace {

constexpr std::size_t kMostParts = 16;
constexpr std::size_t kBlock = std::size_t{2} << 20;  // read, then given back

const char* afterLineFeed(const char* p, const char* end) {
  const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
  return lf != nullptr ? static_cast<const char*>(lf) + 1 : end;
}

}  // namespace

std::size_t partsForThisMachine() {
  std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
  if (cpu_set_t set; sched_getaffinity(0, sizeof set, &set) == 0) {
    cores = static_cast<std::size_t>(std::max(1, CPU_COUNT(&set)));
  }
  return std::min(cores, kMostParts);
}

std::vector<std::string_view> splitAtLines(std::string_view text, std::size_t parts) {
  parts = std::max<std::size_t>(parts, 1);
  std::vector<std::string_view> runs;
  const char* p = text.data();
  const char* const end = p + text.size();
  for (std::size_t k = 1; k <= parts && p < end; ++k) {
    const char* cut = k == parts ? end : text.data() + text.size() * k / parts;
    if (cut < p) cut = p;
    if (cut < end) cut = afterLineFeed(cut, end);
    runs.emplace_back(p, static_cast<std::size_t>(cut - p));
    p = cut;
  }
  return runs;
}

void forEachPart(std::size_t count, PartThreads threads, const std::function<void(std::size_t)>& visit) {
  if (threads == PartThreads::caller) {
    for (std::size_t k = 0; k < count; ++k) visit(k);
    return;
  }
  std::vector<std::thread> workers;
  ReadProgress& progress = readProgress();  // the parts count for the read this thread works for
  for (std::size_t k = 1; k < count; ++k) {
    workers.emplace_back([&visit, &progress, k] {
      const ReadingFor reading(progress);
      visit(k);
    });
  }
  if (count > 0) visit(0);  // this thread takes the first part
  for (std::thread& worker : workers) worker.join();
}

bool forEachBlock(std::string_view run, const std::function<bool(const char*, const char*)>& visit) {
  const char* p = run.data();
  const char* const end = p + run.size();
  while (p < end) {
    if (readCancelled()) return false;
    const char* cut = static_cast<std::size_t>(end - p) > kBlock ? afterLineFeed(p + kBlock, end) : end;
    if (!visit(p, cut)) return false;
    releaseMappedPages(p, cut);
    readProgress().done += static_cast<std::uint64_t>(cut - p);
    p = cut;
  }
  return true;
}
