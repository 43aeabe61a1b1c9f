// DirectX: only the header is read. Text and compressed files are refused;
// any other file gives an empty model of one object, so the format can show
// in the status bar with nothing to draw.
#include <string_view>

#include "formats/binary_file.h"
#include "formats/readers.h"

ReadResult readXFile(const char* name) {
  std::vector<std::uint8_t> bytes;
  if (ReadResult loaded = loadBinaryFile(name, bytes); !loaded) return loaded;
  if (!beginsLike(bytes, "xof ")) return refuseFile(name, "is not a DirectX file");
  ByteCursor in(bytes);
  in.skip(8);  // magic and version
  const std::string_view format = in.text(4);
  if (in.damaged()) return refuseDamaged(name);
  if (format == "com ") return refuseFile(name, "is a compressed DirectX file, which is not read");
  if (format == "txt ") return refuseFile(name, "is a text DirectX file, which is not read");
  in.skip(4);  // float size
  if (in.damaged()) return refuseDamaged(name);
  return finishModel(Model(1), name, 0, true);
}
