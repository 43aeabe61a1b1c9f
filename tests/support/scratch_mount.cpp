#include "support/scratch_mount.h"

#include <sys/mount.h>
#include <sys/stat.h>

ScratchMount::ScratchMount(const std::string& folder, std::size_t bytes)
    : folder_(folder), options_("size=" + std::to_string(bytes)) {
  mkdir(folder.c_str(), 0755);
  mounted_ = mount("tmpfs", folder.c_str(), "tmpfs", 0, options_.c_str()) == 0;
}

ScratchMount::~ScratchMount() {
  if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
}

bool ScratchMount::makeReadOnly() {
  return mounted_ && mount("tmpfs", folder_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, options_.c_str()) == 0;
}
