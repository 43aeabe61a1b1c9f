#pragma once
// A picture as rows of R, G, B bytes, tightly packed, row 0 first.

#include <cstdint>
#include <vector>

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // (y * width + x) * 3
};
