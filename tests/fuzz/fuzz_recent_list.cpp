// The recent-file list on any file content: read, written and read back,
// the same entries each time.
#include <cstdint>

#include "fuzz_support.h"
#include "settings/recent_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  writeFuzzFile("tessera/tsr_recent.ini", "", data, size);
  RecentList list;
  readRecentList(list);
  if (list.count < 0 || list.count > kRecentCapacity) __builtin_trap();
  if (!writeRecentList(list)) __builtin_trap();
  RecentList again;
  readRecentList(again);
  if (again.count != list.count) __builtin_trap();
  for (std::int32_t i = 0; i < list.count; ++i) {
    if (again.files[static_cast<std::size_t>(i)].path != list.files[static_cast<std::size_t>(i)].path) __builtin_trap();
  }
  return 0;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzConfigHome();
  recentListPath();  // creates the configuration folder
  return 0;
}
