#include "pictures/texture_picture.h"

#include <cstring>

#include "pictures/jpeg_file.h"
#include "pictures/pcx_file.h"
#include "pictures/png_file.h"

std::optional<RgbaImage> decodeTexturePicture(std::span<const std::uint8_t> bytes, std::string* reason) {
  if (bytes.size() >= 8 && std::memcmp(bytes.data(), "\x89PNG\r\n\x1a\n", 8) == 0) return decodePngWithAlpha(bytes, reason);
  if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) {
    std::optional<RgbImage> rgb = decodeJpeg(bytes, reason);
    if (!rgb) return std::nullopt;
    RgbaImage picture{rgb->width, rgb->height, {}};
    picture.pixels.resize(rgb->pixels.size() / 3 * 4);
    for (std::size_t k = 0, n = rgb->pixels.size() / 3; k < n; ++k) {
      std::memcpy(&picture.pixels[4 * k], &rgb->pixels[3 * k], 3);
      picture.pixels[4 * k + 3] = 255;
    }
    return picture;
  }
  if (looksLikePcx(bytes)) return decodePcx(bytes, reason);
  if (reason != nullptr) *reason = "is not a PNG, JPEG or PCX picture";
  return std::nullopt;
}
