#include "formats/off_writer.h"

#include <cstdio>
#include <vector>

#include "model/merge.h"

WriteResult writeOffFile(const MeshObject& object, const char* name) {
  // A large buffer for many small writes; made before the output, so that it
  // outlives the stream that flushes into it.
  std::vector<char> buffer(std::size_t{1} << 20);
  FileReplacement output(name);
  std::FILE* file = output.file();
  if (file == nullptr) return output.commit();
  std::setvbuf(file, buffer.data(), _IOFBF, buffer.size());

  std::fprintf(file, "OFF\n");
  std::fprintf(file, "%d %d %d\n", object.numVertices(), object.numFaces(), 0);
  const float* v = object.vertices.data();
  for (std::int32_t i = 0; i < object.numVertices(); ++i, v += 3) {
    std::fprintf(file, "%f %f %f\n", v[0], v[1], v[2]);
  }
  for (std::size_t f = 0; f < object.faces.count(); ++f) {
    std::fprintf(file, "%d ", object.faceSize(f));
    for (std::int32_t index : object.faces[f]) std::fprintf(file, "%d ", index);
    std::fputc('\n', file);
  }
  return output.commit();
}

WriteResult writeModelAsOff(const Model& model, const char* name) {
  if (model.empty()) return writeOffFile(MeshObject{}, name);
  if (model.size() == 1) return writeOffFile(model[0], name);
  return writeOffFile(mergeObjects(model), name);
}
