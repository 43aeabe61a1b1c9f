#pragma once
// Windows BMP files: reading a picture for the background, writing the
// exported view. Little-endian throughout; rows bottom first, each padded
// to a multiple of four bytes.

#include <cstdint>
#include <optional>
#include <vector>

#include "render/rgb_image.h"

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
};
BmpInfo bmpInfo(const std::vector<std::uint8_t>& header);

// Reads the two blocks of a BMP file. Nothing (and no message) for a file
// that is not a usable picture: not "BM", header shorter than the 40-byte
// info header, a width or height of 0, negative or above 32768, or fewer
// pixel bytes than a 24-bit picture's rows need. The missing-file notice is
// shown when the file cannot be opened.
std::optional<BmpBlocks> loadBmp(const char* path);

// The picture as an RGB image, rows in file order. A picture that is not an
// uncompressed 24-bit one gives a black image of its size.
std::optional<RgbImage> bmpToRgb(const BmpBlocks& blocks);

// The 40-byte info header of a 24-bit picture of w x h pixels.
std::vector<std::uint8_t> makeBmpInfoHeader(std::int32_t width, std::int32_t height);

// Writes a BMP file from an info header block and a pixel block: 0, or -1
// when the file cannot be created or a write falls short.
int writeBmp(const char* path, const std::vector<std::uint8_t>& info,
             const std::vector<std::uint8_t>& pixels);
