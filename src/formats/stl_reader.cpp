// STL, binary and ASCII: triangles whose corners are welded, so that equal
// coordinates (compared exactly) are one vertex, as other tools count them.
// A binary file is one whose size is 84 + 50 x its triangle count, whatever
// its header says (binary headers often begin with "solid" too). One object
// a binary file; one a `solid` block of an ASCII file.
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "formats/binary_file.h"
#include "formats/readers.h"
#include "platform/text_scanner.h"

namespace {

// Gives each distinct corner one vertex of the object: an open-addressing
// table whose slots hold the corner's bits and its vertex number together
// (one memory access a look-up), kept at most half full.
class Welder {
 public:
  explicit Welder(MeshObject& object, std::size_t expected = 0) : object_(object) { resize(expected); }

  std::int32_t vertex(const float xyz[3]) {
    Key key = keyOf(xyz);
    return find(key, hash(key), xyz);
  }

  // The vertices of `count` corners into `out`, corner c's x, y and z at
  // `cornerAt(c)`. The slots of corners a few ahead are fetched while the
  // current one is looked up, so the table's cache misses overlap.
  template <typename CornerAt>
  void vertices(CornerAt cornerAt, std::size_t count, std::int32_t* out) {
    constexpr std::size_t kAhead = 16;
    std::size_t hashes[kAhead];
    Key keys[kAhead];
    auto start = [&](std::size_t c) {
      float xyz[3];
      std::memcpy(xyz, cornerAt(c), sizeof xyz);
      keys[c % kAhead] = keyOf(xyz);
      hashes[c % kAhead] = hash(keys[c % kAhead]);
      __builtin_prefetch(&slots_[hashes[c % kAhead] & mask_]);
    };
    for (std::size_t c = 0; c < std::min(count, kAhead); ++c) start(c);
    for (std::size_t c = 0; c < count; ++c) {
      const Key key = keys[c % kAhead];
      const std::size_t h = hashes[c % kAhead];
      if (c + kAhead < count) start(c + kAhead);
      float xyz[3];
      std::memcpy(xyz, cornerAt(c), sizeof xyz);
      out[c] = find(key, h, xyz);
    }
  }

 private:
  struct Key {
    std::uint32_t bits[3];
  };
  struct Slot {
    Key key;
    std::int32_t vertex;  // -1: empty
  };

  static Key keyOf(const float xyz[3]) {
    Key key;
    std::memcpy(key.bits, xyz, sizeof key.bits);
    // -0 and 0 are the same place.
    for (std::uint32_t& bits : key.bits) bits = bits == 0x80000000u ? 0u : bits;
    return key;
  }
  static std::size_t hash(const Key& k) {
    std::uint64_t h = k.bits[0] * 0x9E3779B97F4A7C15ull ^ k.bits[1] * 0xC2B2AE3D27D4EB4Full ^
                      k.bits[2] * 0x165667B19E3779F9ull;
    return static_cast<std::size_t>(h ^ (h >> 29));
  }

  std::int32_t find(const Key& key, std::size_t h, const float xyz[3]) {
    for (std::size_t at = h & mask_;; at = (at + 1) & mask_) {
      Slot& slot = slots_[at];
      if (slot.vertex < 0) {
        const auto index = static_cast<std::int32_t>(object_.vertices.size() / 3);
        object_.vertices.insert(object_.vertices.end(), xyz, xyz + 3);
        slot = {key, index};
        if (2 * static_cast<std::size_t>(index + 1) > slots_.size()) resize(2 * static_cast<std::size_t>(index + 1));
        return index;
      }
      if (std::memcmp(slot.key.bits, key.bits, sizeof key.bits) == 0) return slot.vertex;
    }
  }

  // Room for twice `vertices`, every slot in use placed anew.
  void resize(std::size_t vertices) {
    std::size_t capacity = 64;
    while (capacity < 2 * vertices) capacity *= 2;
    std::vector<Slot> old(capacity, Slot{{{0, 0, 0}}, -1});
    old.swap(slots_);
    mask_ = capacity - 1;
    for (const Slot& slot : old) {
      if (slot.vertex < 0) continue;
      std::size_t at = hash(slot.key) & mask_;
      while (slots_[at].vertex >= 0) at = (at + 1) & mask_;
      slots_[at] = slot;
    }
  }

  MeshObject& object_;
  std::vector<Slot> slots_;
  std::size_t mask_ = 0;
};

ReadResult readBinaryStl(const std::uint8_t* bytes, std::uint32_t count, const char* name) {
  Model model(1);
  MeshObject& object = model[0];
  // Closed meshes have about half as many vertices as triangles.
  Welder welder(object, count / 2 + 16);
  object.faces.indices.reserve(3 * static_cast<std::size_t>(count));
  object.faces.offsets.reserve(static_cast<std::size_t>(count) + 1);
  // The caller checked the size: every record is there. Each is a normal
  // (not used: the faces' own winding is drawn), three corners and two
  // attribute bytes.
  static_assert(std::endian::native == std::endian::little, "STL floats are read in place");
  object.faces.indices.resize(3 * static_cast<std::size_t>(count));
  object.faces.offsets.resize(static_cast<std::size_t>(count) + 1);
  for (std::uint32_t t = 0; t <= count; ++t) object.faces.offsets[t] = 3 * t;
  const std::uint8_t* records = bytes + 84;
  welder.vertices([records](std::size_t c) { return records + 50 * (c / 3) + 12 + 12 * (c % 3); },
                  3 * static_cast<std::size_t>(count), object.faces.indices.data());
  return finishModel(std::move(model), name);
}

bool expect(TextScanner& scan, const char* word) {
  std::string token;
  return scan.readToken(token) && token == word;
}

ReadResult readAsciiStl(const FileBytes& bytes, const char* name) {
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
  FileBytes bytes;
  if (ReadResult loaded = bytes.load(name); !loaded) return loaded;
  std::uint32_t count = 0;
  if (bytes.size() >= 84) std::memcpy(&count, bytes.data() + 80, 4);
  const bool binary = bytes.size() >= 84 && bytes.size() == 84 + 50 * static_cast<std::uint64_t>(count);
  if (!binary && (bytes.size() < 5 || std::memcmp(bytes.data(), "solid", 5) != 0)) {
    return refuseHeader("File, %s, is not a valid STL file.\n", name);
  }
  ReadResult read = binary ? readBinaryStl(bytes.data(), count, name) : readAsciiStl(bytes, name);
  return bytes.shrank() ? refuseDamaged(name) : std::move(read);
}
