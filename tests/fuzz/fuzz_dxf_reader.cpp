// The DXF reader on any file content.
#include <cstdint>

#include "formats/dxf_format.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = writeFuzzFile("input.dxf", "", data, size);
  if (std::optional<Model> model = readDxfFile(path.c_str())) checkModel(*model);
  return 0;
}
