// The OFF reader on any body after a valid header word (a wrong header ends
// the program on purpose; the unit tests cover it).
#include <cstdint>

#include "formats/off_format.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = writeFuzzFile("input.off", "OFF\n", data, size);
  std::optional<Model> model = readOffFile(path.c_str());
  if (model) {
    // Every index that survived must lie inside the vertex table.
    const MeshObject& object = (*model)[0];
    for (std::int32_t index : object.faces.indices) {
      if (index < 0 || index >= object.numVertices) __builtin_trap();
    }
  }
  return 0;
}
