#include "platform/file_replacement.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

std::string systemReason(int error) { return std::strerror(error); }

// A new file gets the mode a plain fopen would give it; a replaced one keeps its own.
mode_t modeFor(const std::string& target) {
  struct stat info {};
  if (stat(target.c_str(), &info) == 0) return info.st_mode & 07777;
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

FileReplacement::FileReplacement(const std::string& target) : target_(target) {
  struct stat info {};
  if (stat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    reason_ = "is a folder";
    return;
  }
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  std::string pattern = folder + (slash == std::string::npos ? "/" : "") + ".tessera-XXXXXX";
  const int descriptor = mkstemp(pattern.data());
  if (descriptor < 0) {
    reason_ = systemReason(errno);
    return;
  }
  fchmod(descriptor, modeFor(target));
  temporary_ = pattern;
  file_ = fdopen(descriptor, "w");
  if (file_ == nullptr) {
    reason_ = systemReason(errno);
    close(descriptor);
    unlink(temporary_.c_str());
    temporary_.clear();
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
  int error = 0;
  if (std::fflush(file_) != 0 || std::ferror(file_) != 0) error = errno != 0 ? errno : EIO;
  if (error == 0 && fsync(fileno(file_)) != 0) error = errno;
  if (std::fclose(file_) != 0 && error == 0) error = errno;
  file_ = nullptr;
  if (error == 0 && std::rename(temporary_.c_str(), target_.c_str()) != 0) error = errno;
  if (error != 0) {
    result.reason = systemReason(error);
    return result;  // the destructor removes the temporary file
  }
  temporary_.clear();
  result.written = true;
  return result;
}
