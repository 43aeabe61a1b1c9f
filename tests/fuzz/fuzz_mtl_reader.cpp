// Any bytes as a material library: every name and texture name the reader
// hands back is a piece of the text, so none can be longer than it.
#include <cstdint>
#include <vector>

#include "formats/mtl_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<MtlMaterial> materials = readMtlText({reinterpret_cast<const char*>(data), size});
  for (const MtlMaterial& m : materials) {
    if (m.name.size() > size || m.texture.size() > size) __builtin_trap();
  }
  return 0;
}
