// The OFF reader on any body after a valid header word (a wrong header ends
// the program on purpose; the unit tests cover it).
#include <cstdint>

#include "formats/off_format.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = writeFuzzFile("input.off", "OFF\n", data, size);
  if (std::optional<Model> model = readOffFile(path.c_str())) checkModel(*model);
  return 0;
}
