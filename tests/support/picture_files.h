#pragma once
// Picture files for tests, written by the program's own BMP and PNG writers.

#include <array>
#include <string>

#include "pictures/bmp_file.h"
#include "pictures/picture_file.h"
#include "pictures/png_file.h"

using Rgb = std::array<int, 3>;

// A 24-bit BMP (a PNG when the name says so) of w x h pixels, pixel (x, y) (row 0 at the bottom) of the
// colour colourAt gives.
template <typename ColourAt>
void writePicture(const std::string& path, int w, int h, ColourAt colourAt) {
  const auto stride = static_cast<std::size_t>(bmpStride(w));
  std::vector<std::uint8_t> pixels(stride * static_cast<std::size_t>(h), 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const Rgb c = colourAt(x, y);
      for (int k = 0; k < 3; ++k) pixels[stride * static_cast<std::size_t>(y) + 3 * static_cast<std::size_t>(x) + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(c[2 - static_cast<std::size_t>(k)]);
    }
  }
  if (pictureKindOfName(path) == PictureKind::Png) {
    writePng(path.c_str(), w, h, pixels.data(), stride);
  } else {
    writeBmp(path.c_str(), makeBmpInfoHeader(w, h), pixels);
  }
}
