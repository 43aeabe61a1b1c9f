// VTK legacy text: keywords found among white-space-separated words; every
// word that starts no known section is passed over, so other sections are
// ignored and the known ones may come in any order. Known: POINTS, POLYGONS,
// TRIANGLE_STRIPS, LINES, and in POINT_DATA or CELL_DATA the colours
// (COLOR_SCALARS), NORMALS and TEXTURE_COORDINATES.
// VTK legacy binary: the same keyword lines, each followed by its values in
// big-endian binary after the line's end; sections of other data are passed
// over by their sizes.
#include <algorithm>
#include <cstring>
#include <string>

#include "formats/binary_file.h"
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
// vertices' and lines' cells; a triangle strip's value (strips come last)
// goes to each of the triangles it makes.
template <int W>
void placeValues(SurfaceAttribute<W>& attribute, std::vector<float> values, const DataPlace& place,
                 std::int32_t cellsBefore, std::int32_t polygons, const FaceTable& strips) {
  attribute.clear();
  if (place.cells) {
    const std::size_t skip = static_cast<std::size_t>(cellsBefore) * W;
    const std::size_t own = skip + static_cast<std::size_t>(polygons) * W;
    if (own > values.size()) return;
    std::vector<float> faceValues(values.begin() + static_cast<std::ptrdiff_t>(skip),
                                  values.begin() + static_cast<std::ptrdiff_t>(own));
    if (own + strips.count() * W <= values.size()) {
      for (std::size_t k = 0; k < strips.count(); ++k) {
        const auto value = values.begin() + static_cast<std::ptrdiff_t>(own + k * W);
        for (std::size_t t = 2; t < strips[k].size(); ++t) faceValues.insert(faceValues.end(), value, value + W);
      }
    }
    values = std::move(faceValues);
  }
  attribute.binding = place.cells ? Binding::PerFace : Binding::PerVertex;
  attribute.values = std::move(values);
}

bool readAttribute(TextScanner& scan, const std::string& word, const DataPlace& place, std::int32_t cellsBefore,
                   std::int32_t polygons, const FaceTable& strips, MeshObject& object) {
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
    placeValues(object.colors, std::move(values), place, cellsBefore, polygons, strips);
  } else if (word == "NORMALS") {
    if (!scan.readToken(name) || !scan.readToken(type) || !readValues(scan, place.count, 3, 3, 0.0f, values)) {
      return false;
    }
    placeValues(object.normals, std::move(values), place, cellsBefore, polygons, strips);
  } else if (word == "TEXTURE_COORDINATES") {
    std::int32_t width = 0;
    if (!scan.readToken(name) || !scan.readInt(width) || width < 1 || width > 3 || !scan.readToken(type)) return false;
    if (!readValues(scan, place.count, width, 2, 0.0f, values)) return false;
    placeValues(object.texCoords, std::move(values), place, cellsBefore, polygons, strips);
  }
  return true;
}


// The binary form's words and lines, and its big-endian values, over the
// file's bytes: nothing is read past them.
class VtkBytes {
 public:
  explicit VtkBytes(std::string_view bytes) : bytes_(bytes) {}
  std::size_t left() const { return bytes_.size() - pos_; }
  bool word(std::string& word) {
    while (pos_ < bytes_.size() && blank(bytes_[pos_])) ++pos_;
    const std::size_t start = pos_;
    while (pos_ < bytes_.size() && pos_ - start < 256 && !blank(bytes_[pos_])) ++pos_;
    word.assign(bytes_.substr(start, pos_ - start));
    return !word.empty();
  }
  bool number(std::int64_t& value) {
    std::string text;
    if (!word(text) || text.size() > 12) return false;
    char* end = nullptr;
    value = std::strtoll(text.c_str(), &end, 10);
    return *end == 0 && value >= 0;
  }
  bool blankLineNext() const {
    return pos_ < bytes_.size() && (bytes_[pos_] == '\n' || bytes_.substr(pos_, 2) == "\r\n");
  }
  // Through the line's end: the binary values start after it.
  void endLine() {
    const std::size_t end = bytes_.find('\n', pos_);
    pos_ = end == std::string_view::npos ? bytes_.size() : end + 1;
  }
  // `count` values of a VTK type, each as a double; false when they are
  // more than the bytes left (checked before anything is allocated).
  bool values(std::string_view type, std::uint64_t count, std::vector<double>& out) {
    const std::size_t size = typeSize(type);
    if (size == 0 || count > left() / size) return false;
    out.resize(static_cast<std::size_t>(count));
    for (double& value : out) value = decode(type, size);
    return true;
  }
  bool skipValues(std::string_view type, std::uint64_t count) {
    const std::size_t size = typeSize(type);
    if (size == 0 || count > left() / size) return false;
    pos_ += static_cast<std::size_t>(count) * size;
    return true;
  }

 private:
  static bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
  static std::size_t typeSize(std::string_view type) {
    if (type == "char" || type == "unsigned_char" || type == "bit") return 1;
    if (type == "short" || type == "unsigned_short") return 2;
    if (type == "int" || type == "unsigned_int" || type == "float" || type == "vtkIdType" || type == "vtktypeint32") {
      return 4;
    }
    if (type == "long" || type == "unsigned_long" || type == "double" || type == "vtktypeint64" ||
        type == "vtktypeuint64") {
      return 8;
    }
    return 0;
  }
  double decode(std::string_view type, std::size_t size) {
    std::uint64_t bits = 0;
    for (std::size_t k = 0; k < size; ++k) bits = (bits << 8) | static_cast<std::uint8_t>(bytes_[pos_ + k]);
    pos_ += size;
    const bool sign = type == "char" || type == "short" || type == "int" || type == "long" || type == "vtkIdType" ||
                      type.starts_with("vtktypeint");
    return numberFromBits(bits, size, type == "float" || type == "double", sign);
  }

  std::string_view bytes_;
  std::size_t pos_ = 0;
};

// A vertex index as read; one beyond 32 bits names no vertex (finishModel
// drops its face).
std::int32_t index(double value) {
  return value >= 0 && value <= INT32_MAX ? static_cast<std::int32_t>(value) : -1;
}

// A binary cell section in either layout: legacy (a size, then per cell its
// count and indices, 32-bit) or OFFSETS and CONNECTIVITY arrays of a type
// their lines name. The same checks as the text's.
bool readBinaryCells(VtkBytes& in, FaceTable& cells, std::int32_t& cellCount) {
  std::int64_t count = 0, total = 0;
  if (!in.number(count) || !in.number(total)) return false;
  in.endLine();
  FaceTable faces;
  std::vector<double> values;
  std::string word, type;
  VtkBytes peek = in;
  if (peek.word(word) && word == "OFFSETS") {
    in.word(word);
    if (!in.word(type)) return false;
    in.endLine();
    if (!in.values(type, static_cast<std::uint64_t>(count), values)) return false;
    faces.offsets.resize(count > 0 ? values.size() : 1);
    for (std::size_t k = 0; k < values.size(); ++k) {
      const double offset = values[k], previous = k == 0 ? 0 : values[k - 1];
      if (k == 0 ? offset != 0 : !(offset >= previous && offset - previous <= 32767)) return false;
      if (offset > static_cast<double>(total) || (k + 1 == values.size() && offset != static_cast<double>(total))) {
        return false;
      }
      faces.offsets[k] = static_cast<std::uint32_t>(offset);
    }
    if (!in.word(word) || word != "CONNECTIVITY" || !in.word(type)) return false;
    in.endLine();
    if (!in.values(type, static_cast<std::uint64_t>(total), values)) return false;
    faces.indices.resize(values.size());
    std::transform(values.begin(), values.end(), faces.indices.begin(), index);
    if (faces.offsets.back() != faces.indices.size()) return false;
  } else {
    if (!in.values("int", static_cast<std::uint64_t>(total), values)) return false;
    std::size_t at = 0;
    for (std::int64_t f = 0; f < count; ++f) {
      if (at >= values.size() || values[at] < 0 || values[at] > 32767) return false;
      const auto size = static_cast<std::size_t>(values[at++]);
      if (size > values.size() - at) return false;
      const std::span<std::int32_t> face = faces.append(size);
      std::transform(values.begin() + static_cast<std::ptrdiff_t>(at),
                     values.begin() + static_cast<std::ptrdiff_t>(at + size), face.begin(), index);
      at += size;
    }
  }
  cells = std::move(faces);
  cellCount = static_cast<std::int32_t>(cells.count());
  return true;
}

// Values of a data section as floats, `keep` of each entry's `width`.
std::vector<float> keepValues(const std::vector<double>& values, int width, int keep, float fill, double scale) {
  std::vector<float> out(values.size() / static_cast<std::size_t>(width) * static_cast<std::size_t>(keep), fill);
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::size_t entry = i / static_cast<std::size_t>(width), k = i % static_cast<std::size_t>(width);
    if (k < static_cast<std::size_t>(keep)) out[entry * static_cast<std::size_t>(keep) + k] = static_cast<float>(values[i] * scale);
  }
  return out;
}

ReadResult readVtkBinary(std::string_view bytes, const char* name) {
  VtkBytes in(bytes);
  std::string word, type, label;
  in.endLine();  // # vtk DataFile Version
  in.endLine();  // the title
  if (!in.word(word) || word != "BINARY") return refuseFile(name, "is not a VTK file");
  if (!in.word(word) || !in.word(type) || type != "POLYDATA") {
    return refuseFile(name, "holds data other than polygons, which is not read");
  }
  Model model(1);
  MeshObject& object = model[0];
  FaceTable vertexCells, strips;
  std::int32_t vertexCellCount = 0, lineCount = 0, polygonCount = 0, stripCount = 0;
  DataPlace place;
  std::vector<double> values;
  while (in.word(word)) {
    bool ok = true;
    std::int64_t count = 0, width = 0;
    if (word == "POINTS") {
      ok = in.number(count) && in.word(type);
      in.endLine();
      ok = ok && in.values(type, 3 * static_cast<std::uint64_t>(count), values);
      if (ok) object.vertices.assign(values.begin(), values.end());
      if (!ok) return refuseDamaged(name);
    } else if (word == "POLYGONS") {
      if (!readBinaryCells(in, object.faces, polygonCount)) return refuseDamaged(name);
    } else if (word == "LINES" || word == "VERTICES" || word == "TRIANGLE_STRIPS") {
      FaceTable& cells = word == "LINES" ? object.lines : word == "VERTICES" ? vertexCells : strips;
      std::int32_t& cellCount = word == "LINES" ? lineCount : word == "VERTICES" ? vertexCellCount : stripCount;
      if (!readBinaryCells(in, cells, cellCount)) return refuseDamaged(name);
    } else if (word == "POINT_DATA" || word == "CELL_DATA") {
      place.cells = word == "CELL_DATA";
      place.count = in.number(count) && count <= INT32_MAX ? static_cast<std::int32_t>(count) : 0;
      in.endLine();
    } else if (word == "COLOR_SCALARS") {
      ok = in.word(label) && in.number(width) && width >= 1 && width <= 4;
      in.endLine();
      ok = ok && in.values("unsigned_char", static_cast<std::uint64_t>(place.count) * static_cast<std::uint64_t>(width), values);
      if (ok) {
        std::vector<float> colors = keepValues(values, static_cast<int>(width), 4, 1.0f, 1.0 / 255.0);
        if (width == 1) {
          for (std::size_t i = 0; i < colors.size(); i += 4) colors[i + 1] = colors[i + 2] = colors[i];
        }
        placeValues(object.colors, std::move(colors), place, vertexCellCount + lineCount, polygonCount, strips);
      }
    } else if (word == "NORMALS") {
      ok = in.word(label) && in.word(type);
      in.endLine();
      ok = ok && in.values(type, 3 * static_cast<std::uint64_t>(place.count), values);
      if (ok) {
        placeValues(object.normals, keepValues(values, 3, 3, 0.0f, 1.0), place, vertexCellCount + lineCount,
                    polygonCount, strips);
      }
    } else if (word == "TEXTURE_COORDINATES") {
      ok = in.word(label) && in.number(width) && width >= 1 && width <= 3 && in.word(type);
      in.endLine();
      ok = ok && in.values(type, static_cast<std::uint64_t>(place.count) * static_cast<std::uint64_t>(width), values);
      if (ok) {
        placeValues(object.texCoords, keepValues(values, static_cast<int>(width), 2, 0.0f, 1.0), place,
                    vertexCellCount + lineCount, polygonCount, strips);
      }
    } else if (word == "SCALARS") {
      // SCALARS name type [components], then a LOOKUP_TABLE line.
      ok = in.word(label) && in.word(type);
      std::string rest;
      VtkBytes peek = in;
      width = 1;
      if (peek.word(rest) && rest != "LOOKUP_TABLE" && rest.find_first_not_of("0123456789") == std::string::npos) {
        ok = ok && in.number(width) && width >= 1 && width <= 4;
      }
      in.endLine();
      peek = in;
      if (peek.word(rest) && rest == "LOOKUP_TABLE") in.endLine();
      ok = ok && in.skipValues(type, static_cast<std::uint64_t>(place.count) * static_cast<std::uint64_t>(width));
    } else if (word == "VECTORS" || word == "TENSORS") {
      ok = in.word(label) && in.word(type);
      in.endLine();
      ok = ok && in.skipValues(type, static_cast<std::uint64_t>(place.count) * (word == "VECTORS" ? 3u : 9u));
    } else if (word == "LOOKUP_TABLE") {
      ok = in.word(label) && in.number(count);
      in.endLine();
      ok = ok && in.skipValues("unsigned_char", 4 * static_cast<std::uint64_t>(count));
    } else if (word == "FIELD") {
      std::int64_t arrays = 0, tuples = 0;
      ok = in.word(label) && in.number(arrays);
      in.endLine();
      for (std::int64_t a = 0; ok && a < arrays; ++a) {
        ok = in.word(label) && in.number(width) && in.number(tuples) && in.word(type);
        in.endLine();
        ok = ok && in.skipValues(type, static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(tuples));
      }
    } else if (word == "METADATA") {
      // Text lines up to a blank one.
      in.endLine();
      while (in.left() > 0 && !in.blankLineNext()) in.endLine();
      in.endLine();
    }
    if (!ok) {
      // Values cannot be found past a section that does not fit the file.
      debugMessage("File, %s, has a damaged %s section; the rest was left out.\n", name, word.c_str());
      break;
    }
  }
  appendStrips(strips, object.faces);
  return finishModel(std::move(model), name);
}

}  // namespace

// A file whose third line says BINARY is read whole; any other as text.
ReadResult readVtkFile(const char* name) {
  char head[1024] = {};
  std::size_t got = 0;
  if (FileHandle file = openForReading(name, "rb"); file) got = std::fread(head, 1, sizeof head, file.get());
  std::string_view start(head, got);
  for (int line = 0; line < 2 && start.find('\n') != std::string_view::npos; ++line) start.remove_prefix(start.find('\n') + 1);
  while (!start.empty() && (start[0] == ' ' || start[0] == '\t')) start.remove_prefix(1);
  if (!start.starts_with("BINARY")) return readTextModel(name, readVtkText);
  std::vector<std::uint8_t> bytes;
  if (ReadResult loaded = loadBinaryFile(name, bytes); !loaded) return loaded;
  return readVtkBinary({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, name);
}

ReadResult readVtkText(TextScanner& scan, const char* name) {
  // Text in memory (the fuzz targets give it so) may be of the binary form.
  const std::string_view whole = scan.wholeText();
  std::string word;
  for (;;) {
    if (!scan.readToken(word)) return refuseFile(name, "is not a VTK file");
    if (word == "BINARY" && !whole.empty()) return readVtkBinary(whole, name);
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
  FaceTable strips;
  std::int32_t vertexCellCount = 0, lineCount = 0, polygonCount = 0, stripCount = 0;
  DataPlace place;
  while (scan.readToken(word)) {
    bool ok = true;
    if (word == "POINTS") {
      ok = readPoints(scan, object);
    } else if (word == "POLYGONS") {
      ok = readCells(scan, object.faces, polygonCount);
    } else if (word == "TRIANGLE_STRIPS") {
      ok = readCells(scan, strips, stripCount);
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
      if (!readAttribute(scan, word, place, vertexCellCount + lineCount, polygonCount, strips, object)) {
        debugMessage("File, %s, has a damaged %s section; it was left out.\n", name, word.c_str());
      }
    }
    if (!ok) return refuseDamaged(name);
  }
  appendStrips(strips, object.faces);
  return finishModel(std::move(model), name);
}
