#include "pictures/texture_picture.h"

#include <png.h>

#include <cstring>

#include "pictures/jpeg_file.h"
#include "pictures/pcx_file.h"
#include "pictures/picture_size.h"

namespace {

std::optional<RgbaImage> decodePng(std::span<const std::uint8_t> bytes, std::string* reason) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  const auto refuse = [&](std::string text) -> std::optional<RgbaImage> {
    png_image_free(&image);
    if (reason != nullptr) *reason = std::move(text);
    return std::nullopt;
  };
  if (png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) == 0) {
    return refuse("is damaged or truncated");
  }
  if (std::string problem = pictureSizeProblem(image.width, image.height); !problem.empty()) return refuse(problem);
  image.format = PNG_FORMAT_RGBA;
  RgbaImage picture;
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  picture.pixels.assign(static_cast<std::size_t>(PNG_IMAGE_SIZE(image)), 0);
  // A negative stride puts the bottom row first, as GL takes it.
  const auto stride = -static_cast<png_int_32>(PNG_IMAGE_ROW_STRIDE(image));
  if (png_image_finish_read(&image, nullptr, picture.pixels.data(), stride, nullptr) == 0) {
    return refuse("is damaged or truncated");
  }
  return picture;
}

}  // namespace

std::optional<RgbaImage> decodeTexturePicture(std::span<const std::uint8_t> bytes, std::string* reason) {
  if (bytes.size() >= 8 && std::memcmp(bytes.data(), "\x89PNG\r\n\x1a\n", 8) == 0) return decodePng(bytes, reason);
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
