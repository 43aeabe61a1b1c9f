// PLY, ASCII and binary in either byte order: the header declares elements,
// each a count of records of typed properties. The `vertex` element gives
// the vertices (its x, y and z, whatever their type, and where present their
// colour, normal and texture coordinates), the `face` element the faces (its
// `vertex_indices` or `vertex_index` list, and a colour or a `texcoord` list
// where present), or a `tristrips` element its strips as triangles; a
// `comment TextureFile` names the texture. Every other element and property
// is skipped by its declared type. Vertices without faces are a point cloud.
// One object.
#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/binary_file.h"
#include "formats/readers.h"
#include "formats/texture_files.h"
#include "platform/large_arrays.h"
#include "platform/read_progress.h"
#include "platform/text_scanner.h"

namespace {

enum class Scalar : std::uint8_t { Int8, UInt8, Int16, UInt16, Int32, UInt32, Float32, Float64 };

std::optional<Scalar> scalarNamed(std::string_view word) {
  struct Name {
    const char* word;
    Scalar type;
  };
  // Both the original names and the sized ones are in use.
  static constexpr Name kNames[] = {
      {"char", Scalar::Int8},     {"int8", Scalar::Int8},     {"uchar", Scalar::UInt8},   {"uint8", Scalar::UInt8},
      {"short", Scalar::Int16},   {"int16", Scalar::Int16},   {"ushort", Scalar::UInt16}, {"uint16", Scalar::UInt16},
      {"int", Scalar::Int32},     {"int32", Scalar::Int32},   {"uint", Scalar::UInt32},   {"uint32", Scalar::UInt32},
      {"float", Scalar::Float32}, {"float32", Scalar::Float32}, {"double", Scalar::Float64}, {"float64", Scalar::Float64},
      {"bool", Scalar::UInt8},  // a byte, 0 or 1, from some scanners
  };
  for (const Name& name : kNames) {
    if (word == name.word) return name.type;
  }
  return std::nullopt;
}

std::size_t sizeOf(Scalar type) {
  static constexpr std::size_t kSizes[] = {1, 1, 2, 2, 4, 4, 4, 8};
  return kSizes[static_cast<int>(type)];
}

struct Property {
  std::string name;
  Scalar type = Scalar::Float32;  // of the value, or of a list's items
  std::optional<Scalar> countType;  // set for a list
};

struct Element {
  std::string name;
  std::uint64_t count = 0;
  std::vector<Property> properties;
};

enum class Layout { Ascii, BinaryLittle, BinaryBig };

struct Header {
  Layout layout = Layout::Ascii;
  std::vector<Element> elements;
  std::size_t bodyStart = 0;
  std::string textureFile;  // from "comment TextureFile NAME"
};

// Headers are a few hundred bytes; the search for their end stops here, so
// that a big file that is no PLY file is not read through.
constexpr std::size_t kLongestHeader = std::size_t{1} << 20;

enum class HeaderProblem { None, NotPly, CutShort, NewerVersion, Unknown };

// Splits the header into words line by line, up to and with `end_header`.
// Says what keeps it from being a PLY header this reader knows.
HeaderProblem parseHeader(const FileBytes& bytes, Header& header) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), std::min(bytes.size(), kLongestHeader));
  if (!beginsLike(bytes.data(), bytes.size(), "ply")) return HeaderProblem::NotPly;
  std::size_t at = 0;
  bool first = true, sawFormat = false;
  // Old Mac files end each header line, end_header's too, in a CR alone.
  const bool crLines = endsLinesWithCr(text.data(), text.size());
  while (at < text.size()) {
    const std::size_t lf = text.find(crLines ? '\r' : '\n', at);
    // A file that ends inside its header was cut short.
    if (lf == std::string_view::npos) return text.size() < kLongestHeader ? HeaderProblem::CutShort : HeaderProblem::Unknown;
    std::string_view line = text.substr(at, lf - at);
    at = lf + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (crLines && !line.empty() && line.front() == '\n') line.remove_prefix(1);  // of a CR LF among them
    std::vector<std::string_view> words;
    for (std::size_t w = 0; w < line.size();) {
      const std::size_t start = line.find_first_not_of(" \t", w);
      if (start == std::string_view::npos) break;
      const std::size_t stop = std::min(line.find_first_of(" \t", start), line.size());
      words.push_back(line.substr(start, stop - start));
      w = stop;
    }
    if (first) {
      if (words.size() != 1 || words[0] != "ply") return HeaderProblem::NotPly;
      first = false;
      continue;
    }
    if (words.size() >= 3 && words[0] == "comment" && words[1] == "TextureFile") {
      // The name is the rest of the line: it may hold blanks.
      const std::size_t from = static_cast<std::size_t>(words[2].data() - line.data());
      header.textureFile = std::string(line.substr(from, static_cast<std::size_t>(words.back().data() - line.data()) +
                                                              words.back().size() - from));
      continue;
    }
    if (words.empty() || words[0] == "comment" || words[0] == "obj_info") continue;
    if (words[0] == "end_header") {
      header.bodyStart = at;
      return sawFormat ? HeaderProblem::None : HeaderProblem::Unknown;
    }
    if (words[0] == "format" && words.size() == 3 && !sawFormat) {
      if (words[1] == "ascii") header.layout = Layout::Ascii;
      else if (words[1] == "binary_little_endian") header.layout = Layout::BinaryLittle;
      else if (words[1] == "binary_big_endian") header.layout = Layout::BinaryBig;
      else return HeaderProblem::Unknown;
      // Every PLY file so far is version 1.0.
      double version = 0.0;
      const char* end = words[2].data() + words[2].size();
      if (std::from_chars(words[2].data(), end, version).ptr == end && version >= 2.0) return HeaderProblem::NewerVersion;
      sawFormat = true;
    } else if (words[0] == "element" && words.size() == 3) {
      Element element;
      element.name = words[1];
      const auto [end, error] = std::from_chars(words[2].data(), words[2].data() + words[2].size(), element.count);
      if (error != std::errc() || end != words[2].data() + words[2].size()) return HeaderProblem::Unknown;
      header.elements.push_back(std::move(element));
    } else if (words[0] == "property" && !header.elements.empty()) {
      Property property;
      if (words.size() == 3 && scalarNamed(words[1])) {
        property.type = *scalarNamed(words[1]);
        property.name = words[2];
      } else if (words.size() == 5 && words[1] == "list" && scalarNamed(words[2]) && scalarNamed(words[3])) {
        property.countType = scalarNamed(words[2]);
        property.type = *scalarNamed(words[3]);
        property.name = words[4];
      } else {
        return HeaderProblem::Unknown;
      }
      header.elements.back().properties.push_back(std::move(property));
    } else {
      return HeaderProblem::Unknown;
    }
  }
  return text.size() < kLongestHeader ? HeaderProblem::CutShort : HeaderProblem::Unknown;
}

// What the reader takes from an element's records: property numbers, -1
// where the element has no such property.
struct Roles {
  int x = -1, y = -1, z = -1;  // the coordinates
  int corners = -1;            // the face's index list
  int color[4] = {-1, -1, -1, -1};
  int normal[3] = {-1, -1, -1};
  int texCoord[2] = {-1, -1};
  int cornerTexCoords = -1;  // a face's list of s, t for each corner

  bool hasColor() const { return color[0] >= 0 && color[1] >= 0 && color[2] >= 0; }
  bool hasNormal() const { return normal[0] >= 0 && normal[1] >= 0 && normal[2] >= 0; }
  bool hasTexCoord() const { return texCoord[0] >= 0 && texCoord[1] >= 0; }
};

// The names writers give each part: the first that matches takes the role.
int partOf(std::string_view name, std::initializer_list<std::initializer_list<const char*>> parts) {
  int part = 0;
  for (const auto& names : parts) {
    for (const char* n : names) {
      if (name == n) return part;
    }
    ++part;
  }
  return -1;
}

void assignRole(Roles& roles, const Property& property, int number, bool isVertex, bool isFace, bool isStrips) {
  const std::string_view name = property.name;
  if (property.countType) {
    if ((isFace || isStrips) && (name == "vertex_indices" || name == "vertex_index")) roles.corners = number;
    if (isFace && name == "texcoord") roles.cornerTexCoords = number;
    return;
  }
  if (!isVertex && !isFace) return;
  if (isVertex && name == "x") roles.x = number;
  if (isVertex && name == "y") roles.y = number;
  if (isVertex && name == "z") roles.z = number;
  if (const int c = partOf(name, {{"red", "diffuse_red", "r"}, {"green", "diffuse_green", "g"},
                                  {"blue", "diffuse_blue", "b"}, {"alpha", "diffuse_alpha", "a"}});
      c >= 0) {
    roles.color[c] = number;
  }
  if (!isVertex) return;
  if (const int n = partOf(name, {{"nx"}, {"ny"}, {"nz"}}); n >= 0) roles.normal[n] = number;
  if (const int t = partOf(name, {{"s", "u", "texture_u", "texture_s"}, {"t", "v", "texture_v", "texture_t"}}); t >= 0) {
    roles.texCoord[t] = number;
  }
}

// A colour channel as 0..1: integers span their type's range, floats are
// taken as they are.
float channel(double value, Scalar type) {
  switch (type) {
    case Scalar::UInt8: return static_cast<float>(value / 255.0);
    case Scalar::UInt16: return static_cast<float>(value / 65535.0);
    case Scalar::Int8: return static_cast<float>(value / 127.0);
    case Scalar::Int16: return static_cast<float>(value / 32767.0);
    case Scalar::Int32: case Scalar::UInt32: return static_cast<float>(value / 4294967295.0);
    default: return static_cast<float>(value);
  }
}

// One record after another out of the binary body, every value bounds-checked.
class BinaryValues {
 public:
  BinaryValues(const FileBytes& bytes, std::size_t start, bool big) : in_(bytes.data(), bytes.size()), big_(big) {
    in_.seek(start);
  }
  ByteCursor& cursor() { return in_; }
  std::size_t at() const { return in_.tell(); }
  double number(Scalar type) {
    switch (type) {
      case Scalar::Int8: return static_cast<std::int8_t>(in_.u8());
      case Scalar::UInt8: return in_.u8();
      case Scalar::Int16: return static_cast<std::int16_t>(u16());
      case Scalar::UInt16: return u16();
      case Scalar::Int32: return static_cast<std::int32_t>(u32());
      case Scalar::UInt32: return u32();
      case Scalar::Float32: {
        const std::uint32_t bits = u32();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
      }
      case Scalar::Float64: {
        const std::uint64_t high = u32(), low = u32();
        const std::uint64_t bits = big_ ? (high << 32 | low) : (low << 32 | high);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
      }
    }
    return 0;
  }
  // A list length or an index: any integer type; a float type or a value
  // outside 0..2^31-1 gives -1, which no count or vertex can be.
  std::int64_t whole(Scalar type) {
    if (type == Scalar::Float32 || type == Scalar::Float64) {
      in_.skip(sizeOf(type));
      return -1;
    }
    if (type == Scalar::Int32 || type == Scalar::UInt32) {
      const std::uint32_t value = u32();
      return value <= INT32_MAX ? static_cast<std::int64_t>(value) : -1;
    }
    const double value = number(type);
    return value >= 0 && value <= INT32_MAX ? static_cast<std::int64_t>(value) : -1;
  }
  void skip(Scalar type) { in_.skip(sizeOf(type)); }

 private:
  std::uint16_t u16() { return big_ ? in_.u16be() : in_.u16le(); }
  std::uint32_t u32() { return big_ ? in_.u32be() : in_.u32le(); }
  ByteCursor in_;
  bool big_;
};

// The same out of the ASCII body: values are blank-separated numbers.
class TextValues {
 public:
  TextValues(const FileBytes& bytes, std::size_t start)
      : begin_(reinterpret_cast<const char*>(bytes.data())),
        p_(begin_ + start),
        end_(reinterpret_cast<const char*>(bytes.data()) + bytes.size()) {}
  bool damaged() const { return damaged_; }
  std::size_t at() const { return static_cast<std::size_t>(p_ - begin_); }
  double number(Scalar) {
    float value = 0;
    return field(parseFloatField(p_, end_, value)) ? value : 0;
  }
  std::int64_t whole(Scalar) {
    std::int32_t value = 0;
    return field(parseIntField(p_, end_, value)) && value >= 0 ? value : -1;
  }
  void skip(Scalar type) { number(type); }

 private:
  // A number must stand alone: what follows it is a blank or the end.
  bool field(const char* stop) {
    if (stop == nullptr || (stop < end_ && *stop != ' ' && *stop != '\t' && *stop != '\n' && *stop != '\r')) {
      damaged_ = true;
      p_ = end_;
      return false;
    }
    p_ = stop;
    return true;
  }
  const char* begin_;
  const char* p_;
  const char* end_;
  bool damaged_ = false;
};

bool isDamaged(BinaryValues& values) { return values.cursor().damaged(); }
bool isDamaged(const TextValues& values) { return values.damaged(); }

constexpr std::size_t kLargestFace = 32767;

// The triangles of a list of strips: each corner after a strip's first two
// makes one with the two before it, every second one turned so that all face
// the same way; a negative index starts a new strip. Triangles with a corner
// twice, which only join strips, are left out.
template <typename Values>
bool readStrips(Values& values, Scalar type, std::int64_t length, FaceTable& faces) {
  std::int64_t a = -1, b = -1;
  bool turned = false;
  for (std::int64_t i = 0; i < length && !isDamaged(values); ++i) {
    const std::int64_t c = values.whole(type);
    if (c < 0) {
      a = b = -1;
      turned = false;
      continue;
    }
    if (a >= 0) {
      if (a != b && b != c && a != c) {
        if (faces.indices.size() + 3 > UINT32_MAX) return false;
        const std::span<std::int32_t> t = faces.append(3);
        t[0] = static_cast<std::int32_t>(turned ? b : a);
        t[1] = static_cast<std::int32_t>(turned ? a : b);
        t[2] = static_cast<std::int32_t>(c);
      }
      turned = !turned;
    }
    a = b;
    b = c;
  }
  return !isDamaged(values);
}

template <std::size_t N>
int indexOf(const int (&roles)[N], int number) {
  for (std::size_t k = 0; k < N; ++k) {
    if (roles[k] == number) return static_cast<int>(k);
  }
  return -1;
}

template <typename Values>
ReadResult readBody(const Header& header, Values& values, std::size_t bodyBytes, const char* name) {
  const bool text = header.layout == Layout::Ascii;
  // The body is one pass; the progress is told every so many records.
  ReadProgress& progress = readProgress();
  progress.toDo += bodyBytes;
  std::size_t counted = values.at();
  const std::size_t bodyEnd = counted + bodyBytes;
  Model model(1);
  MeshObject& object = model[0];
  std::vector<float> cornerTexCoords;
  for (const Element& element : header.elements) {
    if (element.properties.empty()) continue;  // records of nothing take no bytes
    Roles roles;
    const bool isVertex = element.name == "vertex", isFace = element.name == "face";
    const bool isStrips = element.name == "tristrips";
    std::size_t smallest = 0;  // the fewest bytes (binary) a record can take
    for (std::size_t k = 0; k < element.properties.size(); ++k) {
      const Property& property = element.properties[k];
      const int number = static_cast<int>(k);
      smallest += text ? 1 : sizeOf(property.countType.value_or(property.type));
      assignRole(roles, property, number, isVertex, isFace, isStrips);
    }
    // A colour without its alpha is opaque; a part of a colour, normal or
    // texture coordinate alone is nothing.
    if (!roles.hasColor()) std::fill(std::begin(roles.color), std::end(roles.color), -1);
    if (!roles.hasNormal()) std::fill(std::begin(roles.normal), std::end(roles.normal), -1);
    if (!roles.hasTexCoord()) std::fill(std::begin(roles.texCoord), std::end(roles.texCoord), -1);
    if (roles.corners < 0) roles.cornerTexCoords = -1;
    const bool vertexColors = isVertex && roles.hasColor(), faceColors = isFace && roles.hasColor();
    if (vertexColors || (faceColors && object.colors.binding != Binding::PerVertex)) {
      object.colors.clear();
      object.colors.binding = vertexColors ? Binding::PerVertex : Binding::PerFace;
    }
    if (isVertex && roles.hasNormal()) object.normals.binding = Binding::PerVertex;
    if (isVertex && roles.hasTexCoord()) object.texCoords.binding = Binding::PerVertex;
    if (roles.cornerTexCoords >= 0 && !object.texCoords.present()) object.texCoords.binding = Binding::PerCorner;
    const bool keepColors = (vertexColors && object.colors.binding == Binding::PerVertex) ||
                            (faceColors && object.colors.binding == Binding::PerFace);
    const bool keepCornerTexCoords = roles.cornerTexCoords >= 0 && object.texCoords.binding == Binding::PerCorner;
    if (isVertex && (roles.x < 0 || roles.y < 0 || roles.z < 0)) {
      return refuseDamaged(name, "has vertices without x, y and z");
    }
    // A stated count is believed only as far as the body could hold it (a
    // text value takes a byte at least).
    if (element.count > bodyBytes / smallest) return refuseDamaged(name);
    if (isVertex) reserveLargeArray(object.vertices, object.vertices.size() + 3 * element.count);
    if (isFace && roles.corners >= 0) {
      // Triangles, mostly; never more indices than the body has room for.
      const std::size_t indexBytes = text ? 2 : sizeOf(element.properties[static_cast<std::size_t>(roles.corners)].type);
      reserveLargeArray(object.faces.offsets, object.faces.offsets.size() + element.count);
      reserveLargeArray(object.faces.indices,
                        object.faces.indices.size() + std::min<std::uint64_t>(3 * element.count, bodyBytes / indexBytes));
    }
    for (std::uint64_t r = 0; r < element.count; ++r) {
      if (r % 65536 == 65535) {
        progress.done += values.at() - counted;
        counted = values.at();
        if (readCancelled()) return ReadResult(ReadFailure::Damaged);
      }
      float xyz[3] = {0, 0, 0};
      float rgba[4] = {1, 1, 1, 1}, normal[3] = {0, 0, 0}, st[2] = {0, 0};
      std::size_t facesBefore = object.faces.count();
      for (std::size_t k = 0; k < element.properties.size(); ++k) {
        const Property& property = element.properties[k];
        const int number = static_cast<int>(k);
        if (property.countType) {
          const std::int64_t length = values.whole(*property.countType);
          if (length < 0) return refuseDamaged(name);
          if (number == roles.cornerTexCoords && keepCornerTexCoords) {
            // Read whole now; matched with the face's corners after the record.
            if (static_cast<std::uint64_t>(length) > 2 * kLargestFace) return refuseDamaged(name);
            cornerTexCoords.clear();
            for (std::int64_t i = 0; i < length && !isDamaged(values); ++i) {
              cornerTexCoords.push_back(static_cast<float>(values.number(property.type)));
            }
            continue;
          }
          if (number != roles.corners) {
            for (std::int64_t i = 0; i < length && !isDamaged(values); ++i) values.skip(property.type);
            continue;
          }
          if (isStrips) {
            if (!readStrips(values, property.type, length, object.faces)) return refuseDamaged(name);
            continue;
          }
          if (static_cast<std::uint64_t>(length) > kLargestFace ||
              object.faces.indices.size() + static_cast<std::size_t>(length) > UINT32_MAX) {
            return refuseDamaged(name);
          }
          // An index no vertex can have becomes -1: its face is dropped at the end.
          for (std::int32_t& corner : object.faces.append(static_cast<std::size_t>(length))) {
            corner = static_cast<std::int32_t>(values.whole(property.type));
          }
        } else if (number == roles.x || number == roles.y || number == roles.z) {
          xyz[number == roles.x ? 0 : number == roles.y ? 1 : 2] = static_cast<float>(values.number(property.type));
        } else if (const int c = indexOf(roles.color, number); c >= 0 && keepColors) {
          rgba[c] = channel(values.number(property.type), property.type);
        } else if (const int n = indexOf(roles.normal, number); n >= 0) {
          normal[n] = static_cast<float>(values.number(property.type));
        } else if (const int t = indexOf(roles.texCoord, number); t >= 0) {
          st[t] = static_cast<float>(values.number(property.type));
        } else {
          values.skip(property.type);
        }
      }
      if (isDamaged(values)) return refuseDamaged(name);
      if (isVertex) object.vertices.insert(object.vertices.end(), xyz, xyz + 3);
      if (keepColors) object.colors.values.insert(object.colors.values.end(), rgba, rgba + 4);
      if (isVertex && roles.hasNormal()) object.normals.values.insert(object.normals.values.end(), normal, normal + 3);
      if (isVertex && roles.hasTexCoord()) object.texCoords.values.insert(object.texCoords.values.end(), st, st + 2);
      if (keepCornerTexCoords && object.faces.count() > facesBefore) {
        // s, t for each corner; a list of another length leaves the corners at (0, 0).
        const auto corners = object.faces[object.faces.count() - 1];
        const bool fits = cornerTexCoords.size() == 2 * corners.size();
        for (std::size_t k = 0; k < corners.size(); ++k) {
          object.texCoords.corners.push_back(static_cast<std::int32_t>(object.texCoords.count()));
          const float* pair = fits ? &cornerTexCoords[2 * k] : nullptr;
          object.texCoords.values.insert(object.texCoords.values.end(), {pair ? pair[0] : 0.0f, pair ? pair[1] : 0.0f});
        }
      }
    }
  }
  progress.done += bodyEnd - counted;  // what follows the last record too
  // Splat files keep normal slots they never fill: normals all zero say
  // nothing, and lit they would draw the points black.
  const std::vector<float>& normals = object.normals.values;
  if (std::all_of(normals.begin(), normals.end(), [](float n) { return n == 0.0f; })) object.normals.clear();
  if (!header.textureFile.empty() && object.texCoords.present()) {
    if (const std::int32_t texture = addTextureFile(model, name, header.textureFile); texture >= 0) {
      model.materials.push_back(Material{header.textureFile, Rgba{}, texture});
      object.material = 0;
    }
  }
  return finishModel(std::move(model), name);
}

}  // namespace

ReadResult readPlyFile(const char* name) {
  FileBytes bytes;
  if (ReadResult loaded = bytes.load(name); !loaded) return loaded;
  Header header;
  switch (parseHeader(bytes, header)) {
    case HeaderProblem::None: break;
    case HeaderProblem::NotPly: return refuseFile(name, "is not a PLY file");
    case HeaderProblem::CutShort: return refuseDamaged(name);
    case HeaderProblem::NewerVersion: return refuseFile(name, kNewerVersion);
    case HeaderProblem::Unknown: return refuseFile(name, "has a PLY header this reader does not know");
  }
  const std::size_t bodyBytes = bytes.size() - header.bodyStart;
  ReadResult read(ReadFailure::Damaged);
  if (header.layout == Layout::Ascii) {
    TextValues values(bytes, header.bodyStart);
    read = readBody(header, values, bodyBytes, name);
  } else {
    BinaryValues values(bytes, header.bodyStart, header.layout == Layout::BinaryBig);
    read = readBody(header, values, bodyBytes, name);
  }
  return bytes.shrank() ? refuseDamaged(name) : std::move(read);
}
