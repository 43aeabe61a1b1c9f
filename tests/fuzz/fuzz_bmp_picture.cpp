// Any file as a background picture: read, turned into colour and resampled
// to its texture, as Import Background does before anything reaches GL.
#include <cstdint>

#include "fuzz_support.h"
#include "render/bmp_file.h"
#include "render/image_resample.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = writeFuzzFile("input.bmp", "", data, size);
  std::optional<BmpBlocks> blocks = loadBmp(path.c_str());
  if (!blocks) return 0;
  std::optional<RgbImage> picture = bmpToRgb(*blocks);
  if (!picture) return 0;
  const RgbImage texture = rescaleImage(*picture, textureSide(picture->width), textureSide(picture->height));
  if (texture.pixels.size() != static_cast<std::size_t>(texture.width) * static_cast<std::size_t>(texture.height) * 3) {
    __builtin_trap();
  }
  return 0;
}
