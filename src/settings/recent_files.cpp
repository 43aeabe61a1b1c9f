#include "settings/recent_files.h"

#include <algorithm>

#include <cstdio>
#include <cstdlib>

#include "platform/text_scanner.h"
#include "platform/file_handle.h"
#include "platform/platform.h"


namespace {

// A line end read into a path is not part of it, whichever platform wrote it.
void dropLineEnd(std::string& line) {
  if (!line.empty() && line.back() == '\n') line.pop_back();
  if (!line.empty() && line.back() == '\r') line.pop_back();
}

}  // namespace

std::string recentListPath() {
  // Without a configuration folder there is no path: opening "" fails, as it must.
  const std::string dir = platformConfigDirectory();
  return dir.empty() ? dir : dir + "tsr_recent.ini";
}

void readRecentList(RecentList& list) {
  const std::string path = recentListPath();
  FileHandle file(std::fopen(path.c_str(), "r"));
  list.count = 0;
  if (!file) {
    writeRecentList(list);  // an empty list for next time, where the folder allows
    return;
  }
  TextScanner scan(file.get());
  std::int32_t count = 0;
  if (!scan.readInt(count) || count < 0) count = 0;
  if (count > kRecentCapacity) count = kRecentCapacity;

  list.count = 0;
  for (std::int32_t i = 0; i < count && !scan.atEnd(); ++i) {
    std::int32_t length = 0;
    if (!scan.readInt(length) || length < 0) {
      // A length that cannot be used loses its own entry, not the rest.
      scan.skipRestOfLine();
      scan.skipRestOfLine();
      continue;
    }
    scan.skipWhitespace();
    std::string line;
    if (!scan.readLine(line, static_cast<std::size_t>(length))) break;
    // A length line shorter than the path cuts the path; the rest of its
    // line must not be taken for the next entry.
    if (line.empty() || line.back() != '\n') scan.skipRestOfLine();
    dropLineEnd(line);
    // An entry without a path names nothing to open, and written back it
    // would read as the end of the list; a path with a line end or a NUL in
    // it is never written (addRecentFile refuses it) and could not be read
    // back the same.
    if (line.empty() || line.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) continue;
    RecentEntry& entry = list.files[static_cast<std::size_t>(list.count)];
    entry.length = static_cast<std::int32_t>(line.size());
    entry.path = std::move(line);
    ++list.count;
  }
}

WriteResult writeRecentList(const RecentList& list) {
  FileReplacement output(recentListPath());
  std::FILE* file = output.file();
  if (file == nullptr) return output.commit();
  std::fprintf(file, "%d\n", list.count);
  for (std::int32_t i = 0; i < list.count; ++i) {
    const RecentEntry& entry = list.files[static_cast<std::size_t>(i)];
    std::fprintf(file, "%d\n%s\n", entry.length, entry.path.c_str());
  }
  return output.commit();
}

bool addRecentFile(RecentList& list, std::string_view path) {
  // A line end inside a path could not be read back as one entry (nor can a
  // NUL, which no path holds).
  if (path.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) return false;
  // The path at the head, then the others in their order, each once: a file
  // opened again moves up, and duplicates an older list holds go now.
  RecentList kept;
  kept.files[0] = {static_cast<std::int32_t>(path.size()), std::string(path)};
  kept.count = 1;
  for (std::int32_t k = 0; k < list.count && kept.count < kRecentCapacity; ++k) {
    RecentEntry& entry = list.files[static_cast<std::size_t>(k)];
    const auto begin = kept.files.begin(), end = begin + kept.count;
    if (std::find_if(begin, end, [&](const RecentEntry& e) { return e.path == entry.path; }) != end) continue;
    kept.files[static_cast<std::size_t>(kept.count++)] = std::move(entry);
  }
  list = std::move(kept);
  return true;
}

WriteResult clearRecentList(RecentList& list) {
  list.count = 0;
  return writeRecentList(list);
}
