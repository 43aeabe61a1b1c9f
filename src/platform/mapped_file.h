#pragma once
// A regular file mapped read-only, whole, for readers that scan it in place.
//
// A mapped file that another program shortens while it is read would end the
// process with SIGBUS at the first page past its new end. While a MappedFile
// lives, such pages read as zeros instead, and shrank() tells the reader
// afterwards that what it read is not the file.

#include <cstddef>
#include <cstdint>
#include <memory>

class MappedFile {
 public:
  // Maps `size` bytes of the open file from its start; nullptr when the
  // system will not map it (the caller reads the file as a stream then).
  static std::unique_ptr<MappedFile> map(int descriptor, std::uint64_t size);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  const char* data() const { return data_; }
  std::size_t size() const { return size_; }
  // True when the file is now shorter than it was mapped, or a page past its
  // end was read.
  bool shrank() const;

 private:
  MappedFile(int descriptor, const char* data, std::size_t size, int slot)
      : descriptor_(descriptor), data_(data), size_(size), slot_(slot) {}
  int descriptor_;
  const char* data_;
  std::size_t size_;
  int slot_;  // in the table the SIGBUS handler looks the address up in
};

// Gives back the whole pages of a mapped file that lie in [from, to): read
// once, they are read again from the file if ever needed. Text that is not
// in a mapped file is left as it is.
void releaseMappedPages(const char* from, const char* to);
