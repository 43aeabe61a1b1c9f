#include "pictures/png_file.h"

#include <png.h>

#include <cstring>

#include "pictures/picture_size.h"
#include "platform/file_handle.h"
#include "platform/file_opening.h"

namespace {

// Reads the rows of a begun image as `format`, bottom row first (as GL takes
// them), after checking its size; frees the image. False, and why, otherwise.
template <typename Picture>
std::optional<Picture> finishRead(png_image& image, png_uint_32 format, std::string* reason) {
  const auto refuse = [&](std::string text) -> std::optional<Picture> {
    png_image_free(&image);
    if (reason != nullptr) *reason = std::move(text);
    return std::nullopt;
  };
  if (std::string problem = pictureSizeProblem(image.width, image.height); !problem.empty()) return refuse(problem);
  image.format = format;
  Picture picture;
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  picture.pixels.assign(static_cast<std::size_t>(PNG_IMAGE_SIZE(image)), 0);
  const auto stride = -static_cast<png_int_32>(PNG_IMAGE_ROW_STRIDE(image));
  if (png_image_finish_read(&image, nullptr, picture.pixels.data(), stride, nullptr) == 0) {
    return refuse("is damaged or truncated");
  }
  return picture;
}

png_image emptyImage() {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  return image;
}

}  // namespace

std::optional<RgbImage> loadPng(const char* path, std::string* reason) {
  FileHandle file(std::fopen(path, "rb"));
  if (!file) {
    if (reason != nullptr) *reason = openFailureReason(errno);
    return std::nullopt;
  }
  png_image image = emptyImage();
  if (png_image_begin_read_from_stdio(&image, file.get()) == 0) {
    png_image_free(&image);
    if (reason != nullptr) *reason = "is damaged or truncated";
    return std::nullopt;
  }
  return finishRead<RgbImage>(image, PNG_FORMAT_RGB, reason);
}

std::optional<RgbaImage> decodePngWithAlpha(std::span<const std::uint8_t> bytes, std::string* reason) {
  png_image image = emptyImage();
  if (png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) == 0) {
    png_image_free(&image);
    if (reason != nullptr) *reason = "is damaged or truncated";
    return std::nullopt;
  }
  return finishRead<RgbaImage>(image, PNG_FORMAT_RGBA, reason);
}

namespace {

WriteResult writeRows(const char* path, int width, int height, png_uint_32 format, const std::uint8_t* rows,
                      std::size_t stride) {
  FileReplacement output(path);
  std::FILE* file = output.file();
  if (file == nullptr) return output.commit();
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = format;
  // Bottom row first in memory: a negative stride.
  if (png_image_write_to_stdio(&image, file, 0, rows, -static_cast<png_int_32>(stride), nullptr) == 0) {
    // A failed write is the system's reason, as for any other output.
    if (std::ferror(file) != 0) return output.commit();
    return {false, image.message};  // the temporary file goes, any earlier file stays
  }
  return output.commit();
}

}  // namespace

WriteResult writePng(const char* path, int width, int height, const std::uint8_t* bgrRows, std::size_t stride) {
  return writeRows(path, width, height, PNG_FORMAT_BGR, bgrRows, stride);
}

WriteResult writePngWithAlpha(const char* path, int width, int height, const std::uint8_t* rgbaRows) {
  return writeRows(path, width, height, PNG_FORMAT_RGBA, rgbaRows, 4 * static_cast<std::size_t>(width));
}
