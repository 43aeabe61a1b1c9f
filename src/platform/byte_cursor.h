#pragma once
// Bounds-checked reading of a binary file held in memory, in either byte
// order. A read past the end of the data fails, returns zero and marks the
// cursor damaged; nothing is ever read outside the data.

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

class ByteCursor {
 public:
  ByteCursor(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  explicit ByteCursor(const std::vector<std::uint8_t>& bytes) : ByteCursor(bytes.data(), bytes.size()) {}

  std::size_t tell() const { return pos_; }
  std::size_t size() const { return size_; }
  std::size_t remaining() const { return size_ - pos_; }
  bool damaged() const { return damaged_; }
  bool atEnd() const { return pos_ >= size_; }

  // Moves to an absolute position; a position past the end marks damage.
  bool seek(std::uint64_t position) {
    if (position > size_) return fail();
    pos_ = static_cast<std::size_t>(position);
    return true;
  }
  bool skip(std::uint64_t count) {
    if (count > remaining()) return fail();
    pos_ += static_cast<std::size_t>(count);
    return true;
  }
  // True when `count` records of `recordSize` bytes fit in what is left:
  // the check before any allocation a stated count drives.
  bool holds(std::uint64_t count, std::uint64_t recordSize) const {
    return recordSize == 0 || count <= remaining() / recordSize;
  }

  std::uint8_t u8() {
    std::uint8_t value = 0;
    take(&value, 1);
    return value;
  }
  std::uint16_t u16le() { return static_cast<std::uint16_t>(little(2)); }
  std::uint32_t u32le() { return static_cast<std::uint32_t>(little(4)); }
  std::int32_t i32le() { return static_cast<std::int32_t>(u32le()); }
  float f32le() { return asFloat(u32le()); }
  std::uint16_t u16be() { return static_cast<std::uint16_t>(big(2)); }
  std::uint32_t u32be() { return static_cast<std::uint32_t>(big(4)); }
  float f32be() { return asFloat(u32be()); }

  // The next n bytes as text (for tags and signatures); empty on damage.
  std::string_view text(std::size_t n) {
    if (n > remaining()) {
      fail();
      return {};
    }
    std::string_view view(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ += n;
    return view;
  }

  // Marks the data damaged (a stated size that cannot be true, say).
  bool fail() {
    damaged_ = true;
    pos_ = size_;
    return false;
  }

 private:
  bool take(void* out, std::size_t n) {
    if (n > remaining()) return fail();
    std::memcpy(out, data_ + pos_, n);
    pos_ += n;
    return true;
  }
  std::uint64_t little(std::size_t n) {
    std::uint8_t b[4] = {};
    if (!take(b, n)) return 0;
    std::uint64_t value = 0;
    for (std::size_t k = n; k-- > 0;) value = (value << 8) | b[k];
    return value;
  }
  std::uint64_t big(std::size_t n) {
    std::uint8_t b[4] = {};
    if (!take(b, n)) return 0;
    std::uint64_t value = 0;
    for (std::size_t k = 0; k < n; ++k) value = (value << 8) | b[k];
    return value;
  }
  static float asFloat(std::uint32_t bits) {
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
  bool damaged_ = false;
};
