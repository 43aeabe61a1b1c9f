// PCX pictures made byte by byte: run-length coding within and across
// lines, line padding, the palette at the end, three colour planes, and
// the damage and headers that are refused.
#include "pictures/pcx_file.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Header of a w x h picture of `planes` planes of 8 bits, `lineBytes` a
// plane's line; then the coded lines; then, for one plane, the palette
// (colour i is i, 255 - i, 7).
Bytes pcx(int w, int h, int planes, int lineBytes, const Bytes& coded) {
  Bytes bytes(128 + coded.size() + (planes == 1 ? 769 : 0), 0);
  bytes[0] = 0x0A, bytes[1] = 5, bytes[2] = 1, bytes[3] = 8;
  bytes[8] = static_cast<std::uint8_t>(w - 1), bytes[10] = static_cast<std::uint8_t>(h - 1);
  bytes[65] = static_cast<std::uint8_t>(planes), bytes[66] = static_cast<std::uint8_t>(lineBytes);
  std::copy(coded.begin(), coded.end(), bytes.begin() + 128);
  if (planes != 1) return bytes;
  std::uint8_t* palette = &bytes[128 + coded.size()];
  *palette++ = 0x0C;
  for (int i = 0; i < 256; ++i, palette += 3) {
    palette[0] = static_cast<std::uint8_t>(i), palette[1] = static_cast<std::uint8_t>(255 - i), palette[2] = 7;
  }
  return bytes;
}

Bytes changed(Bytes bytes, std::size_t at, std::uint8_t value) {
  bytes[at] = value;
  return bytes;
}

}  // namespace

TEST(PcxFile, PixelsComeOutBottomRowFirstOrTheReasonWhyNot) {
  // 3 x 2 in lines of 4: a run of three 5s and a pad byte; 1, 2, a run of
  // one 0xC7 (a value that cannot stand alone), a pad byte.
  const Bytes twoLines = pcx(3, 2, 1, 4, {0xC3, 5, 0, 1, 2, 0xC1, 0xC7, 9});
  const struct {
    const char* name;
    Bytes bytes;
    Bytes rgb;  // bottom row first; empty when refused
    const char* reason;
  } cases[] = {
      {"runs, literals and padding", twoLines, {1, 254, 7, 2, 253, 7, 199, 56, 7, 5, 250, 7, 5, 250, 7, 5, 250, 7}, ""},
      {"a run across the line's end", pcx(2, 2, 1, 2, {0xC4, 3}), {3, 252, 7, 3, 252, 7, 3, 252, 7, 3, 252, 7}, ""},
      {"three planes", pcx(2, 1, 3, 2, {10, 11, 0xC2, 20, 30, 31}), {10, 20, 30, 11, 20, 31}, ""},
      {"cut in the lines", pcx(3, 2, 1, 4, {0xC3, 5, 0, 1, 2}), {}, "is damaged or truncated"},
      {"cut inside a run", pcx(2, 1, 3, 2, {10, 11, 0xC2}), {}, "is damaged or truncated"},
      {"no palette mark", changed(twoLines, twoLines.size() - 769, 0), {},
       "is a PCX picture without its 256-colour palette"},
      {"another maker", changed(twoLines, 0, 0x0B), {}, "is not a PCX picture"},
      {"4 bits a pixel", changed(twoLines, 3, 4), {}, "is a PCX picture of a kind this program does not read"},
      {"lines shorter than the width", changed(twoLines, 66, 2), {}, "is damaged or truncated"},
      {"right edge left of the left", changed(twoLines, 4, 9), {}, "is damaged or truncated"},
  };
  for (const auto& c : cases) {
    std::string reason;
    const std::optional<RgbaImage> picture = decodePcx(c.bytes, &reason);
    EXPECT_EQ(reason, c.reason) << c.name;
    Bytes rgb;  // every pixel opaque
    for (std::size_t k = 0; picture && k < picture->pixels.size(); k += 4) {
      rgb.insert(rgb.end(), &picture->pixels[k], &picture->pixels[k + 3]);
      EXPECT_EQ(picture->pixels[k + 3], 255) << c.name;
    }
    EXPECT_EQ(rgb, c.rgb) << c.name;
  }
}
