#include "pictures/pcx_file.h"

#include <vector>

#include "pictures/picture_size.h"

namespace {

constexpr std::size_t kHeaderBytes = 128;
constexpr std::size_t kPaletteBytes = 769;  // 0x0C, then 256 RGB triples

unsigned u16At(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<unsigned>(bytes[at]) | static_cast<unsigned>(bytes[at + 1]) << 8;
}

}  // namespace

bool looksLikePcx(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= kHeaderBytes && bytes[0] == 0x0A && bytes[1] <= 5 && bytes[1] != 1 && bytes[2] == 1;
}

std::optional<RgbaImage> decodePcx(std::span<const std::uint8_t> bytes, std::string* reason) {
  const auto refuse = [&](std::string text) -> std::optional<RgbaImage> {
    if (reason != nullptr) *reason = std::move(text);
    return std::nullopt;
  };
  if (!looksLikePcx(bytes)) return refuse("is not a PCX picture");
  const unsigned bits = bytes[3], planes = bytes[65];
  const unsigned xMin = u16At(bytes, 4), yMin = u16At(bytes, 6), xMax = u16At(bytes, 8), yMax = u16At(bytes, 10);
  const std::size_t lineBytes = u16At(bytes, 66);
  if (bits != 8 || (planes != 1 && planes != 3)) return refuse("is a PCX picture of a kind this program does not read");
  if (xMax < xMin || yMax < yMin || lineBytes < xMax - xMin + 1) return refuse("is damaged or truncated");
  const int width = static_cast<int>(xMax - xMin + 1), height = static_cast<int>(yMax - yMin + 1);
  if (std::string problem = pictureSizeProblem(width, height); !problem.empty()) return refuse(problem);

  // The coded pixels end where the palette of an 8-bit picture begins.
  std::size_t end = bytes.size();
  const std::uint8_t* palette = nullptr;
  if (planes == 1) {
    if (end < kHeaderBytes + kPaletteBytes || bytes[end - kPaletteBytes] != 0x0C) {
      return refuse("is a PCX picture without its 256-colour palette");
    }
    end -= kPaletteBytes;
    palette = &bytes[end + 1];
  }
  // A coded byte makes at most 63 pixel bytes: fewer than the lines need is
  // damage, found before any pixel is held.
  const std::uint64_t codedBytes = static_cast<std::uint64_t>(planes) * lineBytes * static_cast<std::uint64_t>(height);
  if (static_cast<std::uint64_t>(end - kHeaderBytes) * 63 < codedBytes) return refuse("is damaged or truncated");
  RgbaImage picture{width, height, {}};
  const auto rowBytes = 4 * static_cast<std::size_t>(width);
  picture.pixels.assign(rowBytes * static_cast<std::size_t>(height), 255);
  // One scan line holds each plane's bytes in turn; a run may go on into the
  // next line, as some writers code it.
  std::vector<std::uint8_t> line(planes * lineBytes);
  std::size_t at = kHeaderBytes;
  unsigned run = 0;
  std::uint8_t value = 0;
  for (int y = 0; y < height; ++y) {
    for (std::uint8_t& byte : line) {
      while (run == 0) {
        if (at >= end) return refuse("is damaged or truncated");
        value = bytes[at++];
        run = 1;
        if ((value & 0xC0) == 0xC0) {
          if (at >= end) return refuse("is damaged or truncated");
          run = value & 0x3Fu;
          value = bytes[at++];
        }
      }
      byte = value;
      --run;
    }
    // Lines are stored top first.
    std::uint8_t* out = &picture.pixels[rowBytes * static_cast<std::size_t>(height - 1 - y)];
    for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x, out += 4) {
      if (palette != nullptr) {
        const std::uint8_t* colour = palette + 3 * static_cast<std::size_t>(line[x]);
        out[0] = colour[0], out[1] = colour[1], out[2] = colour[2];
      } else {
        out[0] = line[x], out[1] = line[lineBytes + x], out[2] = line[2 * lineBytes + x];
      }
    }
  }
  return picture;
}
