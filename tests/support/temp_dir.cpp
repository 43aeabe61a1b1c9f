#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tessera-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void writeTextFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::string readTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

long processStatusKib(const char* field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
  }
  return 0;
}

IsolatedState::IsolatedState() {
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME")) {
    hadXdg_ = true;
    savedXdg_ = xdg;
  }
  setenv("XDG_CONFIG_HOME", dir_.path().c_str(), 1);
  resetPlatformRecord();
}

IsolatedState::~IsolatedState() {
  if (hadXdg_) {
    setenv("XDG_CONFIG_HOME", savedXdg_.c_str(), 1);
  } else {
    unsetenv("XDG_CONFIG_HOME");
  }
}

std::string IsolatedState::configFile(const std::string& name) const {
  return dir_.path() + "/tessera/" + name;
}
