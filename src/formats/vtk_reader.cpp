// VTK legacy text: keywords found among white-space-separated words; every
// word that starts no known section is passed over, so other sections are
// ignored and the known ones may come in any order. Known: POINTS, POLYGONS,
// LINES, and in POINT_DATA or CELL_DATA the colours (COLOR_SCALARS),
// NORMALS and TEXTURE_COORDINATES.
#include <string>

#include "formats/readers.h"
#include "platform/text_scanner.h"

namespace {

bool readPoints(TextScanner& scan, MeshObject& object) {
  std::int32_t count = 0;
  std::string type;
  if (!scan.readInt(count) || count < 0 || !scan.readToken(type)) return false;
  // Each coordinate needs at least a digit and a blank.
  if (6 * static_cast<std::uint64_t>(count) > scan.bytesLeft() + 1) return false;
  std::vector<float> vertices(3 * static_cast<std::size_t>(count));
  for (float& coordinate : vertices) {
    if (!scan.readFloat(coordinate)) return false;
  }
  // A later section replaces an earlier one.
  object.vertices = std::move(vertices);
  return true;
}

// Cells as a size followed by that many indices (file versions up to 4.2).
bool readCountPrefixedCells(TextScanner& scan, std::int32_t count, FaceTable& faces) {
  if (2 * static_cast<std::uint64_t>(count) > scan.bytesLeft() + 1) return false;
  faces.offsets.reserve(static_cast<std::size_t>(count) + 1);
  for (std::int32_t f = 0; f < count; ++f) {
    std::int32_t size = 0;
    if (!scan.readInt(size) || size < 0 || size > 32767) return false;
    if (faces.indices.size() + static_cast<std::size_t>(size) > UINT32_MAX) return false;
    for (std::int32_t k = 0; k < size; ++k) {
      std::int32_t index = 0;
      if (!scan.readInt(index)) return false;
      faces.indices.push_back(index);
    }
    faces.offsets.push_back(static_cast<std::uint32_t>(faces.indices.size()));
  }
  return true;
}

// Cells as an OFFSETS array of count entries and a CONNECTIVITY array of
// `total` indices (file version 5): the same faces as the older layout.
bool readOffsetCells(TextScanner& scan, std::int32_t count, std::int32_t total, FaceTable& faces) {
  std::string word;
  if (!scan.readToken(word) || word != "OFFSETS" || !scan.readToken(word)) return false;
  if (total < 0 || 2 * (static_cast<std::uint64_t>(count) + static_cast<std::uint64_t>(total)) >
                       scan.bytesLeft() + 2) {
    return false;
  }
  const std::int32_t faceCount = count > 0 ? count - 1 : 0;
  faces.offsets.resize(static_cast<std::size_t>(faceCount) + 1);
  std::int32_t previous = 0;
  for (std::int32_t k = 0; k < count; ++k) {
    std::int32_t offset = 0;
    if (!scan.readInt(offset)) return false;
    // Offsets start at 0, never go back, end at the connectivity's size,
    // and no cell exceeds the 16-bit size.
    if (k == 0 ? offset != 0 : (offset < previous || offset - previous > 32767)) return false;
    if (offset > total || (k == count - 1 && offset != total)) return false;
    faces.offsets[static_cast<std::size_t>(k)] = static_cast<std::uint32_t>(offset);
    previous = offset;
  }
  if (!scan.readToken(word) || word != "CONNECTIVITY" || !scan.readToken(word)) return false;
  faces.indices.resize(static_cast<std::size_t>(total));
  for (std::int32_t& index : faces.indices) {
    if (!scan.readInt(index)) return false;
  }
  return true;
}

// A cell section (POLYGONS, LINES, VERTICES) in either layout. `cellCount`
// gets its number of cells.
bool readCells(TextScanner& scan, FaceTable& cells, std::int32_t& cellCount) {
  std::int32_t count = 0, total = 0;
  std::string sizeWord;
  if (!scan.readInt(count) || count < 0 || !scan.readToken(sizeWord)) return false;
  FaceTable faces;
  std::string_view next;
  if (scan.peekToken(next) && next == "OFFSETS") {
    if (!parseIntField(sizeWord.data(), sizeWord.data() + sizeWord.size(), total)) return false;
    if (!readOffsetCells(scan, count, total, faces)) return false;
  } else if (!readCountPrefixedCells(scan, count, faces)) {
    return false;
  }
  // A later section replaces an earlier one.
  cells = std::move(faces);
  cellCount = static_cast<std::int32_t>(cells.count());
  return true;
}

// Where POINT_DATA or CELL_DATA values go, and how many cells come before
// the polygons in cell order (vertices, then lines, then polygons).
struct DataPlace {
  bool cells = false;
  std::int32_t count = 0;
};

// `width` numbers for each of `count` entries; a value beyond `keep` of
// them is read and dropped, a missing one is `fill`.
bool readValues(TextScanner& scan, std::int64_t count, int width, int keep, float fill, std::vector<float>& out) {
  if (count < 0 || 2 * static_cast<std::uint64_t>(count) * static_cast<std::uint64_t>(width) > scan.bytesLeft() + 1) {
    return false;
  }
  out.assign(static_cast<std::size_t>(count) * static_cast<std::size_t>(keep), fill);
  for (std::int64_t i = 0; i < count; ++i) {
    for (int k = 0; k < width; ++k) {
      float value = 0;
      if (!scan.readFloat(value)) return false;
      if (k < keep) out[static_cast<std::size_t>(i) * static_cast<std::size_t>(keep) + static_cast<std::size_t>(k)] = value;
    }
  }
  return true;
}

// Values given for every cell belong to the polygons only after the
// vertices' and lines' cells.
template <int W>
void placeValues(SurfaceAttribute<W>& attribute, std::vector<float> values, const DataPlace& place,
                 std::int32_t cellsBefore, std::int32_t polygons) {
  attribute.clear();
  if (place.cells) {
    const std::size_t skip = static_cast<std::size_t>(cellsBefore) * W;
    if (skip + static_cast<std::size_t>(polygons) * W > values.size()) return;
    values.erase(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(skip));
    values.resize(static_cast<std::size_t>(polygons) * W);  // triangle strips' values are not ours
  }
  attribute.binding = place.cells ? Binding::PerFace : Binding::PerVertex;
  attribute.values = std::move(values);
}

bool readAttribute(TextScanner& scan, const std::string& word, const DataPlace& place, std::int32_t cellsBefore,
                   std::int32_t polygons, MeshObject& object) {
  std::string name, type;
  std::vector<float> values;
  if (word == "COLOR_SCALARS") {
    std::int32_t width = 0;
    if (!scan.readToken(name) || !scan.readInt(width) || width < 1 || width > 4) return false;
    if (!readValues(scan, place.count, width, 4, 1.0f, values)) return false;
    // One value is a grey.
    if (width == 1) {
      for (std::size_t i = 0; i < values.size(); i += 4) values[i + 1] = values[i + 2] = values[i];
    }
    placeValues(object.colors, std::move(values), place, cellsBefore, polygons);
  } else if (word == "NORMALS") {
    if (!scan.readToken(name) || !scan.readToken(type) || !readValues(scan, place.count, 3, 3, 0.0f, values)) {
      return false;
    }
    placeValues(object.normals, std::move(values), place, cellsBefore, polygons);
  } else if (word == "TEXTURE_COORDINATES") {
    std::int32_t width = 0;
    if (!scan.readToken(name) || !scan.readInt(width) || width < 1 || width > 3 || !scan.readToken(type)) return false;
    if (!readValues(scan, place.count, width, 2, 0.0f, values)) return false;
    placeValues(object.texCoords, std::move(values), place, cellsBefore, polygons);
  }
  return true;
}

}  // namespace

ReadResult readVtkFile(const char* name) { return readTextModel(name, readVtkText); }

ReadResult readVtkText(TextScanner& scan, const char* name) {
  std::string word;
  for (;;) {
    if (!scan.readToken(word)) return refuseFile(name, "is not a VTK file");
    if (word == "BINARY") return refuseFile(name, "is a binary VTK file, which is not read");
    if (word == "ASCII") break;
  }
  std::string dataSet;
  scan.readToken(word);
  if (!scan.readToken(dataSet) || dataSet != "POLYDATA") {
    return refuseFile(name, "holds data other than polygons, which is not read");
  }

  Model model(1);
  MeshObject& object = model[0];
  FaceTable vertexCells;  // read only to count them: points draw without them
  std::int32_t vertexCellCount = 0, lineCount = 0, polygonCount = 0;
  DataPlace place;
  while (scan.readToken(word)) {
    bool ok = true;
    if (word == "POINTS") {
      ok = readPoints(scan, object);
    } else if (word == "POLYGONS") {
      ok = readCells(scan, object.faces, polygonCount);
    } else if (word == "LINES" || word == "VERTICES") {
      // What is not the surface costs only itself when damaged: its words
      // are passed over from there, as those of any unknown section.
      FaceTable& cells = word == "LINES" ? object.lines : vertexCells;
      if (!readCells(scan, cells, word == "LINES" ? lineCount : vertexCellCount)) {
        debugMessage("File, %s, has a damaged %s section; it was left out.\n", name, word.c_str());
        cells.clear();
      }
    } else if (word == "POINT_DATA" || word == "CELL_DATA") {
      place.cells = word == "CELL_DATA";
      if (!scan.readInt(place.count) || place.count < 0) place.count = 0;
    } else if (word == "COLOR_SCALARS" || word == "NORMALS" || word == "TEXTURE_COORDINATES") {
      if (!readAttribute(scan, word, place, vertexCellCount + lineCount, polygonCount, object)) {
        debugMessage("File, %s, has a damaged %s section; it was left out.\n", name, word.c_str());
      }
    }
    if (!ok) return refuseDamaged(name);
  }
  return finishModel(std::move(model), name);
}
