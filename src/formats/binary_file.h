#pragma once
// Opening a binary model file into memory for a ByteCursor.

#include <cstdint>
#include <vector>

#include "formats/byte_cursor.h"
#include "formats/reader_support.h"

// The file's bytes into `bytes`: a result that is true, or the reader's
// "no model" with its reason (damage already reported).
inline ReadResult loadBinaryFile(const char* name, std::vector<std::uint8_t>& bytes) {
  FileHandle file = openForReading(name, "rb");
  if (!file) return refuseUnopened(name);
  return readWholeFile(file.get(), bytes) ? ReadResult(Model{}) : refuseUnopened(name);
}
