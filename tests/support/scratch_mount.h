#pragma once
// A small tmpfs over a folder while it lives, to make a full or read-only
// file system for a test. Mounting needs root; elsewhere mounted() is false
// and the test skips what needs it.

#include <cstddef>
#include <string>

class ScratchMount {
 public:
  ScratchMount(const std::string& folder, std::size_t bytes);
  ~ScratchMount();
  ScratchMount(const ScratchMount&) = delete;
  ScratchMount& operator=(const ScratchMount&) = delete;
  bool mounted() const { return mounted_; }
  bool makeReadOnly();

 private:
  std::string folder_, options_;
  bool mounted_ = false;
};
