#include "formats/hand_back.h"

#include <cstring>
#include <utility>

#include "formats/texture_files.h"
#include "platform/byte_cursor.h"

namespace {

constexpr char kMagic[] = "TSHB";
constexpr std::uint8_t kColours = 1, kNormals = 2, kTexCoords = 4;
// Larger pictures are refused by the texture decoder as well.
constexpr std::uint32_t kLargestSide = 16384;
// A face's size is kept in 16 bits (MeshObject::faceSize).
constexpr std::uint32_t kLargestFace = 32767;

class Writer {
 public:
  void u8(std::uint8_t v) { bytes.push_back(v); }
  void u32(std::uint32_t v) {
    for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
  }
  void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
  void f32(float v) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &v, 4);
    u32(bits);
  }
  void count(std::size_t n) { u32(static_cast<std::uint32_t>(n)); }
  void text(const std::string& s) {
    count(s.size());
    bytes.insert(bytes.end(), s.begin(), s.end());
  }
  void floats(const std::vector<float>& values) {
    for (float v : values) f32(v);
  }
  void table(const FaceTable& table) {
    count(table.count());
    count(table.indices.size());
    for (std::size_t k = 0; k < table.count(); ++k) count(table[k].size());
    for (std::int32_t index : table.indices) i32(index);
  }
  std::vector<std::uint8_t> bytes;
};

// Reading, every count checked against the bytes left before anything is made.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : in_(bytes.data(), bytes.size()) {}

  bool fail(const char* why) {
    if (reason_ == nullptr) reason_ = why;
    in_.fail();
    return false;
  }
  const char* reason() const { return reason_ != nullptr ? reason_ : "ends early"; }
  bool damaged() const { return reason_ != nullptr || in_.damaged(); }
  ByteCursor& in() { return in_; }

  // A count of records of `size` bytes each that the bytes left can hold.
  bool count(std::uint32_t& n, std::uint64_t size) {
    n = in_.u32le();
    return in_.holds(n, size) || fail("states more than it holds");
  }
  bool text(std::string& s) {
    std::uint32_t n = 0;
    if (!count(n, 1)) return false;
    s = in_.text(n);
    return true;
  }
  bool floats(std::vector<float>& values, std::uint32_t n, std::uint32_t width) {
    if (!in_.holds(std::uint64_t{n} * width, 4)) return fail("states more than it holds");
    values.resize(std::size_t{n} * width);
    for (float& v : values) v = in_.f32le();
    return !in_.damaged();
  }
  bool table(FaceTable& table, std::uint32_t vertices, std::uint32_t smallest) {
    std::uint32_t entries = 0, corners = 0;
    if (!count(entries, 4) || !count(corners, 4)) return false;
    if (!in_.holds(std::uint64_t{entries} + corners, 4)) return fail("states more than it holds");
    table.offsets.resize(std::size_t{entries} + 1);
    std::uint64_t at = 0;
    for (std::uint32_t k = 0; k < entries; ++k) {
      const std::uint32_t size = in_.u32le();
      if (size < smallest || size > kLargestFace) return fail("has a face or line of a size not kept");
      at += size;
      if (at > corners) return fail("has more corners than it states");
      table.offsets[k + 1] = static_cast<std::uint32_t>(at);
    }
    if (at != corners) return fail("has fewer corners than it states");
    table.indices.resize(corners);
    for (std::int32_t& index : table.indices) {
      index = in_.i32le();
      if (index < 0 || static_cast<std::uint32_t>(index) >= vertices) return fail("names a vertex it does not have");
    }
    return !in_.damaged();
  }

 private:
  ByteCursor in_;
  const char* reason_ = nullptr;
};

bool readTextures(Reader& r, HandBack& handBack) {
  std::uint32_t n = 0;
  if (!r.count(n, 16)) return false;
  handBack.textures.resize(n);
  for (HandBackTexture& t : handBack.textures) {
    if (!r.text(t.name)) return false;
    const std::uint32_t width = r.in().u32le(), height = r.in().u32le();
    std::uint32_t size = 0;
    if (!r.count(size, 1)) return false;
    if (width > kLargestSide || height > kLargestSide || (width == 0) != (height == 0) ||
        (width > 0 && std::uint64_t{width} * height * 4 != size)) {
      return r.fail("has a texture of a size that does not fit its bytes");
    }
    t.width = static_cast<int>(width);
    t.height = static_cast<int>(height);
    const std::string_view bytes = r.in().text(size);
    t.bytes.assign(bytes.begin(), bytes.end());
  }
  return !r.damaged();
}

bool readMaterials(Reader& r, HandBack& handBack) {
  std::uint32_t n = 0;
  if (!r.count(n, 29)) return false;
  handBack.model.materials.resize(n);
  for (Material& m : handBack.model.materials) {
    if (!r.text(m.name)) return false;
    ByteCursor& in = r.in();
    m.baseColor = {in.f32le(), in.f32le(), in.f32le(), in.f32le()};
    m.texture = in.i32le();
    const std::uint8_t mode = in.u8();
    m.alphaCutoff = in.f32le();
    if (m.texture < -1 || m.texture >= static_cast<std::int64_t>(handBack.textures.size())) {
      return r.fail("has a material whose texture is not there");
    }
    if (mode > static_cast<std::uint8_t>(AlphaMode::Blend)) return r.fail("has an unknown alpha mode");
    m.alphaMode = static_cast<AlphaMode>(mode);
  }
  return !r.damaged();
}

template <int W>
bool readPerVertex(Reader& r, SurfaceAttribute<W>& attribute, std::uint32_t vertices) {
  attribute.binding = Binding::PerVertex;
  return r.floats(attribute.values, vertices, W);
}

bool readObjects(Reader& r, HandBack& handBack) {
  std::uint32_t n = 0;
  // The least an object takes: its counts, flags and material.
  if (!r.count(n, 25)) return false;
  handBack.model.resize(n);
  for (MeshObject& o : handBack.model) {
    std::uint32_t vertices = 0;
    if (!r.count(vertices, 12) || !r.floats(o.vertices, vertices, 3)) return false;
    if (!r.table(o.faces, vertices, 3) || !r.table(o.lines, vertices, 2)) return false;
    const std::uint8_t which = r.in().u8();
    if ((which & ~(kColours | kNormals | kTexCoords)) != 0) return r.fail("has unknown vertex values");
    if ((which & kColours) != 0 && !readPerVertex(r, o.colors, vertices)) return false;
    if ((which & kNormals) != 0 && !readPerVertex(r, o.normals, vertices)) return false;
    if ((which & kTexCoords) != 0 && !readPerVertex(r, o.texCoords, vertices)) return false;
    o.material = r.in().i32le();
    if (o.material < -1 || o.material >= static_cast<std::int64_t>(handBack.model.materials.size())) {
      return r.fail("has an object whose material is not there");
    }
  }
  return !r.damaged();
}

}  // namespace

std::vector<std::uint8_t> writeHandBack(const HandBack& handBack) {
  Writer w;
  w.bytes.assign(kMagic, kMagic + 4);
  w.u32(kHandBackVersion);
  if (!handBack.failure.empty()) {
    w.u8(1);
    w.text(handBack.failure);
    return std::move(w.bytes);
  }
  w.u8(0);
  w.count(handBack.textures.size());
  for (const HandBackTexture& t : handBack.textures) {
    w.text(t.name);
    w.u32(static_cast<std::uint32_t>(t.width));
    w.u32(static_cast<std::uint32_t>(t.height));
    w.count(t.bytes.size());
    w.bytes.insert(w.bytes.end(), t.bytes.begin(), t.bytes.end());
  }
  w.count(handBack.model.materials.size());
  for (const Material& m : handBack.model.materials) {
    w.text(m.name);
    for (float v : {m.baseColor.r, m.baseColor.g, m.baseColor.b, m.baseColor.a}) w.f32(v);
    w.i32(m.texture);
    w.u8(static_cast<std::uint8_t>(m.alphaMode));
    w.f32(m.alphaCutoff);
  }
  w.count(handBack.model.size());
  for (const MeshObject& o : handBack.model) {
    w.count(o.vertices.size() / 3);
    w.floats(o.vertices);
    w.table(o.faces);
    w.table(o.lines);
    const auto has = [&](const auto& attribute) {
      return attribute.binding == Binding::PerVertex && attribute.count() == o.vertices.size() / 3;
    };
    w.u8(static_cast<std::uint8_t>((has(o.colors) ? kColours : 0) | (has(o.normals) ? kNormals : 0) |
                                   (has(o.texCoords) ? kTexCoords : 0)));
    if (has(o.colors)) w.floats(o.colors.values);
    if (has(o.normals)) w.floats(o.normals.values);
    if (has(o.texCoords)) w.floats(o.texCoords.values);
    w.i32(o.material);
  }
  return std::move(w.bytes);
}

bool parseHandBack(std::span<const std::uint8_t> bytes, HandBack& handBack, std::string& reason) {
  handBack = HandBack{};
  Reader r(bytes);
  if (r.in().text(4) != std::string_view(kMagic, 4)) {
    reason = "does not begin as a hand-back stream";
    return false;
  }
  if (r.in().u32le() != kHandBackVersion) {
    reason = "is of another version";
    return false;
  }
  const std::uint8_t kind = r.in().u8();
  bool whole = false;
  if (kind == 1) {
    whole = r.text(handBack.failure) && !handBack.failure.empty();
    if (handBack.failure.empty()) r.fail("gives no reason for its failure");
  } else if (kind == 0) {
    whole = readTextures(r, handBack) && readMaterials(r, handBack) && readObjects(r, handBack);
  } else {
    r.fail("is neither a model nor a failure");
  }
  if (whole && !r.in().atEnd()) r.fail("goes on past its end");
  if (!whole || r.damaged()) {
    reason = r.reason();
    handBack = HandBack{};
    return false;
  }
  return true;
}

ReadResult modelOfHandBack(HandBack handBack, const char* modelPath) {
  Model& model = handBack.model;
  std::vector<std::int32_t> decoded;
  for (HandBackTexture& t : handBack.textures) {
    if (t.width > 0) {
      decoded.push_back(static_cast<std::int32_t>(model.textures.size()));
      model.textures.push_back({t.name, t.width, t.height, std::move(t.bytes)});
    } else if (!t.bytes.empty()) {
      decoded.push_back(addTextureBytes(model, modelPath, t.bytes, t.name));
    } else {
      decoded.push_back(addTextureFile(model, modelPath, t.name));
    }
  }
  for (Material& m : model.materials) {
    if (m.texture >= 0) m.texture = decoded[static_cast<std::size_t>(m.texture)];
  }
  return finishModel(std::move(model), modelPath);
}
