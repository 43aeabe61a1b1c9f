#include "pictures/gif_file.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <unordered_map>

namespace {

// Colours are sorted into boxes over 5 bits a channel: fine enough to tell
// apart any colours a palette of 256 can, coarse enough to count quickly.
constexpr int kBits = 5;
constexpr int kLevels = 1 << kBits;

int cellOf(const std::uint8_t* rgb) {
  return (rgb[0] >> (8 - kBits)) << (2 * kBits) | (rgb[1] >> (8 - kBits)) << kBits | (rgb[2] >> (8 - kBits));
}

struct Box {
  std::vector<int> cells;  // cells with pixels in them
  std::uint64_t pixels = 0;
};

// The channel along which the box's cells spread widest, and how wide.
std::pair<int, int> widestChannel(const Box& box) {
  int low[3] = {kLevels, kLevels, kLevels}, high[3] = {-1, -1, -1};
  for (int cell : box.cells) {
    const int c[3] = {cell >> (2 * kBits), (cell >> kBits) & (kLevels - 1), cell & (kLevels - 1)};
    for (int k = 0; k < 3; ++k) low[k] = std::min(low[k], c[k]), high[k] = std::max(high[k], c[k]);
  }
  int best = 0;
  for (int k = 1; k < 3; ++k) {
    if (high[k] - low[k] > high[best] - low[best]) best = k;
  }
  return {best, high[best] - low[best]};
}

int channelOf(int cell, int channel) {
  return channel == 0 ? cell >> (2 * kBits) : channel == 1 ? (cell >> kBits) & (kLevels - 1) : cell & (kLevels - 1);
}

std::size_t paletteSizeFor(std::size_t colours) {
  std::size_t size = 2;
  while (size < colours) size *= 2;
  return size;
}

}  // namespace

PalettedFrame paletteFrame(const RgbImage& frame) {
  PalettedFrame out;
  const std::size_t count = static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height);
  out.indices.resize(count);
  // Exact where the frame has few colours, as a drawn frame often has.
  std::unordered_map<std::uint32_t, std::uint8_t> exact;
  bool few = true;
  for (std::size_t i = 0; i < count && few; ++i) {
    const std::uint8_t* p = &frame.pixels[3 * i];
    const std::uint32_t key = static_cast<std::uint32_t>(p[0]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[2];
    auto found = exact.find(key);
    if (found == exact.end()) {
      if (exact.size() == 256) {
        few = false;
        break;
      }
      found = exact.emplace(key, static_cast<std::uint8_t>(exact.size())).first;
      out.palette.insert(out.palette.end(), {p[0], p[1], p[2]});
    }
    out.indices[i] = found->second;
  }
  if (few) {
    out.palette.resize(3 * paletteSizeFor(exact.size()), 0);
    return out;
  }
  // Median cut over the counted cells: the box of the most pixels that can
  // still be split is cut at the median of its widest channel.
  std::vector<std::uint64_t> histogram(kLevels * kLevels * kLevels, 0);
  std::vector<std::array<std::uint64_t, 3>> sums(histogram.size(), {0, 0, 0});
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* p = &frame.pixels[3 * i];
    const int cell = cellOf(p);
    ++histogram[static_cast<std::size_t>(cell)];
    for (int k = 0; k < 3; ++k) sums[static_cast<std::size_t>(cell)][static_cast<std::size_t>(k)] += p[k];
  }
  std::vector<Box> boxes(1);
  for (int cell = 0; cell < static_cast<int>(histogram.size()); ++cell) {
    if (histogram[static_cast<std::size_t>(cell)] == 0) continue;
    boxes[0].cells.push_back(cell);
    boxes[0].pixels += histogram[static_cast<std::size_t>(cell)];
  }
  while (boxes.size() < 256) {
    std::size_t pick = boxes.size();
    for (std::size_t b = 0; b < boxes.size(); ++b) {
      if (boxes[b].cells.size() > 1 && (pick == boxes.size() || boxes[b].pixels > boxes[pick].pixels)) pick = b;
    }
    if (pick == boxes.size()) break;
    Box& box = boxes[pick];
    const int channel = widestChannel(box).first;
    std::sort(box.cells.begin(), box.cells.end(),
              [channel](int a, int b) { return channelOf(a, channel) < channelOf(b, channel); });
    std::uint64_t seen = 0;
    std::size_t cut = 1;
    for (; cut < box.cells.size(); ++cut) {
      seen += histogram[static_cast<std::size_t>(box.cells[cut - 1])];
      if (seen * 2 >= box.pixels) break;
    }
    cut = std::min(cut, box.cells.size() - 1);
    Box upper;
    upper.cells.assign(box.cells.begin() + static_cast<std::ptrdiff_t>(cut), box.cells.end());
    box.cells.resize(cut);
    box.pixels = 0;
    for (int cell : box.cells) box.pixels += histogram[static_cast<std::size_t>(cell)];
    for (int cell : upper.cells) upper.pixels += histogram[static_cast<std::size_t>(cell)];
    boxes.push_back(std::move(upper));
  }
  // Each box's colour is the mean of its pixels; each cell takes the entry
  // nearest its own mean colour.
  out.palette.clear();
  for (const Box& box : boxes) {
    std::array<std::uint64_t, 3> total = {0, 0, 0};
    for (int cell : box.cells) {
      for (std::size_t k = 0; k < 3; ++k) total[k] += sums[static_cast<std::size_t>(cell)][k];
    }
    for (std::size_t k = 0; k < 3; ++k) out.palette.push_back(static_cast<std::uint8_t>(total[k] / std::max<std::uint64_t>(box.pixels, 1)));
  }
  const std::size_t entries = boxes.size();
  std::vector<std::uint8_t> entryOfCell(histogram.size(), 0);
  for (std::size_t cell = 0; cell < histogram.size(); ++cell) {
    if (histogram[cell] == 0) continue;
    int mean[3];
    for (std::size_t k = 0; k < 3; ++k) mean[k] = static_cast<int>(sums[cell][k] / histogram[cell]);
    int best = 0, bestDistance = 1 << 30;
    for (std::size_t e = 0; e < entries; ++e) {
      const std::uint8_t* c = &out.palette[3 * e];
      const int d = (c[0] - mean[0]) * (c[0] - mean[0]) + (c[1] - mean[1]) * (c[1] - mean[1]) + (c[2] - mean[2]) * (c[2] - mean[2]);
      if (d < bestDistance) bestDistance = d, best = static_cast<int>(e);
    }
    entryOfCell[cell] = static_cast<std::uint8_t>(best);
  }
  for (std::size_t i = 0; i < count; ++i) out.indices[i] = entryOfCell[static_cast<std::size_t>(cellOf(&frame.pixels[3 * i]))];
  out.palette.resize(3 * paletteSizeFor(entries), 0);
  return out;
}

std::vector<std::uint8_t> lzwCompress(const std::vector<std::uint8_t>& indices, int minCodeSize) {
  std::vector<std::uint8_t> out;
  std::uint32_t buffer = 0;
  int bits = 0;
  int codeSize = minCodeSize + 1;
  const auto emit = [&](int code) {
    buffer |= static_cast<std::uint32_t>(code) << bits;
    bits += codeSize;
    while (bits >= 8) {
      out.push_back(static_cast<std::uint8_t>(buffer & 0xFF));
      buffer >>= 8;
      bits -= 8;
    }
  };
  const int clear = 1 << minCodeSize, end = clear + 1;
  // Each string as (its prefix's code, next index) -> its code.
  std::unordered_map<std::uint32_t, int> table;
  int next = end + 1;
  emit(clear);
  int prefix = -1;
  for (std::uint8_t index : indices) {
    if (prefix < 0) {
      prefix = index;
      continue;
    }
    const std::uint32_t key = static_cast<std::uint32_t>(prefix) << 8 | index;
    if (const auto found = table.find(key); found != table.end()) {
      prefix = found->second;
      continue;
    }
    emit(prefix);
    if (next < 4096) {
      table.emplace(key, next);
      // The decoder widens its codes one code later than the encoder adds them.
      if (next == (1 << codeSize)) ++codeSize;
      ++next;
    } else {
      emit(clear);
      table.clear();
      next = end + 1;
      codeSize = minCodeSize + 1;
    }
    prefix = index;
  }
  if (prefix >= 0) emit(prefix);
  emit(end);
  if (bits > 0) out.push_back(static_cast<std::uint8_t>(buffer & 0xFF));
  return out;
}

GifWriter::GifWriter(const std::string& path, int width, int height)
    : output_(std::make_unique<FileReplacement>(path)), width_(width), height_(height) {
  std::FILE* f = output_->file();
  if (f == nullptr) {
    ok_ = false;
    return;
  }
  const auto u16 = [f](int v) {
    std::fputc(v & 0xFF, f);
    std::fputc((v >> 8) & 0xFF, f);
  };
  std::fwrite("GIF89a", 1, 6, f);
  u16(width);
  u16(height);
  std::fputc(0x00, f);  // no global palette: each frame has its own
  std::fputc(0, f);
  std::fputc(0, f);
  // Loop for ever.
  std::fwrite("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 1, 19, f);
}

GifWriter::~GifWriter() = default;

bool GifWriter::addFrame(const RgbImage& frame, int centiseconds) {
  std::FILE* f = output_->file();
  if (!ok_ || f == nullptr || frame.width != width_ || frame.height != height_) return ok_ = false;
  const PalettedFrame paletted = paletteFrame(frame);
  const std::size_t entries = paletted.palette.size() / 3;
  int bits = 1;
  while ((std::size_t{1} << bits) < entries) ++bits;
  const auto u16 = [f](int v) {
    std::fputc(v & 0xFF, f);
    std::fputc((v >> 8) & 0xFF, f);
  };
  // Graphic control: the delay, no transparency, each frame drawn over whole.
  std::fwrite("\x21\xF9\x04\x04", 1, 4, f);
  u16(std::clamp(centiseconds, 0, 65535));
  std::fputc(0, f);
  std::fputc(0, f);
  // The image: the whole area, a palette of its own.
  std::fputc(0x2C, f);
  u16(0);
  u16(0);
  u16(width_);
  u16(height_);
  std::fputc(0x80 | (bits - 1), f);
  std::fwrite(paletted.palette.data(), 1, paletted.palette.size(), f);
  const int minCodeSize = std::max(bits, 2);
  std::fputc(minCodeSize, f);
  const std::vector<std::uint8_t> codes = lzwCompress(paletted.indices, minCodeSize);
  for (std::size_t at = 0; at < codes.size(); at += 255) {
    const std::size_t n = std::min<std::size_t>(255, codes.size() - at);
    std::fputc(static_cast<int>(n), f);
    std::fwrite(codes.data() + at, 1, n, f);
  }
  std::fputc(0, f);
  return ok_ = std::ferror(f) == 0;
}

WriteResult GifWriter::finish() {
  if (std::FILE* f = output_->file(); f != nullptr && ok_) std::fputc(0x3B, f);
  if (!ok_ && output_->file() != nullptr) {
    // Never leave half a picture: the target keeps what it had.
    output_.reset();
    return {false, "could not be written"};
  }
  return output_->commit();
}
