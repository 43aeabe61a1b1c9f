#pragma once
// Opening a binary model file into memory for a ByteCursor.

#include <cstdint>
#include <optional>
#include <vector>

#include "formats/byte_cursor.h"
#include "formats/reader_support.h"

// The file's bytes, or nothing (missing-file notice or damage already reported).
inline std::optional<std::vector<std::uint8_t>> loadBinaryFile(const char* name) {
  FileHandle file = openForReading(name, "rb");
  if (!file) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  if (!readWholeFile(file.get(), name, bytes)) return std::nullopt;
  return bytes;
}
