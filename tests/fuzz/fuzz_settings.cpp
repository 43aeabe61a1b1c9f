// The settings file after a valid header: read, written, read back and
// written again; the two written files are the same.
#include <cstdint>

#include "fuzz_support.h"
#include "settings/settings_file.h"
#include "settings/view_options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  writeFuzzFile("tessera/Tessera.ini", "1.1_BETA Tessera\n", data, size);
  ViewOptions options;
  WindowGeometry geometry;
  readSettings("Tessera.ini", options, geometry);
  if (!writeSettings("Tessera.ini", options, geometry)) __builtin_trap();
  const std::string once = readTextFile(settingsPath("Tessera.ini"));
  readSettings("Tessera.ini", options, geometry);
  if (!writeSettings("Tessera.ini", options, geometry) || readTextFile(settingsPath("Tessera.ini")) != once) {
    __builtin_trap();
  }
  return 0;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzConfigHome();
  settingsPath("Tessera.ini");  // creates the configuration folder
  return 0;
}
