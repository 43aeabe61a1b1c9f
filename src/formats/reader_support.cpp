#include "formats/reader_support.h"

#include <span>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstring>

#include "model/appearance_check.h"
#include "platform/file_opening.h"
#include "platform/platform.h"
#include "platform/read_progress.h"
#include "platform/text_scanner.h"



ReadResult readTextModel(const char* name, TextModelReader reader) {
  FileHandle file = openForReading(name, "r");
  if (!file) return refuseUnopened(name);
  TextScanner scan(file.get());
  ReadResult result = reader(scan, name);
  if (result && scan.inputShrank()) return refuseDamaged(name);
  return result;
}

const char* failureWords(ReadFailure failure) {
  switch (failure) {
    case ReadFailure::None: return "";
    case ReadFailure::UnknownFormat: return "no reader fits the name's ending";
    case ReadFailure::NotOpened: return "cannot be opened";
    case ReadFailure::Damaged: return "is damaged or truncated";
    case ReadFailure::Refused: return "has a header the reader refuses";
  }
  return "";
}

ReadResult refuseUnopened(const char* name) {
  const int error = errno;
  if (error == EFBIG) return refuseDamaged(name);
  ReadResult result(ReadFailure::NotOpened);
  result.userReason = openFailureReason(error);
  return result;
}

void debugMessage(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  platformDebugOutput(text);
}

namespace {

// One debug line, "File, NAME, REASON.", and the reason for the user.
ReadResult refusal(ReadFailure failure, const char* name, const char* reason) {
  debugMessage("File, %s, %s.\n", name, reason);
  ReadResult result(failure);
  result.userReason = reason;
  return result;
}

}  // namespace

ReadResult refuseDamaged(const char* name, const char* reason) {
  // Plain damage: the kind's own words say it all.
  if (reason == nullptr) {
    refusal(ReadFailure::Damaged, name, failureWords(ReadFailure::Damaged));
    return ReadFailure::Damaged;
  }
  return refusal(ReadFailure::Damaged, name, reason);
}

ReadResult refuseFile(const char* name, const char* reason) { return refusal(ReadFailure::Refused, name, reason); }

bool beginsLike(const std::uint8_t* bytes, std::size_t size, std::string_view magic) {
  const std::size_t there = std::min(size, magic.size());
  return there == 0 || std::memcmp(bytes, magic.data(), there) == 0;
}

bool readWholeFile(std::FILE* file, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  struct stat info {};
  if (fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode)) {
    bytes.reserve(static_cast<std::size_t>(info.st_size));
  }
  std::uint8_t chunk[1 << 16];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
  return std::ferror(file) == 0;
}

namespace {

// One NaN or infinity makes the sum NaN; finite values times zero stay zero.
bool allFinite(const std::vector<float>& values) {
  double sum = 0.0;
  for (float value : values) sum += static_cast<double>(value) * 0.0;
  return std::isfinite(sum);
}

}  // namespace

ReadResult finishModel(Model model, const char* name, std::int64_t droppedBefore, bool keepEmptyObjects) {
  // The checks and sums below take a big model a good part of a second: they
  // have a share of the progress of their own, told step by step, so that it
  // does not stand still at the end.
  ReadProgress& progress = readProgress();
  const std::uint64_t share = ReadProgress::finishShare(progress.toDo), steps = 1 + 2 * model.size();
  progress.finishing = share;
  std::uint64_t stepsDone = 0;
  const auto stepDone = [&] {
    progress.done += share * (stepsDone + 1) / steps - share * stepsDone / steps;
    ++stepsDone;
  };
  if (const std::string unfitting = dropUnfittingAppearance(model); !unfitting.empty()) {
    debugMessage("File, %s, has %s that do not fit its model; they were dropped.\n", name, unfitting.c_str());
  }
  stepDone();
  std::int64_t dropped = droppedBefore;
  for (MeshObject& object : model) {
    if (readCancelled()) return ReadResult(ReadFailure::Damaged);
    dropped += dropOutOfRangeFaces(object);
    if (const std::int64_t points = dropNonFinitePoints(object); points > 0) {
      debugMessage("File, %s, has %lld points with a coordinate that is no number; they were left out.\n", name,
                   static_cast<long long>(points));
    }
    computeBounds(object);
    computeCenter(object);
    stepDone();
    // A finite centre can still be the quotient of an overflowing sum.
    if (!allFinite(object.vertices) || !std::isfinite(object.xCenMass) ||
        !std::isfinite(object.yCenMass) || !std::isfinite(object.zCenMass)) {
      return refuseDamaged(name);
    }
    stepDone();
  }
  if (!keepEmptyObjects) {
    std::erase_if(model, [](const MeshObject& object) { return object.vertices.empty() && object.faces.count() == 0; });
  }
  if (dropped > 0) {
    debugMessage("File, %s, has %lld faces with vertex indices out of range; they were dropped.\n",
                 name, static_cast<long long>(dropped));
  }
  return ReadResult(std::move(model));
}

void appendStrips(const FaceTable& strips, FaceTable& faces) {
  for (std::size_t k = 0; k < strips.count(); ++k) {
    const std::span<const std::int32_t> strip = strips[k];
    for (std::size_t t = 2; t < strip.size(); ++t) {
      const std::span<std::int32_t> face = faces.append(3);
      const bool odd = (t & 1) != 0;
      face[0] = strip[odd ? t - 1 : t - 2], face[1] = strip[odd ? t - 2 : t - 1], face[2] = strip[t];
    }
  }
}
