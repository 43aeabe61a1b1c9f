#pragma once
// The last ten model files opened, most recent first, kept in
// "tsr_recent.ini" in the configuration directory.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_replacement.h"

struct RecentEntry {
  std::int32_t length = 0;
  std::string path;
};

constexpr std::int32_t kRecentCapacity = 10;

struct RecentList {
  std::array<RecentEntry, kRecentCapacity> files;
  std::int32_t count = 0;
};

std::string recentListPath();

// Reads the list file; a missing one is an empty list, written (count 0)
// where the folder allows.
void readRecentList(RecentList& list);
// Rewrites the list file from memory, whole or not at all.
WriteResult writeRecentList(const RecentList& list);
// Puts a path at the head, listed once: opened again, it moves up; the
// oldest entry drops out of a full list, and duplicates an older list file
// held go. A path holding a line feed or carriage return is not listed (false).
bool addRecentFile(RecentList& list, std::string_view path);
// Empties the list in memory and in its file.
WriteResult clearRecentList(RecentList& list);
