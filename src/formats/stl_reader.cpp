// STL, binary and ASCII: triangles whose corners are welded, so that equal
// coordinates (compared exactly) are one vertex, as other tools count them.
// A binary file is one whose size is 84 + 50 x its triangle count, whatever
// its header says (binary headers often begin with "solid" too). One object
// a binary file; one a `solid` block of an ASCII file.
#include <strings.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "formats/binary_file.h"
#include "formats/readers.h"
#include "platform/large_arrays.h"
#include "platform/read_progress.h"
#include "platform/text_scanner.h"

namespace {

// What identifies a corner: its bits, -0 taken as 0 (the same place).
struct CornerKey {
  std::uint32_t bits[3];
  bool operator==(const CornerKey& other) const { return std::memcmp(bits, other.bits, sizeof bits) == 0; }
};

CornerKey keyOf(const void* xyz) {
  CornerKey key;
  std::memcpy(key.bits, xyz, sizeof key.bits);
  for (std::uint32_t& bits : key.bits) bits = bits == 0x80000000u ? 0u : bits;
  return key;
}

std::uint64_t hashOf(const CornerKey& k) {
  const std::uint64_t h = k.bits[0] * 0x9E3779B97F4A7C15ull ^ k.bits[1] * 0xC2B2AE3D27D4EB4Full ^
                          k.bits[2] * 0x165667B19E3779F9ull;
  return h ^ (h >> 29);
}

// An open-addressing table from corners to a number standing for them (a
// vertex, or the corner where they first appear), kept at most half full.
// A slot holds more bits of the hash beside the number, so that most unequal
// corners are passed over without reading them; `keyOfNumber` gives the key
// a number stands for, to compare with.
template <typename KeyOfNumber>
class CornerTable {
 public:
  CornerTable(std::size_t expected, KeyOfNumber keyOfNumber) : keyOfNumber_(keyOfNumber) { resize(expected); }

  // The number of an equal corner already in the table, or `fresh`, now in it.
  std::int32_t find(const CornerKey& key, std::uint64_t hash, std::int32_t fresh) {
    // Grown before the look-up, so that `fresh` is never looked up itself.
    if (2 * (used_ + 1) > slots_.size()) resize(used_ + 1);
    const auto check = static_cast<std::uint32_t>(hash >> 32);
    for (std::size_t at = hash & mask_;; at = (at + 1) & mask_) {
      Slot& slot = slots_[at];
      if (slot.number < 0) {
        slot = {check, fresh};
        ++used_;
        return fresh;
      }
      if (slot.check == check && keyOfNumber_(slot.number) == key) return slot.number;
    }
  }
  void prefetch(std::uint64_t hash) const { __builtin_prefetch(&slots_[hash & mask_]); }

 private:
  struct Slot {
    std::uint32_t check;
    std::int32_t number;  // -1: empty
  };
  // Room for twice `count`, every slot in use placed anew.
  void resize(std::size_t count) {
    std::size_t capacity = 64;
    while (capacity < 2 * count) capacity *= 2;
    std::vector<Slot> old;
    reserveLargeArray(old, capacity);
    old.assign(capacity, Slot{0, -1});
    old.swap(slots_);
    mask_ = capacity - 1;
    for (const Slot& slot : old) {
      if (slot.number < 0) continue;
      std::size_t at = hashOf(keyOfNumber_(slot.number)) & mask_;
      while (slots_[at].number >= 0) at = (at + 1) & mask_;
      slots_[at] = slot;
    }
  }

  KeyOfNumber keyOfNumber_;
  std::vector<Slot> slots_;
  std::size_t mask_ = 0, used_ = 0;
};

// Gives each distinct corner one vertex of its object, as the corners come.
class Welder {
 public:
  explicit Welder(MeshObject& object, std::size_t expected = 0)
      : object_(object), table_(expected, VertexKey{&object.vertices}) {
    reserveLargeArray(object_.vertices, 3 * expected);
  }

  std::int32_t vertex(const float xyz[3]) {
    const CornerKey key = keyOf(xyz);
    return vertex(key, hashOf(key), xyz);
  }

  // The vertices of `count` corners into `out`, corner c's x, y and z at
  // `cornerAt(c)`. The slots of corners a few ahead are fetched while the
  // current one is looked up, so that the cache misses overlap.
  template <typename CornerAt>
  void vertices(CornerAt cornerAt, std::size_t count, std::int32_t* out) {
    constexpr std::size_t kAhead = 16, kRecent = 6;
    std::uint64_t hashes[kAhead];
    CornerKey keys[kAhead];
    CornerKey recentKeys[kRecent] = {};
    std::int32_t recentVertices[kRecent] = {-1, -1, -1, -1, -1, -1};
    auto start = [&](std::size_t c) {
      keys[c % kAhead] = keyOf(cornerAt(c));
      hashes[c % kAhead] = hashOf(keys[c % kAhead]);
      table_.prefetch(hashes[c % kAhead]);
    };
    for (std::size_t c = 0; c < std::min(count, kAhead); ++c) start(c);
    for (std::size_t c = 0; c < count; ++c) {
      const CornerKey key = keys[c % kAhead];
      const std::uint64_t hash = hashes[c % kAhead];
      if (c + kAhead < count) start(c + kAhead);
      // Neighbouring triangles share corners: the last two triangles' are
      // compared first, which spares most look-ups in files written in
      // strips or fans.
      std::int32_t found = -1;
      for (std::size_t k = 0; k < kRecent && found < 0; ++k) {
        if (recentKeys[k] == key) found = recentVertices[k];
      }
      if (found < 0) {
        float xyz[3];
        std::memcpy(xyz, cornerAt(c), sizeof xyz);
        found = vertex(key, hash, xyz);
      }
      recentKeys[c % kRecent] = key;
      recentVertices[c % kRecent] = found;
      out[c] = found;
    }
  }

 private:
  std::int32_t vertex(const CornerKey& key, std::uint64_t hash, const float xyz[3]) {
    const auto fresh = static_cast<std::int32_t>(object_.vertices.size() / 3);
    const std::int32_t found = table_.find(key, hash, fresh);
    if (found == fresh) object_.vertices.insert(object_.vertices.end(), xyz, xyz + 3);
    return found;
  }
  struct VertexKey {
    const std::vector<float>* vertices;
    CornerKey operator()(std::int32_t v) const { return keyOf(&(*vertices)[3 * static_cast<std::size_t>(v)]); }
  };
  MeshObject& object_;
  CornerTable<VertexKey> table_;
};

ReadResult readBinaryStl(const std::uint8_t* bytes, std::uint32_t count, const char* name) {
  // Corners are numbered in 31 bits (a file that big would be 35 GB).
  if (3 * static_cast<std::uint64_t>(count) > INT32_MAX) return refuseDamaged(name);
  ReadProgress& progress = readProgress();
  progress.toDo += 50 * static_cast<std::uint64_t>(count);  // known before the tables are made
  Model model(1);
  MeshObject& object = model[0];
  // Closed meshes have about half as many vertices as triangles.
  Welder welder(object, static_cast<std::size_t>(count) / 2 + 16);
  resizeLargeArray(object.faces.indices, 3 * static_cast<std::size_t>(count));
  resizeLargeArray(object.faces.offsets, static_cast<std::size_t>(count) + 1);
  for (std::uint32_t t = 0; t <= count; ++t) object.faces.offsets[t] = 3 * t;
  // The caller checked the size: every record is there. Each is a normal
  // (not used: the faces' own winding is drawn), three corners and two
  // attribute bytes.
  static_assert(std::endian::native == std::endian::little, "STL floats are read in place");
  // In runs of triangles, each counted in the progress; a cancelled read
  // stops between them.
  constexpr std::uint32_t kRun = 65536;
  for (std::uint32_t first = 0; first < count; first += kRun) {
    if (readCancelled()) return ReadResult(ReadFailure::Damaged);
    const std::uint32_t run = std::min(kRun, count - first);
    const std::uint8_t* records = bytes + 84 + 50 * static_cast<std::size_t>(first);
    welder.vertices([records](std::size_t c) { return records + 50 * (c / 3) + 12 + 12 * (c % 3); },
                    3 * static_cast<std::size_t>(run), object.faces.indices.data() + 3 * static_cast<std::size_t>(first));
    progress.done += 50 * static_cast<std::uint64_t>(run);
  }
  return finishModel(std::move(model), name);
}

// The next word; an empty one, which no rule takes, for a run of text longer
// than any word of the format: that is not read into memory.
bool readWord(TextScanner& scan, std::string& token) {
  std::string_view next;
  if (!scan.peekToken(next)) return false;
  if (next.size() >= 255) {
    token.clear();
    return true;
  }
  return scan.readToken(token);
}

// Keywords are written in either case.
bool is(const std::string& token, const char* word) { return strcasecmp(token.c_str(), word) == 0; }

bool expect(TextScanner& scan, const char* word) {
  std::string token;
  return readWord(scan, token) && is(token, word);
}

// A writer's word of its own: none that begins or ends a part of a solid,
// and no run too long to be a word (that is damage, and is not read).
bool isStray(const std::string& token) {
  for (const char* word : {"solid", "endsolid", "facet", "outer", "vertex", "endloop", "endfacet"}) {
    if (is(token, word)) return false;
  }
  return !token.empty();
}

ReadResult readAsciiStl(const FileBytes& bytes, const char* name) {
  TextScanner scan(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  Model model;
  std::unique_ptr<Welder> welder;
  std::string token;
  bool facetInSolid = false;
  while (readWord(scan, token)) {
    if (is(token, "solid")) {
      model.emplace_back();
      welder = std::make_unique<Welder>(model.back());
      facetInSolid = false;
      scan.skipRestOfLine();  // the solid's name
    } else if (is(token, "endsolid")) {
      welder.reset();
      scan.skipRestOfLine();
    } else if (is(token, "facet") && welder != nullptr) {
      // The normal is not used (the faces' own winding is drawn): whatever
      // its three words say, even nothing of a number.
      if (!expect(scan, "normal")) return refuseDamaged(name);
      for (int k = 0; k < 3 && readWord(scan, token) && !is(token, "outer"); ++k) {
      }
      if (!is(token, "outer") && !expect(scan, "outer")) return refuseDamaged(name);
      if (!expect(scan, "loop")) return refuseDamaged(name);
      std::vector<std::int32_t> corners;
      while (readWord(scan, token) && is(token, "vertex")) {
        float xyz[3];
        if (!scan.readFloat(xyz[0]) || !scan.readFloat(xyz[1]) || !scan.readFloat(xyz[2])) return refuseDamaged(name);
        corners.push_back(welder->vertex(xyz));
      }
      if (!is(token, "endloop") || corners.size() > 32767) return refuseDamaged(name);
      // Some writers leave words of their own before endfacet.
      while (readWord(scan, token) && isStray(token)) {
      }
      if (!is(token, "endfacet")) return refuseDamaged(name);
      FaceTable& faces = model.back().faces;
      if (faces.indices.size() + corners.size() > UINT32_MAX) return refuseDamaged(name);
      std::span<std::int32_t> face = faces.append(corners.size());
      std::copy(corners.begin(), corners.end(), face.begin());
      facetInSolid = true;
    } else if (!(welder != nullptr && facetInSolid && isStray(token))) {
      // Words of a writer's own between the facets of a solid are passed
      // over; anywhere else a word that is not STL is damage.
      return refuseDamaged(name);
    }
  }
  return finishModel(std::move(model), name);
}

// Bytes no text file holds: a count's or a float's zeros, other control codes.
bool holdsControlBytes(const std::uint8_t* bytes, std::size_t size) {
  return std::any_of(bytes, bytes + size, [](std::uint8_t b) { return b < 0x20 && (b < '\t' || b > '\r'); });
}

}  // namespace

ReadResult readStlFile(const char* name) {
  FileBytes bytes;
  if (ReadResult loaded = bytes.load(name); !loaded) return loaded;
  std::uint32_t count = 0;
  if (bytes.size() >= 84) std::memcpy(&count, bytes.data() + 80, 4);
  const bool binary = bytes.size() >= 84 && bytes.size() == 84 + 50 * static_cast<std::uint64_t>(count);
  if (!binary && (bytes.size() < 5 || strncasecmp(reinterpret_cast<const char*>(bytes.data()), "solid", 5) != 0)) {
    // Binary content whose size is not what its triangle count needs is a
    // binary file cut short (or run on), not a file of another kind.
    return holdsControlBytes(bytes.data(), std::min<std::size_t>(bytes.size(), 4096)) ? refuseDamaged(name)
                                                                                        : refuseFile(name, "is not an STL file");
  }
  ReadResult read = binary ? readBinaryStl(bytes.data(), count, name) : readAsciiStl(bytes, name);
  return bytes.shrank() ? refuseDamaged(name) : std::move(read);
}
