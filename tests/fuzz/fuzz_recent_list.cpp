// The recent-file list on any file content: read, written and read back,
// the same entries each time.
#include <cstdint>

#include "fuzz_support.h"
#include "settings/recent_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  writeFuzzFile("tessera/tsr_recent.ini", "", data, size);
  resetRecentList();
  readRecentList();
  if (recentCount < 0 || recentCount > kRecentCapacity) __builtin_trap();
  const auto first = recentFiles;
  const std::int32_t count = recentCount;
  if (!writeRecentList()) __builtin_trap();
  resetRecentList();
  readRecentList();
  if (recentCount != count) __builtin_trap();
  for (std::int32_t i = 0; i < count; ++i) {
    if (recentFiles[static_cast<std::size_t>(i)].path != first[static_cast<std::size_t>(i)].path) __builtin_trap();
  }
  return 0;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzConfigHome();
  recentListPath();  // creates the configuration folder
  return 0;
}
