// Bodies after a valid binary header (refused headers end the program on
// purpose; the unit tests cover them).
#include <cstdint>
#include <string>

#include "formats/binary_formats.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string header = std::string("Caligari V00.01BLH") + std::string(14, '\0');
  const std::string path = writeFuzzFile("input.cob", header, data, size);
  if (std::optional<Model> model = readCobFile(path.c_str())) checkModel(*model);
  return 0;
}
