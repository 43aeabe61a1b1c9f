// STL, binary and ASCII: triangles whose corners are welded, so that equal
// coordinates (compared exactly) are one vertex, as other tools count them.
// A binary file is one whose size is 84 + 50 x its triangle count, whatever
// its header says (binary headers often begin with "solid" too). One object
// a binary file; one a `solid` block of an ASCII file.
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "formats/binary_file.h"
#include "formats/readers.h"
#include "platform/text_scanner.h"

namespace {

// Gives each distinct corner one vertex of the object: an open-addressing
// table of vertex numbers keyed by the corner's bits, kept at most half full.
class Welder {
 public:
  explicit Welder(MeshObject& object, std::size_t expected = 0) : object_(object) { resize(expected); }
  std::int32_t vertex(const float xyz[3]) {
    std::uint32_t key[3];
    std::memcpy(key, xyz, sizeof key);
    // -0 and 0 are the same place.
    for (std::uint32_t& bits : key) bits = bits == 0x80000000u ? 0u : bits;
    for (std::size_t at = hash(key) & mask_;; at = (at + 1) & mask_) {
      const std::int32_t found = slots_[at];
      if (found < 0) {
        const auto index = static_cast<std::int32_t>(object_.vertices.size() / 3);
        object_.vertices.insert(object_.vertices.end(), xyz, xyz + 3);
        keys_.insert(keys_.end(), key, key + 3);
        slots_[at] = index;
        if (2 * vertexCount() > slots_.size()) resize(2 * vertexCount());
        return index;
      }
      if (std::memcmp(&keys_[3 * static_cast<std::size_t>(found)], key, sizeof key) == 0) return found;
    }
  }

 private:
  std::size_t vertexCount() const { return keys_.size() / 3; }
  static std::size_t hash(const std::uint32_t k[3]) {
    std::uint64_t h = k[0] * 0x9E3779B97F4A7C15ull ^ k[1] * 0xC2B2AE3D27D4EB4Full ^ k[2] * 0x165667B19E3779F9ull;
    return static_cast<std::size_t>(h ^ (h >> 29));
  }
  // Room for twice `vertices`, everything already in placed anew.
  void resize(std::size_t vertices) {
    std::size_t capacity = 64;
    while (capacity < 2 * vertices) capacity *= 2;
    slots_.assign(capacity, -1);
    mask_ = capacity - 1;
    for (std::size_t v = 0; v < vertexCount(); ++v) {
      std::size_t at = hash(&keys_[3 * v]) & mask_;
      while (slots_[at] >= 0) at = (at + 1) & mask_;
      slots_[at] = static_cast<std::int32_t>(v);
    }
  }

  MeshObject& object_;
  std::vector<std::uint32_t> keys_;  // the bits of each vertex, -0 as 0
  std::vector<std::int32_t> slots_;
  std::size_t mask_ = 0;
};

ReadResult readBinaryStl(const std::vector<std::uint8_t>& bytes, std::uint32_t count, const char* name) {
  Model model(1);
  MeshObject& object = model[0];
  // Closed meshes have about half as many vertices as triangles.
  Welder welder(object, count / 2 + 16);
  object.faces.indices.reserve(3 * static_cast<std::size_t>(count));
  object.faces.offsets.reserve(static_cast<std::size_t>(count) + 1);
  ByteCursor in(bytes);
  in.skip(84);
  for (std::uint32_t t = 0; t < count; ++t) {
    in.skip(12);  // the stored normal: the faces' own winding is drawn
    std::span<std::int32_t> face = object.faces.append(3);
    for (std::int32_t& index : face) {
      const float xyz[3] = {in.f32le(), in.f32le(), in.f32le()};
      index = welder.vertex(xyz);
    }
    in.skip(2);  // attribute bytes
  }
  if (in.damaged()) return refuseDamaged(name);
  return finishModel(std::move(model), name);
}

bool expect(TextScanner& scan, const char* word) {
  std::string token;
  return scan.readToken(token) && token == word;
}

ReadResult readAsciiStl(const std::vector<std::uint8_t>& bytes, const char* name) {
  TextScanner scan(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  Model model;
  std::unique_ptr<Welder> welder;
  std::string token;
  while (scan.readToken(token)) {
    if (token == "solid") {
      model.emplace_back();
      welder = std::make_unique<Welder>(model.back());
      scan.skipRestOfLine();  // the solid's name
    } else if (token == "endsolid") {
      welder.reset();
      scan.skipRestOfLine();
    } else if (token == "facet" && welder != nullptr) {
      float normal[3];
      if (!expect(scan, "normal") || !scan.readFloat(normal[0]) || !scan.readFloat(normal[1]) ||
          !scan.readFloat(normal[2]) || !expect(scan, "outer") || !expect(scan, "loop")) {
        return refuseDamaged(name);
      }
      std::vector<std::int32_t> corners;
      while (scan.readToken(token) && token == "vertex") {
        float xyz[3];
        if (!scan.readFloat(xyz[0]) || !scan.readFloat(xyz[1]) || !scan.readFloat(xyz[2])) return refuseDamaged(name);
        corners.push_back(welder->vertex(xyz));
      }
      if (token != "endloop" || !expect(scan, "endfacet") || corners.size() > 32767) return refuseDamaged(name);
      FaceTable& faces = model.back().faces;
      if (faces.indices.size() + corners.size() > UINT32_MAX) return refuseDamaged(name);
      std::span<std::int32_t> face = faces.append(corners.size());
      std::copy(corners.begin(), corners.end(), face.begin());
    } else {
      return refuseDamaged(name);
    }
  }
  return finishModel(std::move(model), name);
}

}  // namespace

ReadResult readStlFile(const char* name) {
  std::vector<std::uint8_t> bytes;
  if (ReadResult loaded = loadBinaryFile(name, bytes); !loaded) return loaded;
  if (bytes.size() >= 84) {
    ByteCursor in(bytes);
    in.skip(80);
    const std::uint32_t count = in.u32le();
    if (bytes.size() == 84 + 50 * static_cast<std::uint64_t>(count)) return readBinaryStl(bytes, count, name);
  }
  if (bytes.size() < 5 || std::memcmp(bytes.data(), "solid", 5) != 0) {
    return refuseHeader("File, %s, is not a valid STL file.\n", name);
  }
  return readAsciiStl(bytes, name);
}
