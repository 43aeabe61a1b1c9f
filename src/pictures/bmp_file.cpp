#include "pictures/bmp_file.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#include "pictures/picture_size.h"
#include "platform/byte_cursor.h"
#include "platform/file_handle.h"
#include "platform/file_opening.h"

namespace {


void put32(std::uint8_t* p, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) p[k] = static_cast<std::uint8_t>(v >> (8 * k));
}
void put16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

// Reads `size` bytes, or fewer when the file ends first: the block grows
// with what arrives, so a header's size claim cannot make a huge allocation.
bool readUpTo(std::FILE* file, std::vector<std::uint8_t>& block, std::size_t size) {
  block.clear();
  std::uint8_t chunk[1 << 16];
  while (block.size() < size) {
    const std::size_t want = std::min(sizeof chunk, size - block.size());
    const std::size_t got = std::fread(chunk, 1, want, file);
    block.insert(block.end(), chunk, chunk + got);
    if (got < want) break;
  }
  return block.size() == size;
}

bool palettePicture(const BmpInfo& info) {
  return info.compression == 0 && (info.bitCount == 1 || info.bitCount == 4 || info.bitCount == 8);
}
bool shownPicture(const BmpInfo& info) {
  return palettePicture(info) || (info.compression == 0 && (info.bitCount == 24 || info.bitCount == 32));
}

std::int64_t rowBytes(const BmpInfo& info) {
  return (static_cast<std::int64_t>(info.bitCount) * info.width + 31) / 32 * 4;
}

std::optional<BmpBlocks> refuse(std::string* reason, std::string text) {
  if (reason != nullptr) *reason = std::move(text);
  return std::nullopt;
}

}  // namespace

BmpInfo bmpInfo(const std::vector<std::uint8_t>& header) {
  BmpInfo info;
  if (header.size() < kBmpInfoHeaderSize) return info;
  ByteCursor in(header);
  in.skip(4);  // the header's size
  info.width = in.i32le();
  info.height = in.i32le();
  in.skip(2);  // planes
  info.bitCount = in.u16le();
  info.compression = in.u32le();
  info.sizeImage = in.u32le();
  in.skip(8);  // resolution
  info.colorsUsed = in.u32le();
  return info;
}

std::optional<BmpBlocks> loadBmp(const char* path, std::string* reason) {
  FileHandle file = openForReading(path, "rb");
  if (!file) return refuse(reason, openFailureReason(errno));
  const std::string damaged = "is damaged or truncated";
  std::uint8_t fileHeader[kBmpFileHeaderSize];
  if (std::fread(fileHeader, 1, sizeof fileHeader, file.get()) != sizeof fileHeader) return refuse(reason, damaged);
  ByteCursor in(fileHeader, sizeof fileHeader);
  if (in.u16le() != 0x4D42) return refuse(reason, "is not a BMP picture");
  in.skip(8);  // file size, reserved
  const std::uint32_t offBits = in.u32le();
  if (offBits < kBmpFileHeaderSize + kBmpInfoHeaderSize || offBits > (1u << 24)) return refuse(reason, damaged);

  BmpBlocks blocks;
  if (!readUpTo(file.get(), blocks.header, offBits - kBmpFileHeaderSize)) return refuse(reason, damaged);
  const BmpInfo info = bmpInfo(blocks.header);
  // A negative height is a picture stored top row first.
  const std::int64_t height = info.height < 0 ? -static_cast<std::int64_t>(info.height) : info.height;
  if (info.width <= 0 || height == 0) return refuse(reason, damaged);
  // A background is at most 512 x 512 on screen; a huge picture is refused
  // before it is read.
  if (std::string problem = pictureSizeProblem(info.width, height); !problem.empty()) return refuse(reason, problem);
  if (!shownPicture(info)) {
    return refuse(reason, "is a kind of BMP picture that cannot be shown (" + std::to_string(info.bitCount) +
                              " bits a pixel, compression " + std::to_string(info.compression) + ")");
  }
  // Every row must be there; a stated image size below that is damage.
  const std::int64_t needed = rowBytes(info) * height;
  if (info.sizeImage != 0 && info.sizeImage < needed) return refuse(reason, damaged);
  if (!readUpTo(file.get(), blocks.pixels, static_cast<std::size_t>(needed))) return refuse(reason, damaged);
  return blocks;
}

std::optional<RgbImage> bmpToRgb(const BmpBlocks& blocks) {
  const BmpInfo info = bmpInfo(blocks.header);
  const bool topDown = info.height < 0;
  const std::int64_t height = topDown ? -static_cast<std::int64_t>(info.height) : info.height;
  const std::int64_t stride = rowBytes(info);
  if (info.width <= 0 || height <= 0 || !shownPicture(info) ||
      static_cast<std::int64_t>(blocks.pixels.size()) < stride * height) {
    return std::nullopt;
  }
  // The colour table follows the info header (whatever its size) as B, G, R, 0.
  std::vector<std::array<std::uint8_t, 3>> palette;
  if (palettePicture(info)) {
    ByteCursor table(blocks.header);
    const std::uint32_t headerSize = table.u32le();
    table.seek(headerSize);
    std::uint32_t entries = info.colorsUsed != 0 ? info.colorsUsed : 1u << info.bitCount;
    entries = std::min<std::uint32_t>(entries, 1u << info.bitCount);
    for (std::uint32_t k = 0; k < entries && table.holds(1, 4); ++k) {
      const std::uint8_t b = table.u8(), g = table.u8(), r = table.u8();
      table.u8();
      palette.push_back({r, g, b});
    }
  }
  RgbImage image;
  image.width = info.width;
  image.height = static_cast<int>(height);
  image.pixels.assign(static_cast<std::size_t>(info.width) * static_cast<std::size_t>(height) * 3, 0);
  const int bits = info.bitCount;
  for (std::int64_t y = 0; y < height; ++y) {
    // Rows bottom first in the image, whichever order the file keeps.
    const std::uint8_t* row = blocks.pixels.data() + (topDown ? height - 1 - y : y) * stride;
    std::uint8_t* target = image.pixels.data() + static_cast<std::size_t>(y * info.width * 3);
    for (std::int32_t x = 0; x < info.width; ++x, target += 3) {
      if (bits >= 24) {
        const std::uint8_t* p = row + static_cast<std::size_t>(x) * static_cast<std::size_t>(bits / 8);
        target[0] = p[2], target[1] = p[1], target[2] = p[0];
        continue;
      }
      const std::size_t bit = static_cast<std::size_t>(x) * static_cast<std::size_t>(bits);
      const unsigned index = (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
      if (index < palette.size()) std::copy(palette[index].begin(), palette[index].end(), target);
    }
  }
  return image;
}

std::vector<std::uint8_t> makeBmpInfoHeader(std::int32_t width, std::int32_t height) {
  std::vector<std::uint8_t> info(kBmpInfoHeaderSize, 0);
  std::uint8_t* h = info.data();
  put32(h, kBmpInfoHeaderSize);
  put32(h + 4, static_cast<std::uint32_t>(width));
  put32(h + 8, static_cast<std::uint32_t>(height));
  put16(h + 12, 1);
  put16(h + 14, 24);
  put32(h + 16, 0);
  put32(h + 20, static_cast<std::uint32_t>(bmpStride(width) * height));
  put32(h + 24, 2952);
  put32(h + 28, 2952);
  return info;
}

WriteResult writeBmp(const char* path, const std::vector<std::uint8_t>& info,
                     const std::vector<std::uint8_t>& pixels) {
  const std::uint32_t dataSize = bmpInfo(info).sizeImage;
  if (info.size() < kBmpInfoHeaderSize || dataSize > pixels.size()) return {false, "the picture is incomplete"};
  FileReplacement output(path);
  std::FILE* file = output.file();
  if (file == nullptr) return output.commit();
  std::uint8_t header[kBmpFileHeaderSize] = {};
  put16(header, 0x4D42);
  put32(header + 2, kBmpFileHeaderSize + kBmpInfoHeaderSize + dataSize);
  put32(header + 10, kBmpFileHeaderSize + kBmpInfoHeaderSize);
  std::fwrite(header, 1, sizeof header, file);
  std::fwrite(info.data(), 1, kBmpInfoHeaderSize, file);
  if (dataSize > 0) std::fwrite(pixels.data(), 1, dataSize, file);
  return output.commit();
}
