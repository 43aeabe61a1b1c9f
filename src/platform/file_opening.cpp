#include "platform/file_opening.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/read_progress.h"

namespace {

// The stream's bytes in a temporary file, or nothing (errno set) when it
// cannot be copied, goes on past kLargestStream or the read is cancelled.
// The stream does not block: a pipe without a writer waits here, looking
// for a cancel ten times a second.
FileHandle copyOfStream(int stream) {
  FileHandle copy(std::tmpfile());
  if (!copy) return copy;
  char chunk[1 << 16];
  std::uint64_t total = 0;
  for (;;) {
    pollfd ready{stream, POLLIN, 0};
    const int polled = poll(&ready, 1, 100);
    if (readCancelled()) {
      errno = ECANCELED;
      return nullptr;
    }
    if (polled < 0 && errno != EINTR) return nullptr;
    if (polled <= 0) continue;
    const ssize_t got = read(stream, chunk, sizeof chunk);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (got < 0) return nullptr;
    if (got == 0) break;
    total += static_cast<std::uint64_t>(got);
    if (total > kLargestStream) {
      errno = EFBIG;
      return nullptr;
    }
    if (std::fwrite(chunk, 1, static_cast<std::size_t>(got), copy.get()) != static_cast<std::size_t>(got)) return nullptr;
  }
  if (std::fflush(copy.get()) != 0) return nullptr;
  std::rewind(copy.get());
  return copy;
}

}  // namespace

FileHandle openForReading(const char* name, const char* mode) {
  // Opened without waiting: a FIFO would hold open() until a writer came.
  const int descriptor = open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return nullptr;
  struct stat info {};
  FileHandle file;
  if (fstat(descriptor, &info) != 0) {
    // errno says why
  } else if (S_ISDIR(info.st_mode)) {
    errno = EISDIR;
  } else if (!S_ISREG(info.st_mode)) {
    file = copyOfStream(descriptor);
  } else if (fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) == 0) {
    file = FileHandle(fdopen(descriptor, mode));
    if (file) return file;
  }
  const int error = errno;
  close(descriptor);
  errno = error;
  return file;
}

std::string openFailureReason(int error) {
  if (error == EISDIR) return "is a folder";
  if (error == EFBIG) return "is damaged or truncated";
  return std::strerror(error);
}
