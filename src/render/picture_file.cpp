#include "render/picture_file.h"

#include <cstdio>
#include <cstring>

#include "formats/reader_support.h"
#include "platform/file_handle.h"
#include "render/bmp_file.h"
#include "render/jpeg_file.h"
#include "render/png_file.h"

std::string pictureSizeProblem(std::int64_t width, std::int64_t height) {
  if (width > kLargestPictureSide || height > kLargestPictureSide) return "is more than 32768 pixels across";
  if (width * height * 3 > kLargestPictureBytes) return "is too large to show (more than 256 MB of colour)";
  return {};
}

std::optional<RgbImage> loadPicture(const char* path, std::string* reason) {
  unsigned char start[8] = {};
  {
    FileHandle file(std::fopen(path, "rb"));
    if (!file) {
      if (reason != nullptr) *reason = refuseUnopened(path).reason;
      return std::nullopt;
    }
    if (std::fread(start, 1, sizeof start, file.get()) < 3) start[0] = 0;
  }
  if (std::memcmp(start, "\x89PNG\r\n\x1a\n", 8) == 0) return loadPng(path, reason);
  if (start[0] == 0xFF && start[1] == 0xD8 && start[2] == 0xFF) return loadJpeg(path, reason);
  // Anything else is taken for a BMP, whose reader says what is wrong.
  std::optional<BmpBlocks> blocks = loadBmp(path, reason);
  if (!blocks) return std::nullopt;
  return bmpToRgb(*blocks);
}

bool namesPng(const std::string& path) {
  if (path.size() < 4) return false;
  std::string ending = path.substr(path.size() - 4);
  for (char& c : ending) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return ending == ".png";
}
