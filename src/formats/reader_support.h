#pragma once
// What every model reader shares: opening its file, reporting malformed
// content, and the outcome the dispatch and tessera-tool read.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

#include "model/mesh_object.h"
#include "platform/file_handle.h"

// Why the last reader returned no model.
enum class ReadFailure { None, NotOpened, Damaged };
extern ReadFailure lastReadFailure;


// Opens a file for a reader; shows the missing-file notice when it cannot.
FileHandle openForReading(const char* name, const char* mode);

// Reads a whole binary file; false (and damage reported) when reading fails.
bool readWholeFile(std::FILE* file, const char* name, std::vector<std::uint8_t>& bytes);

// Formats a complaint (printf rules, at most 511 characters) to the debug output.
void debugMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The two complaints every reader shares.
void reportDamaged(const char* name);
void reportDroppedFaces(const char* name, std::int64_t count);

// Reports damaged content and gives the reader's "no model".
inline std::optional<Model> refuseDamaged(const char* name) {
  reportDamaged(name);
  return std::nullopt;
}

// Closing steps every reader shares: faces that name missing vertices are
// dropped from each object (one message for the file), objectCount is set.
void finishModel(Model& model, const char* name);

// True when every vertex and every object's centre is a finite number: a NaN
// or an infinity would poison the world and the picture.
bool holdsFiniteGeometry(const Model& model);

// Where the notice boxes stand: centred on the main window's last geometry.
void noticePosition(int& x, int& y);
