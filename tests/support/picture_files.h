#pragma once
// Picture files built in code for tests.

#include <array>
#include <cstdint>
#include <string>

using Rgb = std::array<int, 3>;

// The bytes of a BMP file of w x h pixels, pixel (x, y) (row 0 at the
// bottom) of the colour colourAt gives; a palette picture for bitCount 8,
// with offBits - 54 bytes of colour table.
template <typename ColourAt>
std::string bmpFile(int w, int h, ColourAt colourAt, int bitCount = 24, std::uint32_t offBits = 54) {
  std::string out;
  const auto u16 = [&](std::uint32_t v) { out += {static_cast<char>(v), static_cast<char>(v >> 8)}; };
  const auto u32 = [&](std::uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
  const int rowBytes = bitCount == 24 ? 3 * w : w;
  const auto stride = static_cast<std::uint32_t>((rowBytes + 3) / 4 * 4);
  out += "BM";
  u32(offBits + stride * static_cast<std::uint32_t>(h)), u32(0), u32(offBits);
  u32(40), u32(static_cast<std::uint32_t>(w)), u32(static_cast<std::uint32_t>(h)), u16(1);
  u16(static_cast<std::uint32_t>(bitCount)), u32(0), u32(0), u32(2835), u32(2835), u32(0), u32(0);
  out.append(offBits - 54, '\0');
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const Rgb c = colourAt(x, y);
      if (bitCount == 24) out += {static_cast<char>(c[2]), static_cast<char>(c[1]), static_cast<char>(c[0])};
      else out += '\1';
    }
    out.append(stride - static_cast<std::uint32_t>(rowBytes), '\0');
  }
  return out;
}

