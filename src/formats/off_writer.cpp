#include <cstdio>
#include <cstdlib>

#include "formats/off_format.h"
#include "formats/reader_support.h"
#include "model/merge.h"

int writeOffFile(const MeshObject& object, const char* name) {
  std::FILE* file = std::fopen(name, "w");
  if (file == nullptr) std::exit(-1);
  static char buffer[1 << 20];
  std::setvbuf(file, buffer, _IOFBF, sizeof buffer);

  std::fprintf(file, "OFF\n");
  std::fprintf(file, "%d %d %d\n", object.numVertices, object.numFaces, 0);
  const float* v = object.vertices.data();
  for (std::int32_t i = 0; i < object.numVertices; ++i, v += 3) {
    std::fprintf(file, "%f %f %f\n", v[0], v[1], v[2]);
  }
  for (std::int32_t f = 0; f < object.numFaces; ++f) {
    std::fprintf(file, "%d ", object.faceSizes[static_cast<std::size_t>(f)]);
    for (std::int32_t index : object.faces[static_cast<std::size_t>(f)]) {
      std::fprintf(file, "%d ", index);
    }
    std::fputc('\n', file);
  }
  // A full disk must not pass for a saved model.
  const bool failed = std::ferror(file) != 0;
  if (std::fclose(file) != 0 || failed) {
    debugMessage("File, %s, could not be written completely.\n", name);
    return -1;
  }
  return 0;
}

int writeModelAsOff(const Model& model, std::int32_t count, const char* name) {
  if (count <= 0 || model.empty()) return writeOffFile(MeshObject{}, name);
  if (count == 1) return writeOffFile(model[0], name);
  return writeOffFile(mergeObjects(model.data(), count), name);
}
