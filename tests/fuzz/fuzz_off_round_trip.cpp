// Any OFF text: what is read is written as Save As writes it, read back and
// written again; the faces survive whole and the second text equals the first.
#include <cstdint>

#include "formats/off_writer.h"
#include "formats/readers.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = writeFuzzFile("input.off", "", data, size);
  ReadResult first = readOffFile(path.c_str());
  if (!first) return 0;
  checkModel(first.model);
  const std::string once = fuzzConfigHome() + "/once.off", twice = fuzzConfigHome() + "/twice.off";
  if (!writeModelAsOff(first.model, once.c_str())) __builtin_trap();
  ReadResult second = readOffFile(once.c_str());
  if (!second || !writeModelAsOff(second.model, twice.c_str())) __builtin_trap();
  const MeshObject& a = first.model.empty() ? MeshObject{} : first.model[0];
  const MeshObject& b = second.model.empty() ? MeshObject{} : second.model[0];
  if (a.faces.indices != b.faces.indices || a.faces.offsets != b.faces.offsets || a.numVertices() != b.numVertices()) {
    __builtin_trap();
  }
  if (readTextFile(once) != readTextFile(twice)) __builtin_trap();
  return 0;
}
