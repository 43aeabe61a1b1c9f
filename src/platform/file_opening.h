#pragma once
// Opening a file to read it whole, for the model readers and the picture
// readers alike.

#include <cstdint>
#include <string>

#include "platform/file_handle.h"

constexpr std::uint64_t kLargestStream = std::uint64_t{1} << 30;

// Opens a file for a reader. A folder is not opened (errno EISDIR): it would
// open, then fail at the first read. A pipe or device is read to its end
// into a temporary file first, so that every reader gets a file of known
// size it can read twice; one longer than kLargestStream is not opened
// (errno EFBIG). Nothing here waits for a writer: a pipe that gives
// nothing is waited on only until the read is cancelled (errno ECANCELED).
FileHandle openForReading(const char* name, const char* mode);

// Why a file could not be opened, in the words a notice or an error line
// gives the user: "is a folder", damage for a stream without end, or the
// system's reason.
std::string openFailureReason(int error);
