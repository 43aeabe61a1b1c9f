#pragma once
// Opening a binary model file into memory for a ByteCursor.

#include <cstdint>
#include <vector>

#include "formats/byte_cursor.h"
#include "formats/reader_support.h"

// The file's bytes into `bytes`; otherwise why not (missing-file notice or
// damage already reported).
inline ReadFailure loadBinaryFile(const char* name, std::vector<std::uint8_t>& bytes) {
  FileHandle file = openForReading(name, "rb");
  if (!file) return ReadFailure::NotOpened;
  return readWholeFile(file.get(), name, bytes) ? ReadFailure::None : ReadFailure::Damaged;
}
