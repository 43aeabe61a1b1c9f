#pragma once
// Saving what the drawing area shows as a 24-bit BMP file.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/file_replacement.h"

struct CapturedView {
  std::vector<std::uint8_t> info;    // the 40-byte info header
  std::vector<std::uint8_t> pixels;  // stride x height bytes, bottom row first, B G R
};

// Reads the drawing area's pixels from the current GL read buffer.
std::optional<CapturedView> captureView();
// Writes the drawing area as a BMP file, whole or not at all.
WriteResult exportImage(const char* path);
