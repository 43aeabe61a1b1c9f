#pragma once
// Saving what the drawing area shows as a PNG, 24-bit BMP or JPEG file.

#include <cstdint>
#include <optional>
#include <vector>

#include "pictures/picture_file.h"
#include "platform/file_replacement.h"

struct CapturedView {
  std::vector<std::uint8_t> info;    // the 40-byte info header
  std::vector<std::uint8_t> pixels;  // stride x height bytes, bottom row first, B G R
};

// What one frame costs in buffers, a pixel: colour and depth (4 bytes each)
// and the captured rows (3). A frame must stay below 1 GiB of them.
constexpr std::uint64_t kFrameBytesPerPixel = 11;
constexpr std::uint64_t kLargestFrameBytes = std::uint64_t{1} << 30;
inline bool frameFits(std::int64_t width, std::int64_t height) {
  return width >= 0 && height >= 0 &&
         static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * kFrameBytesPerPixel < kLargestFrameBytes;
}

// Reads the width x height drawing area's pixels from the current GL read buffer.
std::optional<CapturedView> captureView(int width, int height);

// Writes the drawing area as the kind of picture the name ends with (PNG,
// BMP or JPEG, in any case), whole or not at all; a name with another ending
// or none is refused, so a picture's bytes never contradict its name.
WriteResult exportImage(const char* path, int width, int height);
// The same in the kind asked for, whatever the name.
WriteResult exportImage(const char* path, int width, int height, PictureKind kind);

// Why exportImage(path, ...) refuses a name with another ending or none.
inline constexpr const char* kUnknownPictureEnding = "does not end in .png, .bmp, .jpg or .jpeg";
