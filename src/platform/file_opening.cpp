#include "platform/file_opening.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace {

// The stream's bytes in a temporary file, or nothing (errno set) when it
// cannot be copied or goes on past kLargestStream.
FileHandle copyOfStream(std::FILE* stream) {
  FileHandle copy(std::tmpfile());
  if (!copy) return copy;
  char chunk[1 << 16];
  std::uint64_t total = 0;
  for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, stream)) > 0;) {
    total += got;
    if (total > kLargestStream) {
      errno = EFBIG;
      return nullptr;
    }
    if (std::fwrite(chunk, 1, got, copy.get()) != got) return nullptr;
  }
  if (std::ferror(stream) != 0 || std::fflush(copy.get()) != 0) return nullptr;
  std::rewind(copy.get());
  return copy;
}

}  // namespace

FileHandle openForReading(const char* name, const char* mode) {
  FileHandle file(std::fopen(name, mode));
  struct stat info {};
  if (!file || fstat(fileno(file.get()), &info) != 0 || S_ISREG(info.st_mode)) return file;
  if (S_ISDIR(info.st_mode)) {
    errno = EISDIR;
    return nullptr;
  }
  return copyOfStream(file.get());
}

std::string openFailureReason(int error) {
  if (error == EISDIR) return "is a folder";
  if (error == EFBIG) return "is damaged or truncated";
  return std::strerror(error);
}
