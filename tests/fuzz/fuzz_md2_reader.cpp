// Bodies after the right magic (a wrong one ends the program on purpose;
// the unit tests cover it).
#include <cstdint>
#include <string>

#include "formats/binary_formats.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = writeFuzzFile("input.md2", "IDP2", data, size);
  if (std::optional<Model> model = readMd2File(path.c_str())) checkModel(*model);
  return 0;
}
