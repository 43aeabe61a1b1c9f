// Any content as a file of the format whose name ending TESSERA_FUZZ_ENDING
// gives: one target per row of the format table. Text formats are read from
// memory, binary ones through a file, as the viewer reads them.
#include <cstdint>
#include <string>

#include "formats/model_dispatch.h"
#include "formats/readers.h"
#include "fuzz_support.h"
#include "platform/text_scanner.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const FormatInfo* const format = formatOfName("input." TESSERA_FUZZ_ENDING);
  if (format->textReader != nullptr) {
    TextScanner scan(reinterpret_cast<const char*>(data), size);
    const ReadResult read = format->textReader(scan, "input." TESSERA_FUZZ_ENDING);
    if (read) checkModel(read.model);
    // Read in parts, the same text gives the same model. The parts run in
    // turn: the threads of the big files' reading would take nearly all the
    // time (the same logic, 1,500 instead of 50,000 inputs a second).
    const auto inParts = format->id == formatWavefront ? readObjTextInParts
                         : format->id == formatOff     ? readOffTextInParts
                                                       : nullptr;
    if (inParts != nullptr) {
      const ReadResult parts = inParts({reinterpret_cast<const char*>(data), size}, "input." TESSERA_FUZZ_ENDING, 3,
                                       PartThreads::caller);
      if (parts.failure != read.failure || parts.model.size() != read.model.size()) __builtin_trap();
      for (std::size_t k = 0; k < parts.model.size(); ++k) {
        const MeshObject &a = parts.model[k], &b = read.model[k];
        if (a.vertices != b.vertices || a.faces.indices != b.faces.indices || a.faces.offsets != b.faces.offsets ||
            a.lines.indices != b.lines.indices || a.faceMaterials != b.faceMaterials || a.material != b.material ||
            a.texCoords.corners != b.texCoords.corners || a.normals.corners != b.normals.corners ||
            a.colors.values.size() != b.colors.values.size()) {
          __builtin_trap();
        }
      }
    }
    return 0;
  }
  const std::string path = writeFuzzFile("input." TESSERA_FUZZ_ENDING, "", data, size);
  const ReadResult read = format->reader(path.c_str());
  if (read) checkModel(read.model);
  return 0;
}
