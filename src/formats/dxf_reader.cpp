// DXF text: a sequence of line pairs, a group code and its value. Only
// 3DFACE entities are taken, wherever they stand (BLOCKS included); their
// corners come from codes 10-13 (x), 20-23 (y) and 30-33 (z) in any order,
// their colour from code 62, or from their layer's (code 8) where it is
// "by layer" (256, or not given).
#include <map>
#include <string>
#include <string_view>

#include "formats/dxf_colors.h"
#include "formats/readers.h"
#include "platform/text_scanner.h"

namespace {

enum class Pair { End, Damaged, NotDxf };

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Walks the file as pairs of a group-code line and a value line, calling
// visit(code, value) for each until it returns false. A code line that is not
// an integer, or a code without its value line, makes the file damaged; a
// first line that is none makes it no DXF file.
template <typename Visit>
Pair forEachPair(TextScanner& scan, Visit&& visit) {
  bool haveCode = false, damaged = false, stopped = false, first = true;
  std::int32_t code = 0;
  scan.forEachLine([&](std::string_view line) {
    if (haveCode) {
      haveCode = false;
      stopped = !visit(code, line);
      return !stopped;
    }
    const std::string_view codeText = trimmed(line);
    const char* end = codeText.data() + codeText.size();
    damaged = codeText.empty() || parseIntField(codeText.data(), end, code) != end;
    haveCode = !damaged;
    first = first && damaged;
    return !damaged;
  });
  if (damaged && first) return Pair::NotDxf;
  if (damaged || (haveCode && !stopped)) return Pair::Damaged;
  return Pair::End;
}

bool isEntity(std::int32_t code, std::string_view value, std::string_view name) {
  return code == 0 && trimmed(value) == name;
}

struct Corners {
  float c[4][3] = {};
  bool any = false;  // a coordinate was given
  std::int32_t color = 256;  // by layer
  std::string layer;
};

constexpr std::int32_t kByLayer = 256;

MeshObject makeFaceObject(const Corners& corners, const std::map<std::string, std::int32_t, std::less<>>& layers) {
  MeshObject object;
  std::int32_t color = corners.color;
  if (color == kByLayer) {
    const auto layer = layers.find(corners.layer);
    color = layer != layers.end() ? layer->second : 7;
  }
  // A negative number is a layer switched off that keeps its colour.
  if (const std::optional<Rgba> rgba = dxfIndexColor(color < 0 ? -color : color)) {
    object.colors.binding = Binding::PerFace;
    object.colors.values = {rgba->r, rgba->g, rgba->b, rgba->a};
  }
  object.vertices.assign(&corners.c[0][0], &corners.c[0][0] + 12);
  // A fourth corner that repeats the first closes a triangle.
  const bool triangle = corners.c[3][0] == corners.c[0][0] && corners.c[3][1] == corners.c[0][1] &&
                        corners.c[3][2] == corners.c[0][2];
  const std::size_t size = triangle ? 3 : 4;
  std::span<std::int32_t> face = object.faces.append(size);
  for (std::size_t k = 0; k < size; ++k) face[k] = static_cast<std::int32_t>(k);
  return object;
}

// Codes 10-13, 20-23 and 30-33 name an axis and a corner.
bool cornerSlot(std::int32_t code, int& corner, int& axis) {
  if (code < 10 || code > 33 || code % 10 > 3) return false;
  axis = code / 10 - 1;
  corner = code % 10;
  return true;
}

}  // namespace

ReadResult readDxfFile(const char* name) { return readTextModel(name, readDxfText); }

ReadResult readDxfText(TextScanner& scan, const char* name) {
  std::uint64_t faceCount = 0;
  // The layers' colours, from the LAYER entries of the tables.
  std::map<std::string, std::int32_t, std::less<>> layers;
  bool inLayer = false;
  std::string layerName;
  Pair pair = forEachPair(scan, [&](std::int32_t code, std::string_view value) {
    if (isEntity(code, value, "EOF")) return false;
    if (isEntity(code, value, "3DFACE")) ++faceCount;
    if (code == 0) inLayer = isEntity(code, value, "LAYER"), layerName.clear();
    if (inLayer && code == 2) layerName = trimmed(value);
    if (inLayer && code == 62 && layers.size() < 65536) {
      std::int32_t color = 0;
      const std::string_view text = trimmed(value);
      if (parseIntField(text.data(), text.data() + text.size(), color)) layers[layerName] = color;
    }
    return true;
  });
  if (pair == Pair::NotDxf) return refuseFile(name, "is not a DXF file");
  if (pair == Pair::Damaged || faceCount > INT32_MAX || !scan.rewind()) return refuseDamaged(name);

  // A 3DFACE without a single coordinate holds nothing and makes no object:
  // a file of bare entities must not cost memory far beyond its size.
  Model model;
  bool inFace = false, badValue = false;
  Corners corners;
  pair = forEachPair(scan, [&](std::int32_t code, std::string_view value) {
    if (code == 0) {
      if (inFace && corners.any) model.push_back(makeFaceObject(corners, layers));
      inFace = false;
      if (isEntity(code, value, "EOF")) return false;
      if (isEntity(code, value, "3DFACE")) {
        inFace = true;
        corners = Corners{};
      }
      return true;
    }
    int corner = 0, axis = 0;
    if (inFace && code == 8) corners.layer = trimmed(value);
    if (inFace && code == 62) {
      const std::string_view text = trimmed(value);
      if (!parseIntField(text.data(), text.data() + text.size(), corners.color)) corners.color = kByLayer;
    }
    if (!inFace || !cornerSlot(code, corner, axis)) return true;
    float coordinate = 0.0f;
    if (!parseFloatField(value.data(), value.data() + value.size(), coordinate)) {
      badValue = true;
      return false;
    }
    corners.c[corner][axis] = coordinate;
    corners.any = true;
    return true;
  });
  if (pair != Pair::End || badValue || model.size() + (inFace ? 1 : 0) > faceCount) {
    return refuseDamaged(name);
  }
  if (inFace && corners.any) model.push_back(makeFaceObject(corners, layers));  // the drawing ended inside a face
  return finishModel(std::move(model), name);
}
