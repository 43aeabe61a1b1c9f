// Headers after the magic and version: any format type but the two refused
// ones (which end the program on purpose; the unit tests cover them).
#include <cstdint>
#include <cstring>
#include <string>

#include "formats/binary_formats.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size >= 4 && (std::memcmp(data, "txt ", 4) == 0 || std::memcmp(data, "com ", 4) == 0)) {
    return 0;
  }
  const std::string path = writeFuzzFile("input.x", "xof 0303", data, size);
  if (std::optional<Model> model = readXFile(path.c_str())) checkModel(*model);
  return 0;
}
