// The VTK reader on any body after a valid header (the three refusals end the
// program on purpose; the unit tests cover them).
#include <cstdint>

#include "formats/vtk_format.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = writeFuzzFile(
      "input.vtk", "# vtk DataFile Version 4.2\nfuzz\nASCII\nDATASET POLYDATA\n", data, size);
  if (std::optional<Model> model = readVtkFile(path.c_str())) checkModel(*model);
  return 0;
}
