#pragma once
// Writing a file where its name leads, whole or not at all where that can
// be had:
// - a regular file (or none yet): the bytes go to a temporary file in the
//   target's folder, which takes the target's name only once everything is
//   written and flushed to disk; it keeps the old file's mode, owner and
//   group. A failure leaves any earlier file as it was and no temporary
//   file behind.
// - a symbolic link (through any number of links): the file it finally
//   names is the one written, in that file's folder; the link stays.
// - a regular file with other hard links: written aside first, then copied
//   into the file itself, so that every name keeps seeing it.
// - a device, FIFO or socket, and kStandardOutput: written straight into
//   it; a write or flush error is the failure.

#include <cstdio>
#include <string>

struct stat;

// What became of a file the program writes, with the system's reason when
// it could not be written.
struct WriteResult {
  bool written = false;
  std::string reason;
  explicit operator bool() const { return written; }
};

// Names the process's standard output, whatever it is (a pipe, a terminal,
// a file the shell opened), rather than a file of that name.
inline constexpr const char* kStandardOutput = "/dev/stdout";

class FileReplacement {
 public:
  explicit FileReplacement(const std::string& target);
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Where to write; nullptr when the output could not be opened.
  std::FILE* file() const { return file_; }
  // Finishes the file and puts it in place of the target.
  WriteResult commit();

 private:
  enum class Way { Replace, CopyIn, Straight };
  void openAside(const std::string& folder, const struct stat* existing);
  void openStraight(int descriptor);

  std::string target_, temporary_, reason_;
  Way way_ = Way::Replace;
  std::FILE* file_ = nullptr;
};
