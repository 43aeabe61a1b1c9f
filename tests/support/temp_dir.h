#pragma once
// A fresh folder per test, removed afterwards, and small file helpers.

#include <cstdint>
#include <string>
#include <vector>

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

void writeTextFile(const std::string& path, const std::string& text);
std::string readTextFile(const std::string& path);

// A field of /proc/self/status ("VmRSS:", "VmHWM:") in KiB, 0 where the system does not say.
long processStatusKib(const char* field);

// Points the configuration directory at a temporary folder while it lives and
// clears what the platform layer recorded, so tests never touch the user's files.
class IsolatedState {
 public:
  IsolatedState();
  ~IsolatedState();
  const TempDir& dir() const { return dir_; }
  std::string configFile(const std::string& name) const;

 private:
  TempDir dir_;
  std::string savedXdg_;
  bool hadXdg_ = false;
};

// Clears what the platform layer records for tests; one definition per
// platform the test program links.
void resetPlatformRecord();
