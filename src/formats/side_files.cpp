#include "formats/side_files.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "formats/reader_support.h"
#include "platform/file_opening.h"

namespace {

bool isRegularFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

// The entry of `folder` named `part`: as spelled, else the first that
// matches without regard to case.
std::string entryOf(const std::string& folder, const std::string& part) {
  const std::string exact = folder + "/" + part;
  if (exists(exact)) return exact;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return "";
  std::string found;
  while (const dirent* entry = readdir(dir)) {
    if (strcasecmp(entry->d_name, part.c_str()) == 0) {
      found = folder + "/" + entry->d_name;
      break;
    }
  }
  closedir(dir);
  return found;
}

}  // namespace

std::string findSideFile(const std::string& modelPath, std::string_view name) {
  std::string relative(name);
  for (char& c : relative) c = c == '\\' ? '/' : c;
  while (!relative.empty() && (relative.back() == ' ' || relative.back() == '\r')) relative.pop_back();
  const bool fromRoot = !relative.empty() && relative[0] == '/';
  const bool drive = relative.size() >= 2 && relative[1] == ':';
  if (fromRoot || drive) {
    const std::size_t slash = relative.find_last_of('/');
    relative = slash != std::string::npos ? relative.substr(slash + 1) : relative.substr(2);
  }
  if (relative.empty()) return "";
  std::string folder = std::filesystem::path(modelPath).parent_path().string();
  if (folder.empty()) folder = ".";
  std::string path = folder;
  std::size_t start = 0;
  while (start <= relative.size()) {
    const std::size_t end = std::min(relative.find('/', start), relative.size());
    const std::string part = relative.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    path = part == ".." ? path + "/.." : entryOf(path, part);
    if (path.empty()) return "";
  }
  return isRegularFile(path) ? path : "";
}

bool readSideFile(const std::string& path, std::uint64_t largest, std::vector<std::uint8_t>& bytes, std::string& reason) {
  FileHandle file = openForReading(path.c_str(), "rb");
  if (!file) {
    reason = openFailureReason(errno);
    return false;
  }
  struct stat info {};
  if (fstat(fileno(file.get()), &info) != 0 || static_cast<std::uint64_t>(info.st_size) > largest) {
    reason = "is too large";
    return false;
  }
  if (!readWholeFile(file.get(), bytes)) {
    reason = openFailureReason(errno);
    return false;
  }
  return true;
}
