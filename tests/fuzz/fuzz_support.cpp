#include "fuzz_support.h"

#include <stdlib.h>

#include <cstdio>

#include "platform/platform.h"

const std::string& fuzzConfigHome() {
  static const std::string home = [] {
    char pattern[] = "/tmp/tessera-fuzz-XXXXXX";
    const char* made = mkdtemp(pattern);
    std::string path = made ? made : "/tmp";
    setenv("XDG_CONFIG_HOME", path.c_str(), 1);
    return path;
  }();
  return home;
}

std::string writeFuzzFile(const std::string& name, const std::string& prefix,
                          const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzzConfigHome() + "/" + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) abort();
  std::fwrite(prefix.data(), 1, prefix.size(), file);
  if (size > 0) std::fwrite(data, 1, size, file);
  std::fclose(file);
  return path;
}

std::string readFuzzFile(const std::string& path) {
  std::string text;
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text.append(chunk, got);
    std::fclose(file);
  }
  return text;
}

void checkModel(const Model& model) {
  for (const MeshObject& object : model) {
    if (object.vertices.size() % 3 != 0 || object.faces.offsets.back() != object.faces.indices.size()) {
      __builtin_trap();
    }
    for (std::int32_t index : object.faces.indices) {
      if (index < 0 || index >= object.numVertices()) __builtin_trap();
    }
  }
}
