#include "pictures/picture_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/file_handle.h"
#include "platform/file_opening.h"
#include "pictures/bmp_file.h"
#include "pictures/jpeg_file.h"
#include "pictures/png_file.h"

std::optional<RgbImage> loadPicture(const char* path, std::string* reason) {
  unsigned char start[8] = {};
  {
    FileHandle file(std::fopen(path, "rb"));
    if (!file) {
      if (reason != nullptr) *reason = openFailureReason(errno);
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

std::optional<PictureKind> pictureKindOfName(const std::string& path) {
  const std::size_t dot = path.find_last_of("./");
  if (dot == std::string::npos || path[dot] != '.') return std::nullopt;
  std::string ending = path.substr(dot);
  for (char& c : ending) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (ending == ".png") return PictureKind::Png;
  if (ending == ".bmp") return PictureKind::Bmp;
  if (ending == ".jpg" || ending == ".jpeg") return PictureKind::Jpeg;
  return std::nullopt;
}

const char* pictureEnding(PictureKind kind) {
  switch (kind) {
    case PictureKind::Png: return ".png";
    case PictureKind::Bmp: return ".bmp";
    case PictureKind::Jpeg: return ".jpg";
  }
  return "";
}
