#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/platform.h"

namespace {

bool makeDirectories(const std::string& path) {
  // Create every missing component, like mkdir -p.
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    std::string prefix = path.substr(0, slash);
    if (mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  if (mkdir(path.c_str(), 0755) == 0) return true;
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::string platformConfigDirectory() {
  std::string base;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') return "";
    base = std::string(home) + "/.config";
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  std::string dir = base + "/tessera";
  if (!makeDirectories(dir)) return "";
  return dir + "/";
}
