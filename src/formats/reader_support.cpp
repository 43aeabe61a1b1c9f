#include "formats/reader_support.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdarg>

#include "model/current_model.h"
#include "platform/platform.h"
#include "settings/view_options.h"

ReadFailure lastReadFailure = ReadFailure::None;

void noticePosition(int& x, int& y) {
  x = windowGeometry.windowX + windowGeometry.windowWidth / 2 - 125;
  y = windowGeometry.windowY + windowGeometry.windowHeight / 2 - 100;
}

FileHandle openForReading(const char* name, const char* mode) {
  FileHandle file(std::fopen(name, mode));
  if (!file) {
    lastReadFailure = ReadFailure::NotOpened;
    int x = 0, y = 0;
    noticePosition(x, y);
    platformShowNotice(NoticeKind::FileNotFound, x, y);
  }
  return file;
}

void debugMessage(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  platformDebugOutput(text);
}

void reportDamaged(const char* name) {
  lastReadFailure = ReadFailure::Damaged;
  debugMessage("File, %s, is damaged or truncated.\n", name);
}

void reportDroppedFaces(const char* name, std::int64_t count) {
  debugMessage("File, %s, has %lld faces with vertex indices out of range; they were dropped.\n",
               name, static_cast<long long>(count));
}

bool readWholeFile(std::FILE* file, const char* name, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  struct stat info {};
  if (fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode)) {
    bytes.reserve(static_cast<std::size_t>(info.st_size));
  }
  std::uint8_t chunk[1 << 16];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
  if (std::ferror(file) != 0) {
    reportDamaged(name);
    return false;
  }
  return true;
}

void finishModel(Model& model, const char* name) {
  std::int64_t dropped = 0;
  for (MeshObject& object : model) dropped += dropOutOfRangeFaces(object);
  if (dropped > 0) reportDroppedFaces(name, dropped);
  objectCount = static_cast<std::int32_t>(model.size());
}

bool holdsFiniteGeometry(const Model& model) {
  for (const MeshObject& object : model) {
    if (!std::isfinite(object.xCenMass) || !std::isfinite(object.yCenMass) ||
        !std::isfinite(object.zCenMass)) {
      return false;
    }
    // Summing keeps the loop free of branches; one NaN or infinity makes the
    // sum NaN or infinite, and finite values cannot overflow a double here.
    double sum = 0.0;
    for (float value : object.vertices) sum += static_cast<double>(value) * 0.0;
    if (!std::isfinite(sum)) return false;
  }
  return true;
}
