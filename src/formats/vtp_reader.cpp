// VTK XML polydata (.vtp): a Piece's points and its vertex, line, polygon and
// strip cells (connectivity and end offsets), with the PointData's normals,
// colours (Scalars of bytes) and texture coordinates. DataArrays come as
// ascii numbers, as base64 (a header of byte counts, then the values, raw
// or zlib blocks) or in the AppendedData after its `_`, raw or base64. Each
// Piece is an object.
#include <tinyxml2.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "formats/binary_file.h"
#include "formats/readers.h"

namespace {

// The most bytes one array may inflate to, whatever its header says.
constexpr std::uint64_t kMostInflated = std::uint64_t{1} << 30;

struct Layout {
  bool bigEndian = false;
  bool header64 = false;
  bool zlib = false;
  std::string_view appended;  // the bytes after `_`
  bool appendedBase64 = false;
};

int base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// Base64 in groups of four; a group padded with `=` gives its one or two
// bytes and decoding goes on, as a header encoded apart from its data is.
std::vector<std::uint8_t> base64(std::string_view text) {
  std::vector<std::uint8_t> out;
  out.reserve(text.size() / 4 * 3 + 3);
  int group[4], have = 0, pad = 0;
  for (char c : text) {
    const int v = base64Value(c);
    if (v < 0 && c != '=') continue;
    group[have++] = v < 0 ? 0 : v;
    pad += v < 0;
    if (have < 4) continue;
    const std::uint32_t bits = (group[0] << 18) | (group[1] << 12) | (group[2] << 6) | group[3];
    for (int k = 0; k < 3 - std::min(pad, 2); ++k) out.push_back(static_cast<std::uint8_t>(bits >> (16 - 8 * k)));
    have = pad = 0;
  }
  return out;
}

std::uint64_t word(const std::uint8_t* p, std::size_t size, bool bigEndian) {
  std::uint64_t value = 0;
  for (std::size_t k = 0; k < size; ++k) value |= std::uint64_t{p[bigEndian ? size - 1 - k : k]} << (8 * k);
  return value;
}

// The values' bytes from a header-prefixed run: one byte count, or for zlib
// the block count, block size, last block's size and each block's
// compressed size, then the blocks. Every size is checked against the bytes
// there and the ceiling before anything is allocated.
bool unpack(const std::uint8_t* data, std::size_t size, const Layout& l, std::vector<std::uint8_t>& out) {
  const std::size_t w = l.header64 ? 8 : 4;
  if (size < w) return false;
  if (!l.zlib) {
    const std::uint64_t count = word(data, w, l.bigEndian);
    if (count > size - w) return false;
    out.assign(data + w, data + w + count);
    return true;
  }
  if (size < 3 * w) return false;
  const std::uint64_t blocks = word(data, w, l.bigEndian), blockSize = word(data + w, w, l.bigEndian);
  std::uint64_t last = word(data + 2 * w, w, l.bigEndian);
  if (blocks > (size - 3 * w) / w) return false;
  if (last == 0) last = blockSize;
  const std::uint64_t total = blocks == 0 ? 0 : (blocks - 1) * blockSize + last;
  if (blockSize > kMostInflated || last > blockSize || total > kMostInflated) return false;
  std::size_t at = 3 * w + static_cast<std::size_t>(blocks) * w;
  std::uint64_t packed = 0;
  for (std::uint64_t b = 0; b < blocks; ++b) packed += word(data + 3 * w + b * w, w, l.bigEndian);
  if (packed > size - at || total > 1100 * (packed + 1)) return false;  // deflate cannot do better than about 1:1032
  out.resize(static_cast<std::size_t>(total));
  std::size_t filled = 0;
  for (std::uint64_t b = 0; b < blocks; ++b) {
    const auto length = static_cast<std::size_t>(word(data + 3 * w + b * w, w, l.bigEndian));
    uLongf inflated = static_cast<uLongf>(b + 1 == blocks ? last : blockSize);
    const uLongf wanted = inflated;
    if (uncompress(out.data() + filled, &inflated, data + at, static_cast<uLong>(length)) != Z_OK || inflated != wanted) {
      return false;
    }
    filled += inflated, at += length;
  }
  return true;
}

std::size_t typeSize(std::string_view type) {
  if (type == "Int8" || type == "UInt8") return 1;
  if (type == "Int16" || type == "UInt16") return 2;
  if (type == "Int32" || type == "UInt32" || type == "Float32") return 4;
  if (type == "Int64" || type == "UInt64" || type == "Float64") return 8;
  return 0;
}

double decode(const std::uint8_t* p, std::string_view type, std::size_t size, bool bigEndian) {
  return numberFromBits(word(p, size, bigEndian), size, type[0] == 'F', type[0] == 'I');
}

// A DataArray's values, whatever its format; false when it is damaged.
bool readArray(const tinyxml2::XMLElement* array, const Layout& l, std::vector<double>& values) {
  values.clear();
  const char* typeText = array->Attribute("type");
  const std::string_view type = typeText != nullptr ? typeText : "";
  const std::size_t size = typeSize(type);
  const char* formatText = array->Attribute("format");
  const std::string_view format = formatText != nullptr ? formatText : "ascii";
  if (size == 0) return false;
  if (format == "ascii") {
    const char* text = array->GetText();
    for (const char* p = text != nullptr ? text : ""; *p != 0;) {
      char* end = nullptr;
      const double value = std::strtod(p, &end);
      if (end == p) break;
      values.push_back(value);
      p = end;
    }
    return true;
  }
  std::vector<std::uint8_t> bytes;
  if (format == "binary") {
    const char* text = array->GetText();
    const std::vector<std::uint8_t> raw = base64(text != nullptr ? text : "");
    if (!unpack(raw.data(), raw.size(), l, bytes)) return false;
  } else if (format == "appended") {
    const std::uint64_t offset = array->Unsigned64Attribute("offset", UINT64_MAX);
    if (offset >= l.appended.size()) return false;
    const std::string_view from = l.appended.substr(static_cast<std::size_t>(offset));
    if (l.appendedBase64) {
      const std::vector<std::uint8_t> raw = base64(from);
      if (!unpack(raw.data(), raw.size(), l, bytes)) return false;
    } else if (!unpack(reinterpret_cast<const std::uint8_t*>(from.data()), from.size(), l, bytes)) {
      return false;
    }
  } else {
    return false;
  }
  values.resize(bytes.size() / size);
  for (std::size_t k = 0; k < values.size(); ++k) values[k] = decode(bytes.data() + k * size, type, size, l.bigEndian);
  return true;
}

const tinyxml2::XMLElement* arrayNamed(const tinyxml2::XMLElement* parent, std::string_view name) {
  if (parent == nullptr) return nullptr;
  for (auto* a = parent->FirstChildElement("DataArray"); a != nullptr; a = a->NextSiblingElement("DataArray")) {
    const char* n = a->Attribute("Name");
    if (name.empty() || (n != nullptr && name == n)) return a;
  }
  return nullptr;
}

std::int32_t index(double value) {
  return value >= 0 && value <= INT32_MAX ? static_cast<std::int32_t>(value) : -1;
}

// A cell element's connectivity and end offsets as faces; false when damaged.
bool readCells(const tinyxml2::XMLElement* element, const Layout& l, FaceTable& cells) {
  cells.clear();
  if (element == nullptr) return true;
  std::vector<double> connectivity, offsets;
  const auto* c = arrayNamed(element, "connectivity");
  const auto* o = arrayNamed(element, "offsets");
  if (c == nullptr || o == nullptr) return c == nullptr && o == nullptr;
  if (!readArray(c, l, connectivity) || !readArray(o, l, offsets)) return false;
  double previous = 0;
  for (double end : offsets) {
    if (!(end >= previous && end - previous <= 32767 && end <= static_cast<double>(connectivity.size()))) return false;
    const std::span<std::int32_t> face = cells.append(static_cast<std::size_t>(end - previous));
    std::transform(connectivity.begin() + static_cast<std::ptrdiff_t>(previous),
                   connectivity.begin() + static_cast<std::ptrdiff_t>(end), face.begin(), index);
    previous = end;
  }
  return true;
}

// PointData's array named by `role` (Normals="n", say), or by that name.
template <int W>
void readPointValues(const tinyxml2::XMLElement* data, const char* role, const Layout& l, int keep, double scale,
                     std::string_view wantType, SurfaceAttribute<W>& attribute) {
  if (data == nullptr) return;
  const char* name = data->Attribute(role);
  const auto* array = arrayNamed(data, name != nullptr ? name : role);
  if (array == nullptr) return;
  const int width = array->IntAttribute("NumberOfComponents", 1);
  const char* type = array->Attribute("type");
  if (width < 1 || width > 4 || (!wantType.empty() && (type == nullptr || wantType != type))) return;
  std::vector<double> values;
  if (!readArray(array, l, values)) return;
  attribute.values.assign(values.size() / static_cast<std::size_t>(width) * W, 1.0f);
  for (std::size_t i = 0; i < values.size() / static_cast<std::size_t>(width); ++i) {
    for (int k = 0; k < std::min(width, keep); ++k) {
      attribute.values[i * W + static_cast<std::size_t>(k)] = static_cast<float>(values[i * static_cast<std::size_t>(width) + static_cast<std::size_t>(k)] * scale);
    }
    if (W == 4 && width < 3) {
      attribute.values[i * W + 1] = attribute.values[i * W + 2] = attribute.values[i * W];  // a grey
    }
  }
  attribute.binding = Binding::PerVertex;
}


}  // namespace

ReadResult readVtpFile(const char* name) {
  std::vector<std::uint8_t> bytes;
  if (ReadResult loaded = loadBinaryFile(name, bytes); !loaded) return loaded;
  std::string_view all(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (all.find("<VTKFile") == std::string_view::npos) return refuseFile(name, "is not a VTK XML file");
  // Raw appended data is no XML: the parser gets the file without it.
  Layout layout;
  std::string xml(all);
  if (const std::size_t tag = all.find("<AppendedData"); tag != std::string_view::npos) {
    const std::size_t underscore = all.find('_', all.find('>', tag));
    const std::size_t close = all.rfind("</AppendedData>");
    if (underscore == std::string_view::npos || close == std::string_view::npos || close < underscore) {
      return refuseDamaged(name);
    }
    layout.appended = all.substr(underscore + 1, close - underscore - 1);
    xml = std::string(all.substr(0, underscore + 1)) + std::string(all.substr(close));
  }
  tinyxml2::XMLDocument document;
  if (document.Parse(xml.data(), xml.size()) != tinyxml2::XML_SUCCESS) return refuseDamaged(name);
  const tinyxml2::XMLElement* root = document.FirstChildElement("VTKFile");
  if (root == nullptr) return refuseFile(name, "is not a VTK XML file");
  const char* type = root->Attribute("type");
  if (type == nullptr || std::string_view(type) != "PolyData") {
    return refuseFile(name, "holds data other than polygons, which is not read");
  }
  const char* order = root->Attribute("byte_order");
  const char* header = root->Attribute("header_type");
  const char* compressor = root->Attribute("compressor");
  layout.bigEndian = order != nullptr && std::string_view(order) == "BigEndian";
  layout.header64 = header != nullptr && std::string_view(header) == "UInt64";
  if (compressor != nullptr && *compressor != 0) {
    if (std::string_view(compressor) != "vtkZLibDataCompressor") return refuseFile(name, "is compressed in a way that is not read");
    layout.zlib = true;
  }
  if (const auto* appended = root->FirstChildElement("AppendedData"); appended != nullptr) {
    const char* encoding = appended->Attribute("encoding");
    layout.appendedBase64 = encoding != nullptr && std::string_view(encoding) == "base64";
  }
  const tinyxml2::XMLElement* data = root->FirstChildElement("PolyData");
  if (data == nullptr) return refuseDamaged(name);
  Model model;
  std::vector<double> values;
  for (auto* piece = data->FirstChildElement("Piece"); piece != nullptr; piece = piece->NextSiblingElement("Piece")) {
    MeshObject object;
    const auto* points = arrayNamed(piece->FirstChildElement("Points"), "");
    if (points != nullptr) {
      if (!readArray(points, layout, values) || points->IntAttribute("NumberOfComponents", 3) != 3) return refuseDamaged(name);
      object.vertices.assign(values.begin(), values.end() - static_cast<std::ptrdiff_t>(values.size() % 3));
    }
    FaceTable strips, verts;
    if (!readCells(piece->FirstChildElement("Polys"), layout, object.faces) ||
        !readCells(piece->FirstChildElement("Strips"), layout, strips) ||
        !readCells(piece->FirstChildElement("Lines"), layout, object.lines) ||
        !readCells(piece->FirstChildElement("Verts"), layout, verts)) {
      return refuseDamaged(name);
    }
    appendStrips(strips, object.faces);
    const auto* pointData = piece->FirstChildElement("PointData");
    readPointValues(pointData, "Normals", layout, 3, 1.0, "", object.normals);
    readPointValues(pointData, "TCoords", layout, 2, 1.0, "", object.texCoords);
    readPointValues(pointData, "Scalars", layout, 4, 1.0 / 255.0, "UInt8", object.colors);
    model.push_back(std::move(object));
  }
  return finishModel(std::move(model), name);
}
