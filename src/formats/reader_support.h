#pragma once
// What every model reader shares: opening its file, reporting malformed
// content, and the outcome the dispatch and tessera-tool read.

#include <cstdint>
#include <cstdio>

#include "platform/file_handle.h"

// Why the last reader returned no model.
enum class ReadFailure { None, NotOpened, Damaged };
extern ReadFailure lastReadFailure;


// Opens a file for a reader; shows the missing-file notice when it cannot.
FileHandle openForReading(const char* name, const char* mode);

// Formats a complaint (printf rules, at most 511 characters) to the debug output.
void debugMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The two complaints every reader shares.
void reportDamaged(const char* name);
void reportDroppedFaces(const char* name, std::int64_t count);

// Where the notice boxes stand: centred on the main window's last geometry.
void noticePosition(int& x, int& y);
