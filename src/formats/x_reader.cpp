// DirectX: only the header is read. Text and compressed files are refused;
// any other file gives an empty model of one object, so the format can show
// in the status bar with nothing to draw.
#include <string_view>

#include "formats/binary_file.h"
#include "formats/readers.h"

ReadResult readXFile(const char* name) {
  std::vector<std::uint8_t> bytes;
  if (ReadResult loaded = loadBinaryFile(name, bytes); !loaded) return loaded;
  ByteCursor in(bytes);
  in.skip(8);  // magic and version, not checked
  const std::string_view format = in.text(4);
  if (in.damaged()) return refuseDamaged(name);
  if (format == "com ") return refuseHeader("Compressed .x files not supported.\n");
  if (format == "txt ") return refuseHeader("ASCII .x files not supported.\n");
  in.skip(4);  // float size
  if (in.damaged()) return refuseDamaged(name);
  return finishModel(Model(1), name, 0, true);
}
