#pragma once
// Opening a binary model file into memory for a ByteCursor.

#include <sys/stat.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/byte_cursor.h"
#include "formats/reader_support.h"
#include "platform/mapped_file.h"

// The file's bytes into `bytes`: a result that is true, or the reader's
// "no model" with its reason (damage already reported).
inline ReadResult loadBinaryFile(const char* name, std::vector<std::uint8_t>& bytes) {
  FileHandle file = openForReading(name, "rb");
  if (!file) return refuseUnopened(name);
  return readWholeFile(file.get(), bytes) ? ReadResult(Model{}) : refuseUnopened(name);
}

// A model file's bytes for readers that go over big files: a regular file of
// a megabyte or more is mapped (no copy, no second buffer; pages come in as
// they are first read, so a header refused costs nothing of the rest),
// anything else is read into memory.
class FileBytes {
 public:
  // A result that is true, or the reader's "no model".
  ReadResult load(const char* name) {
    file_ = openForReading(name, "rb");
    if (!file_) return refuseUnopened(name);
    struct stat info {};
    if (fstat(fileno(file_.get()), &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= (1 << 20)) {
      mapped_ = MappedFile::map(fileno(file_.get()), static_cast<std::uint64_t>(info.st_size));
      if (mapped_ != nullptr) return ReadResult(Model{});
    }
    return readWholeFile(file_.get(), copy_) ? ReadResult(Model{}) : refuseUnopened(name);
  }
  const std::uint8_t* data() const {
    return mapped_ != nullptr ? reinterpret_cast<const std::uint8_t*>(mapped_->data()) : copy_.data();
  }
  std::size_t size() const { return mapped_ != nullptr ? mapped_->size() : copy_.size(); }
  // True when the file was shortened while it was mapped: what was read
  // (zeros past its new end) is not the file.
  bool shrank() const { return mapped_ != nullptr && mapped_->shrank(); }

 private:
  FileHandle file_;
  std::unique_ptr<MappedFile> mapped_;
  std::vector<std::uint8_t> copy_;
};

// The number `size` bytes of raw bits stand for (the bits already put in
// order, the first byte of a big-endian number highest): a 4- or 8-byte
// float, or a whole number, signed or not. The readers of typed arrays
// (VTK's binary sections, VTK XML data arrays) share it.
inline double numberFromBits(std::uint64_t bits, std::size_t size, bool isFloat, bool isSigned) {
  if (isFloat && size == 4) {
    float value = 0;
    const auto narrow = static_cast<std::uint32_t>(bits);
    std::memcpy(&value, &narrow, sizeof value);
    return value;
  }
  if (isFloat) {
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  if (isSigned && size < 8 && (bits >> (8 * size - 1)) != 0) bits |= ~std::uint64_t{0} << (8 * size);
  return isSigned ? static_cast<double>(static_cast<std::int64_t>(bits)) : static_cast<double>(bits);
}
