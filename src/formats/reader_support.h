#pragma once
// What every model reader shares: opening its file, reporting malformed
// content, the finish every model goes through, and the outcome it hands back.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/mesh_object.h"
#include "platform/file_opening.h"

// Why a reader handed back no model.
enum class ReadFailure {
  None,
  UnknownFormat,  // no reader fits the name
  NotOpened,      // the file could not be opened
  Damaged,        // content the reader cannot use
  Refused,        // a header the reader refuses outright
};

// A model, or why there is none.
struct ReadResult {
  ReadResult(ReadFailure why) : failure(why) {}  // NOLINT: readers return a failure as it is
  explicit ReadResult(Model read) : model(std::move(read)) {}

  explicit operator bool() const { return failure == ReadFailure::None; }
  Model& operator*() { return model; }
  const Model& operator*() const { return model; }
  Model* operator->() { return &model; }

  Model model;
  ReadFailure failure = ReadFailure::None;
  // What the user is told after the file's name where the failure says more
  // than its kind: the system's reason, the reader's own ("is not a PLY
  // file"), a model too large for memory. Never the name itself, which the
  // caller puts before it; empty where failureWords() says it all.
  std::string userReason;
};

// The user's words for a kind of failure: "is damaged or truncated", ...
const char* failureWords(ReadFailure failure);

using ModelReader = ReadResult (*)(const char* name);

class TextScanner;
// The part of a text format's reader after its file is open: the same on a
// file and on text in memory (the fuzz targets use it so).
using TextModelReader = ReadResult (*)(TextScanner& scan, const char* name);

// Opens a text model file and reads it with `reader`.
ReadResult readTextModel(const char* name, TextModelReader reader);

// Most a pipe or device may deliver: a stream that goes on past it (such
// as /dev/zero) is refused as damaged.
// The reader's "no model" for a file openForReading could not open: the
// system's reason, or damage for a stream without end.
ReadResult refuseUnopened(const char* name);

// Reads a whole binary file; false (errno telling why) when reading fails.
bool readWholeFile(std::FILE* file, std::vector<std::uint8_t>& bytes);

// Formats a complaint (printf rules, at most 511 characters) to the debug output.
void debugMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Reports damaged content and gives the reader's "no model". `reason`, said
// after the file's name ("has vertices without x, y and z"), replaces "is
// damaged or truncated" where the reader has a more telling one.
ReadResult refuseDamaged(const char* name, const char* reason = nullptr);

// Reports content the reader refuses outright and gives the reader's "no
// model"; `reason` is said after the file's name: "is not an OFF file" for
// a file of another kind, kNewerVersion, or what the reader does not take.
ReadResult refuseFile(const char* name, const char* reason);

// The reason for a file of a later version than its reader knows.
inline constexpr const char* kNewerVersion = "is a newer version of the format, not read";

// False when the bytes there are differ from the start of `magic`: a file
// of another kind. A file cut inside its magic still begins like it (it is
// damaged, not of another kind).
bool beginsLike(const std::uint8_t* bytes, std::size_t size, std::string_view magic);
inline bool beginsLike(const std::vector<std::uint8_t>& bytes, std::string_view magic) {
  return beginsLike(bytes.data(), bytes.size(), magic);
}

// Each triangle strip of n points appended as n - 2 triangles, every other
// one turned so that all face the same way.
void appendStrips(const FaceTable& strips, FaceTable& faces);

// The last step of every reader: appearance that does not fit the model
// (colours, normals, texture coordinates, materials, lines) is dropped and
// the geometry kept, faces that name missing vertices are dropped (one
// message for each kind), each object's bounds and centre are
// set, and a model with a coordinate or centre that is not a finite number
// is damaged. Objects left with neither vertices nor faces are not kept:
// they draw nothing, take no part in the World, and a file of many empty
// chunks would otherwise cost far more memory than its size (a reader
// that must keep them says `keepEmptyObjects`). `droppedBefore`
// counts faces a reader left out on its own for the same reason as the
// out-of-range ones, so the file still gets one message.
ReadResult finishModel(Model model, const char* name, std::int64_t droppedBefore = 0,
                       bool keepEmptyObjects = false);
