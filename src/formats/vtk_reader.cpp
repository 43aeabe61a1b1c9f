// VTK legacy text: keywords found among white-space-separated words; every
// word that is neither POINTS nor POLYGONS is passed over, so other sections
// are ignored and the two known ones may come in either order.
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

bool readPolygons(TextScanner& scan, MeshObject& object) {
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
  object.faces = std::move(faces);
  return true;
}

}  // namespace

ReadResult readVtkFile(const char* name) { return readTextModel(name, readVtkText); }

ReadResult readVtkText(TextScanner& scan, const char* name) {
  std::string word;
  for (;;) {
    if (!scan.readToken(word)) return refuseHeader("File, %s, is not a valid VTK file.\n", name);
    if (word == "BINARY") return refuseHeader("Binary VTK files not supported.\n");
    if (word == "ASCII") break;
  }
  std::string dataSet;
  scan.readToken(word);
  if (!scan.readToken(dataSet) || dataSet != "POLYDATA") {
    return refuseHeader("Found unsupported dataset in VTK file.\n");
  }

  Model model(1);
  MeshObject& object = model[0];
  while (scan.readToken(word)) {
    bool ok = true;
    if (word == "POINTS") {
      ok = readPoints(scan, object);
    } else if (word == "POLYGONS") {
      ok = readPolygons(scan, object);
    }
    if (!ok) return refuseDamaged(name);
  }
  return finishModel(std::move(model), name);
}
