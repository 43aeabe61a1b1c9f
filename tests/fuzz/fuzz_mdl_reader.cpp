// Bodies after the right magic (a wrong one ends the program on purpose;
// the unit tests cover it).
#include <cstdint>
#include <string>

#include "formats/binary_formats.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = writeFuzzFile("input.mdl", "IDPO", data, size);
  if (std::optional<Model> model = readMdlFile(path.c_str())) checkModel(*model);
  return 0;
}
