#include "formats/reader_support.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdarg>

#include "platform/platform.h"

FileHandle openForReading(const char* name, const char* mode) {
  FileHandle file(std::fopen(name, mode));
  if (!file) platformShowNotice(NoticeKind::FileNotFound);
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

ReadResult refuseDamaged(const char* name) {
  debugMessage("File, %s, is damaged or truncated.\n", name);
  return ReadFailure::Damaged;
}

ReadResult refuseHeader(const char* format, const char* name) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  debugMessage(format, name);
#pragma GCC diagnostic pop
  return ReadFailure::Refused;
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
    refuseDamaged(name);
    return false;
  }
  return true;
}

namespace {

// One NaN or infinity makes the sum NaN; finite values times zero stay zero.
bool allFinite(const std::vector<float>& values) {
  double sum = 0.0;
  for (float value : values) sum += static_cast<double>(value) * 0.0;
  return std::isfinite(sum);
}

}  // namespace

ReadResult finishModel(Model model, const char* name, std::int64_t droppedBefore) {
  std::int64_t dropped = droppedBefore;
  for (MeshObject& object : model) {
    dropped += dropOutOfRangeFaces(object);
    computeBounds(object);
    computeCenter(object);
    // A finite centre can still be the quotient of an overflowing sum.
    if (!allFinite(object.vertices) || !std::isfinite(object.xCenMass) ||
        !std::isfinite(object.yCenMass) || !std::isfinite(object.zCenMass)) {
      return refuseDamaged(name);
    }
  }
  if (dropped > 0) {
    debugMessage("File, %s, has %lld faces with vertex indices out of range; they were dropped.\n",
                 name, static_cast<long long>(dropped));
  }
  return ReadResult(std::move(model));
}
