// Any file content.
#include <cstdint>
#include <string>

#include "formats/binary_formats.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = writeFuzzFile("input.3ds", "", data, size);
  if (std::optional<Model> model = read3dsFile(path.c_str())) checkModel(*model);
  return 0;
}
