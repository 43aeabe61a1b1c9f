#include "fuzz_support.h"

#include <stdlib.h>

const std::string& fuzzConfigHome() {
  static const std::string home = [] {
    static const TempDir folder;  // removed when the target ends
    setenv("XDG_CONFIG_HOME", folder.path().c_str(), 1);
    return folder.path();
  }();
  return home;
}

std::string writeFuzzFile(const std::string& name, const std::string& prefix, const std::uint8_t* data,
                          std::size_t size) {
  const std::string path = fuzzConfigHome() + "/" + name;
  writeTextFile(path, prefix + std::string(reinterpret_cast<const char*>(data), size));
  return path;
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
