// Any file as a background picture (BMP, PNG or JPEG, told by its first
// bytes): read, turned into colour and resampled to its texture, as Import
// Background does before anything reaches GL.
#include <cstdint>

#include "fuzz_support.h"
#include "pictures/image_resample.h"
#include "pictures/picture_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = writeFuzzFile("input.picture", "", data, size);
  std::optional<RgbImage> picture = loadPicture(path.c_str());
  if (!picture) return 0;
  if (picture->pixels.size() != static_cast<std::size_t>(picture->width) * static_cast<std::size_t>(picture->height) * 3) {
    __builtin_trap();
  }
  const RgbImage texture = rescaleImage(*picture, textureSide(picture->width), textureSide(picture->height));
  if (texture.pixels.size() != static_cast<std::size_t>(texture.width) * static_cast<std::size_t>(texture.height) * 3) {
    __builtin_trap();
  }
  return 0;
}
