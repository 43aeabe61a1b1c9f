#pragma once
// Windows BMP files: reading a picture for the background, writing the
// exported view. Little-endian throughout; rows bottom first, each padded
// to a multiple of four bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_replacement.h"
#include "pictures/rgb_image.h"

constexpr int kBmpFileHeaderSize = 14;
constexpr int kBmpInfoHeaderSize = 40;

// Bytes of one 24-bit row, padded to a multiple of four.
inline std::int64_t bmpStride(std::int64_t width) { return (width * 3 + 3) / 4 * 4; }

struct BmpBlocks {
  std::vector<std::uint8_t> header;  // from offset 14 up to bfOffBits: info header, colour table
  std::vector<std::uint8_t> pixels;  // from bfOffBits on
};

// The fields of the info header this program reads.
struct BmpInfo {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bitCount = 0;
  std::uint32_t compression = 0;
  std::uint32_t sizeImage = 0;
  std::uint32_t colorsUsed = 0;
};
BmpInfo bmpInfo(const std::vector<std::uint8_t>& header);

// Reads the two blocks of a BMP file. Nothing, and the reason in `reason`,
// for a file that cannot be read or is not a picture this program shows:
// not "BM", a header shorter than the 40-byte info header, a width or height
// of 0 or above 32768, not uncompressed 1-, 4-, 8-, 24- or 32-bit, or fewer
// pixel bytes than its rows need.
std::optional<BmpBlocks> loadBmp(const char* path, std::string* reason = nullptr);

// The picture as an RGB image, bottom row first (top-down files are turned),
// palette pictures in their colours.
std::optional<RgbImage> bmpToRgb(const BmpBlocks& blocks);

// The 40-byte info header of a 24-bit picture of w x h pixels.
std::vector<std::uint8_t> makeBmpInfoHeader(std::int32_t width, std::int32_t height);

// Writes a BMP file from an info header block and a pixel block, whole or
// not at all.
WriteResult writeBmp(const char* path, const std::vector<std::uint8_t>& info,
                     const std::vector<std::uint8_t>& pixels);
