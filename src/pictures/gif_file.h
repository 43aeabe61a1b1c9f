#pragma once
// Animated GIF pictures: frames of RGB pixels, each with a palette of its
// own, played in a loop. Colours are never dithered, so flat backgrounds
// stay flat; a frame of at most 256 colours keeps them exactly.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pictures/rgb_image.h"
#include "platform/file_replacement.h"

// A frame's colours as palette indices.
struct PalettedFrame {
  std::vector<std::uint8_t> palette;  // R, G, B an entry; 2 to 256 entries, a power of two
  std::vector<std::uint8_t> indices;  // one a pixel, top row first
};

// The frame's own colours where it has at most 256, else 256 chosen by
// median cut, each pixel taking the nearest.
PalettedFrame paletteFrame(const RgbImage& frame);

// GIF's variable-length LZW codes of `indices`, packed into bytes (before
// they are cut into blocks), for a code size of `minCodeSize` bits.
std::vector<std::uint8_t> lzwCompress(const std::vector<std::uint8_t>& indices, int minCodeSize);

class GifWriter {
 public:
  // A looping animation of width x height frames, written to `path` whole
  // or not at all.
  GifWriter(const std::string& path, int width, int height);
  ~GifWriter();
  GifWriter(const GifWriter&) = delete;
  GifWriter& operator=(const GifWriter&) = delete;

  // A frame of the writer's size, top row first, shown for `centiseconds`.
  bool addFrame(const RgbImage& frame, int centiseconds);
  WriteResult finish();

 private:
  std::unique_ptr<FileReplacement> output_;
  int width_, height_;
  bool ok_ = true;
};
