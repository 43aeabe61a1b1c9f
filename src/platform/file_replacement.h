#pragma once
// Writing a file whole or not at all: the bytes go to a temporary file in
// the target's folder, which takes the target's name only once everything
// is written and flushed to disk. A failure leaves any earlier file as it
// was and no temporary file behind.

#include <cstdio>
#include <string>

// What became of a file the program writes, with the system's reason when
// it could not be written.
struct WriteResult {
  bool written = false;
  std::string reason;
  explicit operator bool() const { return written; }
};

class FileReplacement {
 public:
  explicit FileReplacement(const std::string& target);
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Where to write; nullptr when the temporary file could not be made.
  std::FILE* file() const { return file_; }
  // Finishes the file and puts it in place of the target.
  WriteResult commit();

 private:
  std::string target_, temporary_, reason_;
  std::FILE* file_ = nullptr;
};
