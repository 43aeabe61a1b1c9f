// PLY, ASCII and binary in either byte order: the header declares elements,
// each a count of records of typed properties. The `vertex` element gives
// the vertices (its x, y and z, whatever their type), the `face` element the
// faces (its `vertex_indices` or `vertex_index` list); every other element
// and property is skipped by its declared type. One object.
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
#include "platform/large_arrays.h"
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
};

// Headers are a few hundred bytes; the search for their end stops here, so
// that a big file that is no PLY file is not read through.
constexpr std::size_t kLongestHeader = std::size_t{1} << 20;

// Splits the header into words line by line, up to and with `end_header`.
// False for anything that is not a PLY header this reader knows.
bool parseHeader(const FileBytes& bytes, Header& header) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), std::min(bytes.size(), kLongestHeader));
  std::size_t at = 0;
  bool first = true, sawFormat = false;
  while (at < text.size()) {
    const std::size_t lf = text.find('\n', at);
    if (lf == std::string_view::npos) return false;  // a header never ends the file
    std::string_view line = text.substr(at, lf - at);
    at = lf + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::vector<std::string_view> words;
    for (std::size_t w = 0; w < line.size();) {
      const std::size_t start = line.find_first_not_of(" \t", w);
      if (start == std::string_view::npos) break;
      const std::size_t stop = std::min(line.find_first_of(" \t", start), line.size());
      words.push_back(line.substr(start, stop - start));
      w = stop;
    }
    if (first) {
      if (words.size() != 1 || words[0] != "ply") return false;
      first = false;
      continue;
    }
    if (words.empty() || words[0] == "comment" || words[0] == "obj_info") continue;
    if (words[0] == "end_header") {
      header.bodyStart = at;
      return sawFormat;
    }
    if (words[0] == "format" && words.size() == 3 && !sawFormat) {
      if (words[1] == "ascii") header.layout = Layout::Ascii;
      else if (words[1] == "binary_little_endian") header.layout = Layout::BinaryLittle;
      else if (words[1] == "binary_big_endian") header.layout = Layout::BinaryBig;
      else return false;
      sawFormat = true;
    } else if (words[0] == "element" && words.size() == 3) {
      Element element;
      element.name = words[1];
      const auto [end, error] = std::from_chars(words[2].data(), words[2].data() + words[2].size(), element.count);
      if (error != std::errc() || end != words[2].data() + words[2].size()) return false;
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
        return false;
      }
      header.elements.back().properties.push_back(std::move(property));
    } else {
      return false;
    }
  }
  return false;
}

// What the reader takes from an element's records.
struct Roles {
  int x = -1, y = -1, z = -1;  // property numbers of the coordinates
  int corners = -1;            // the face's index list
};

// One record after another out of the binary body, every value bounds-checked.
class BinaryValues {
 public:
  BinaryValues(const FileBytes& bytes, std::size_t start, bool big) : in_(bytes.data(), bytes.size()), big_(big) {
    in_.seek(start);
  }
  ByteCursor& cursor() { return in_; }
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
      : p_(reinterpret_cast<const char*>(bytes.data()) + start),
        end_(reinterpret_cast<const char*>(bytes.data()) + bytes.size()) {}
  bool damaged() const { return damaged_; }
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
  const char* p_;
  const char* end_;
  bool damaged_ = false;
};

bool isDamaged(BinaryValues& values) { return values.cursor().damaged(); }
bool isDamaged(const TextValues& values) { return values.damaged(); }

constexpr std::size_t kLargestFace = 32767;

template <typename Values>
ReadResult readBody(const Header& header, Values& values, std::size_t bodyBytes, const char* name) {
  const bool text = header.layout == Layout::Ascii;
  Model model(1);
  MeshObject& object = model[0];
  for (const Element& element : header.elements) {
    if (element.properties.empty()) continue;  // records of nothing take no bytes
    Roles roles;
    const bool isVertex = element.name == "vertex", isFace = element.name == "face";
    std::size_t smallest = 0;  // the fewest bytes (binary) a record can take
    for (std::size_t k = 0; k < element.properties.size(); ++k) {
      const Property& property = element.properties[k];
      const int number = static_cast<int>(k);
      smallest += text ? 1 : sizeOf(property.countType.value_or(property.type));
      if (isVertex && !property.countType) {
        if (property.name == "x") roles.x = number;
        if (property.name == "y") roles.y = number;
        if (property.name == "z") roles.z = number;
      }
      if (isFace && property.countType && (property.name == "vertex_indices" || property.name == "vertex_index")) {
        roles.corners = number;
      }
    }
    if (isVertex && (roles.x < 0 || roles.y < 0 || roles.z < 0)) {
      return refuseDamaged(name, "File, %s, has vertices without x, y and z.\n");
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
      float xyz[3] = {0, 0, 0};
      for (std::size_t k = 0; k < element.properties.size(); ++k) {
        const Property& property = element.properties[k];
        const int number = static_cast<int>(k);
        if (property.countType) {
          const std::int64_t length = values.whole(*property.countType);
          if (length < 0) return refuseDamaged(name);
          if (number != roles.corners) {
            for (std::int64_t i = 0; i < length && !isDamaged(values); ++i) values.skip(property.type);
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
        } else {
          values.skip(property.type);
        }
      }
      if (isDamaged(values)) return refuseDamaged(name);
      if (isVertex) object.vertices.insert(object.vertices.end(), xyz, xyz + 3);
    }
  }
  return finishModel(std::move(model), name);
}

}  // namespace

ReadResult readPlyFile(const char* name) {
  FileBytes bytes;
  if (ReadResult loaded = bytes.load(name); !loaded) return loaded;
  Header header;
  if (!parseHeader(bytes, header)) return refuseHeader("File, %s, is not a valid PLY file.\n", name);
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
