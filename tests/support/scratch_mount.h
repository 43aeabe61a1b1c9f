#pragma once
// A small tmpfs over a folder while it lives, to make a full or read-only
// file system for a test. Mounting needs root; elsewhere mounted() is false
// and the test skips what needs it.

#include <sys/mount.h>
#include <sys/stat.h>

#include <string>

class ScratchMount {
 public:
  ScratchMount(const std::string& folder, std::size_t bytes)
      : folder_(folder), options_("size=" + std::to_string(bytes)) {
    mkdir(folder.c_str(), 0755);
    mounted_ = mount("tmpfs", folder.c_str(), "tmpfs", 0, options_.c_str()) == 0;
  }
  ~ScratchMount() {
    if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
  }
  ScratchMount(const ScratchMount&) = delete;
  ScratchMount& operator=(const ScratchMount&) = delete;
  bool mounted() const { return mounted_; }
  bool makeReadOnly() {
    return mounted_ && mount("tmpfs", folder_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, options_.c_str()) == 0;
  }

 private:
  std::string folder_, options_;
  bool mounted_ = false;
};
