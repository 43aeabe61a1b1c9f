// Any bytes as a PCX skin, decoded from memory as a model's texture is.
#include <cstdint>
#include <span>

#include "pictures/pcx_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::optional<RgbaImage> picture = decodePcx(std::span<const std::uint8_t>(data, size));
  if (picture && picture->pixels.size() !=
                     static_cast<std::size_t>(picture->width) * static_cast<std::size_t>(picture->height) * 4) {
    __builtin_trap();
  }
  return 0;
}
