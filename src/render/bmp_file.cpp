#include "render/bmp_file.h"

#include <cstdio>
#include <cstring>

#include "formats/byte_cursor.h"
#include "formats/reader_support.h"

namespace {

constexpr std::int32_t kLargestSide = 32768;

void put32(std::uint8_t* p, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) p[k] = static_cast<std::uint8_t>(v >> (8 * k));
}
void put16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

bool readExactly(std::FILE* file, std::vector<std::uint8_t>& block, std::size_t size) {
  block.resize(size);
  return size == 0 || std::fread(block.data(), 1, size, file) == size;
}

bool convertsPixels(const BmpInfo& info) { return info.compression == 0 && info.bitCount == 24; }

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
  return info;
}

std::optional<BmpBlocks> loadBmp(const char* path) {
  FileHandle file = openForReading(path, "rb");
  if (!file) return std::nullopt;
  std::uint8_t fileHeader[kBmpFileHeaderSize];
  if (std::fread(fileHeader, 1, sizeof fileHeader, file.get()) != sizeof fileHeader) return std::nullopt;
  ByteCursor in(fileHeader, sizeof fileHeader);
  if (in.u16le() != 0x4D42) return std::nullopt;
  in.skip(8);  // file size, reserved
  const std::uint32_t offBits = in.u32le();
  if (offBits < kBmpFileHeaderSize + kBmpInfoHeaderSize || offBits > (1u << 24)) return std::nullopt;

  BmpBlocks blocks;
  if (!readExactly(file.get(), blocks.header, offBits - kBmpFileHeaderSize)) return std::nullopt;
  const BmpInfo info = bmpInfo(blocks.header);
  // Top-down pictures (negative height) are not shown either.
  if (info.width <= 0 || info.width > kLargestSide || info.height <= 0 ||
      info.height > kLargestSide) {
    return std::nullopt;
  }
  std::int64_t size = info.sizeImage;
  if (size == 0) {
    size = static_cast<std::int64_t>(info.height) *
           ((static_cast<std::int64_t>(info.bitCount) * info.width + 31) / 32) * 4;
  }
  // A 24-bit picture is converted row by row: its block must hold them all.
  const std::int64_t needed = bmpStride(info.width) * info.height;
  if (convertsPixels(info) && size < needed) return std::nullopt;
  if (size > (std::int64_t{1} << 32)) return std::nullopt;
  if (!readExactly(file.get(), blocks.pixels, static_cast<std::size_t>(size))) return std::nullopt;
  return blocks;
}

std::optional<RgbImage> bmpToRgb(const BmpBlocks& blocks) {
  const BmpInfo info = bmpInfo(blocks.header);
  if (info.width <= 0 || info.height <= 0) return std::nullopt;
  RgbImage image;
  image.width = info.width;
  image.height = info.height;
  image.pixels.assign(static_cast<std::size_t>(info.width) * static_cast<std::size_t>(info.height) * 3, 0);
  if (!convertsPixels(info)) return image;  // a black picture
  const std::size_t stride = static_cast<std::size_t>(bmpStride(info.width));
  if (blocks.pixels.size() < stride * static_cast<std::size_t>(info.height)) return std::nullopt;
  for (std::size_t y = 0; y < static_cast<std::size_t>(info.height); ++y) {
    const std::uint8_t* source = blocks.pixels.data() + y * stride;
    std::uint8_t* target = image.pixels.data() + y * static_cast<std::size_t>(info.width) * 3;
    for (std::size_t x = 0; x < static_cast<std::size_t>(info.width); ++x) {
      target[3 * x] = source[3 * x + 2];
      target[3 * x + 1] = source[3 * x + 1];
      target[3 * x + 2] = source[3 * x];
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

int writeBmp(const char* path, const std::vector<std::uint8_t>& info,
             const std::vector<std::uint8_t>& pixels) {
  if (info.size() < kBmpInfoHeaderSize) return -1;
  FileHandle file(std::fopen(path, "wb"));
  if (!file) return -1;
  const std::uint32_t dataSize = bmpInfo(info).sizeImage;
  if (dataSize > pixels.size()) return -1;
  std::uint8_t header[kBmpFileHeaderSize] = {};
  put16(header, 0x4D42);
  put32(header + 2, kBmpFileHeaderSize + kBmpInfoHeaderSize + dataSize);
  put32(header + 10, kBmpFileHeaderSize + kBmpInfoHeaderSize);
  if (std::fwrite(header, 1, sizeof header, file.get()) != sizeof header ||
      std::fwrite(info.data(), 1, kBmpInfoHeaderSize, file.get()) != kBmpInfoHeaderSize ||
      (dataSize > 0 && std::fwrite(pixels.data(), 1, dataSize, file.get()) != dataSize)) {
    return -1;
  }
  return std::fclose(file.release()) == 0 ? 0 : -1;
}
