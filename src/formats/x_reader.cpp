// DirectX: only the header is read. Text and compressed files are refused;
// any other file gives an empty model of one object, so the format can show
// in the status bar with nothing to draw.
#include <cstdlib>
#include <string_view>

#include "formats/binary_file.h"
#include "formats/binary_formats.h"

std::optional<Model> readXFile(const char* name) {
  std::optional<std::vector<std::uint8_t>> bytes = loadBinaryFile(name);
  if (!bytes) return std::nullopt;
  ByteCursor in(*bytes);
  in.skip(8);  // magic and version, not checked
  const std::string_view format = in.text(4);
  if (in.damaged()) return refuseDamaged(name);
  if (format == "com ") {
    debugMessage("Compressed .x files not supported.\n");
    std::exit(-1);
  }
  if (format == "txt ") {
    debugMessage("ASCII .x files not supported.\n");
    std::exit(-1);
  }
  in.skip(4);  // float size
  if (in.damaged()) return refuseDamaged(name);
  Model model(1);
  finishModel(model, name);
  return model;
}
