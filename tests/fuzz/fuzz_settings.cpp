// The settings reader on any values after a valid header.
#include <cstdint>

#include "fuzz_support.h"
#include "settings/settings_file.h"
#include "settings/view_options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzConfigHome();
  writeFuzzFile("tessera/Tessera.ini", "1.1_BETA Tessera\n", data, size);
  resetViewOptions();
  readSettings("Tessera.ini");
  return 0;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzConfigHome();
  settingsPath("Tessera.ini");  // creates the configuration folder
  return 0;
}
