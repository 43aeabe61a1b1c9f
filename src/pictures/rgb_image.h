#pragma once
// Pictures as rows of bytes, tightly packed: R, G, B, or R, G, B, A.

#include <cstdint>
#include <vector>

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // (y * width + x) * 3
};

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // (y * width + x) * 4
};
