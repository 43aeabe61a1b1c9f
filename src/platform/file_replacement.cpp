#include "platform/file_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

std::string systemReason(int error) { return std::strerror(error); }

std::string folderOf(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  return slash == std::string::npos ? "./" : name.substr(0, slash + 1);
}

// A new file gets the mode a plain fopen would give it.
mode_t newFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Pipes, terminals and most devices cannot be synced; that is no failure.
bool syncFailed(int descriptor) {
  if (fsync(descriptor) == 0) return false;
  return errno != EINVAL && errno != EROFS && errno != ENOTSUP;
}

// The bytes of one file appended to another, all of them or a reason.
int copyAll(int from, int to) {
  char chunk[1 << 16];
  for (;;) {
    const ssize_t got = read(from, chunk, sizeof chunk);
    if (got == 0) return 0;
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = write(to, chunk + done, static_cast<std::size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return put < 0 ? errno : EIO;
      done += put;
    }
  }
}

// The file a name finally leads to through symbolic links (the name itself
// when it is no link); a dangling link's target, which may not exist yet.
// Empty with the reason when the links go round or too deep.
std::string followLinks(const std::string& name, std::string* reason) {
  std::string at = name;
  // The kernel's own limit on links in one lookup.
  for (int hop = 0; hop < 40; ++hop) {
    struct stat info {};
    if (lstat(at.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return at;
    char target[PATH_MAX];
    const ssize_t length = readlink(at.c_str(), target, sizeof target);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof target) {
      if (reason != nullptr) *reason = systemReason(length < 0 ? errno : ENAMETOOLONG);
      return {};
    }
    const std::string next(target, static_cast<std::size_t>(length));
    at = next.front() == '/' ? next : folderOf(at) + next;
  }
  if (reason != nullptr) *reason = systemReason(ELOOP);
  return {};
}

}  // namespace


FileReplacement::FileReplacement(const std::string& target) : target_(target) {
  if (target == kStandardOutput) {
    const int descriptor = fcntl(1, F_DUPFD_CLOEXEC, 3);
    if (descriptor < 0) {
      reason_ = systemReason(errno);
      return;
    }
    openStraight(descriptor);
    return;
  }
  target_ = followLinks(target, &reason_);
  if (target_.empty()) return;
  struct stat info {};
  if (lstat(target_.c_str(), &info) != 0) {
    openAside(folderOf(target_), nullptr);
    return;
  }
  if (S_ISDIR(info.st_mode)) {
    reason_ = "is a folder";
    return;
  }
  if (!S_ISREG(info.st_mode)) {
    // A FIFO waits here for its reader, as any writer to one does.
    const int descriptor = open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
      reason_ = systemReason(errno);
      return;
    }
    openStraight(descriptor);
    return;
  }
  way_ = info.st_nlink > 1 ? Way::CopyIn : Way::Replace;
  openAside(folderOf(target_), &info);
}

void FileReplacement::openAside(const std::string& folder, const struct stat* existing) {
  std::string pattern = folder + ".tessera-XXXXXX";
  const int descriptor = mkstemp(pattern.data());
  if (descriptor < 0) {
    reason_ = systemReason(errno);
    return;
  }
  if (existing != nullptr) {
    // Only root may give a file away; for anyone else the new file is theirs.
    [[maybe_unused]] const int given = fchown(descriptor, existing->st_uid, existing->st_gid);
    fchmod(descriptor, existing->st_mode & 07777);  // after fchown, which may clear set-id bits
  } else {
    fchmod(descriptor, newFileMode());
  }
  temporary_ = pattern;
  file_ = fdopen(descriptor, "w");
  if (file_ == nullptr) {
    reason_ = systemReason(errno);
    close(descriptor);
    unlink(temporary_.c_str());
    temporary_.clear();
  }
}

void FileReplacement::openStraight(int descriptor) {
  way_ = Way::Straight;
  file_ = fdopen(descriptor, "w");
  if (file_ == nullptr) {
    reason_ = systemReason(errno);
    close(descriptor);
  }
}

FileReplacement::~FileReplacement() {
  if (file_ != nullptr) std::fclose(file_);
  if (!temporary_.empty()) unlink(temporary_.c_str());
}

WriteResult FileReplacement::commit() {
  WriteResult result;
  if (file_ == nullptr) {
    result.reason = reason_.empty() ? "cannot be written" : reason_;
    return result;
  }
  // A writer that saw a write fail leaves the reason in errno; the flush
  // then fails again on a device that is full.
  const int earlier = errno;
  errno = 0;
  int error = 0;
  if (std::fflush(file_) != 0 || std::ferror(file_) != 0) error = errno != 0 ? errno : earlier != 0 ? earlier : EIO;
  if (error == 0) {
    if (way_ == Way::Straight ? syncFailed(fileno(file_)) : fsync(fileno(file_)) != 0) error = errno;
  }
  if (std::fclose(file_) != 0 && error == 0) error = errno;
  file_ = nullptr;
  if (error == 0 && way_ == Way::Replace && std::rename(temporary_.c_str(), target_.c_str()) != 0) error = errno;
  if (error == 0 && way_ == Way::CopyIn) {
    // Every name of the file sees the new bytes; a failure from here on
    // leaves the file cut short or partly written.
    const int from = open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
    const int to = from < 0 ? -1 : open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (from < 0 || to < 0) error = errno;
    if (error == 0) error = copyAll(from, to);
    if (error == 0 && fsync(to) != 0) error = errno;
    if (to >= 0 && close(to) != 0 && error == 0) error = errno;
    if (from >= 0) close(from);
    // the destructor removes the temporary file
  }
  if (error != 0) {
    result.reason = systemReason(error);
    return result;  // the destructor removes the temporary file
  }
  if (way_ == Way::Replace) temporary_.clear();
  result.written = true;
  return result;
}
