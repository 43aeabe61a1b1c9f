// The recent-file list reader on any file content.
#include <cstdint>

#include "fuzz_support.h"
#include "settings/recent_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzConfigHome();
  writeFuzzFile("tessera/tsr_recent.ini", "", data, size);
  resetRecentList();
  readRecentList();
  if (recentCount < 0 || recentCount > kRecentCapacity) __builtin_trap();
  return 0;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzConfigHome();
  recentListPath();  // creates the configuration folder
  return 0;
}
