// Wavefront OBJ, in one object: vertex positions from "v " lines (with the
// colour some writers put after them), polygons from "f " lines with the
// texture coordinate ("vt") and normal ("vn") of each corner, polylines from
// "l " lines, and the materials "usemtl" gives faces out of the libraries
// "mtllib" names; everything else is passed over. Two passes: the first
// counts, so every array is made once at its final size. Both passes walk
// whole blocks of lines; face lines are scanned byte by byte up to their
// line feed, other lines are skipped with memchr.
//
// Where the file leaves things out:
// - a corner without a texture coordinate (or with an index that names
//   none), in a file where others have one, takes an added (0, 0); normals
//   are kept only when every corner names one, else they are all computed,
//   as for a file without any;
// - colours are kept only when every vertex line has them; values over 1
//   anywhere mean the file writes 0..255;
// - a material no library defines (or a missing library) gives its faces no
//   material, so they draw as they would without one;
// - lines and points take the material in force at the first "l" or "p"
//   line; "p" lines add nothing else (a file of vertices without faces or
//   lines shows them all as points, and one with faces shows no points).
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "formats/mtl_reader.h"
#include "formats/readers.h"
#include "formats/side_files.h"
#include "formats/text_parts.h"
#include "formats/texture_files.h"
#include "platform/large_arrays.h"
#include "platform/text_scanner.h"

namespace {

// Blanks between face groups; a carriage return counts as one, so CR LF
// lines read like LF lines.
bool isSeparator(char c) { return c == ' ' || c == '\t' || c == '\r'; }

bool startsLine(const char* p, const char* end, char kind) {
  return end - p >= 2 && p[0] == kind && p[1] == ' ';
}

// A line of the statement `word` with a blank after it.
bool startsStatement(const char* p, const char* end, std::string_view word) {
  return static_cast<std::size_t>(end - p) > word.size() && std::memcmp(p, word.data(), word.size()) == 0 &&
         (p[word.size()] == ' ' || p[word.size()] == '\t');
}

// The start of the next line. Inline rather than memchr: most lines are a
// few dozen bytes, where the call costs more than the search.
const char* nextLine(const char* p, const char* end) {
#if defined(__SSE2__)
  const __m128i lineFeed = _mm_set1_epi8('\n');
  while (end - p >= 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned bits =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lineFeed)));
    if (bits != 0) return p + __builtin_ctz(bits) + 1;
    p += 16;
  }
#endif
  const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
  return lf != nullptr ? static_cast<const char*>(lf) + 1 : end;
}

// What follows a statement's word up to `next` (the next line), without the
// blanks around it: a material or library name.
std::string restOfLine(const char* p, const char* next) {
  while (p < next && (*p == ' ' || *p == '\t')) ++p;
  while (next > p && (next[-1] == '\n' || next[-1] == '\r' || next[-1] == ' ' || next[-1] == '\t')) --next;
  return std::string(p, static_cast<std::size_t>(next - p));
}

struct Counts {
  std::uint64_t vertexLines = 0, faceLines = 0, groups = 0;
  std::uint64_t texCoordLines = 0, normalLines = 0, lineLines = 0, lineGroups = 0;
  // The names the usemtl lines give, in turn, and the mtllib lines' names.
  std::vector<std::string> materialUses, libraries;
};

// Set bits of a 16-bit mask, without the library call that the baseline
// x86-64 target makes of a popcount.
unsigned bitCount16(unsigned x) {
  x = x - ((x >> 1) & 0x5555u);
  x = (x & 0x3333u) + ((x >> 2) & 0x3333u);
  x = (x + (x >> 4)) & 0x0F0Fu;
  return (x + (x >> 8)) & 0x1Fu;
}

// Counts the groups of the face line text at p up to its line feed and
// returns where the line ends. Groups begin where a separator is followed by
// anything else; this runs over every byte of every face line, so it takes
// sixteen bytes a step where the processor allows.
[[gnu::always_inline]] inline const char* countFaceGroups(const char* p, const char* end, std::uint64_t& groups) {
  unsigned previousSeparator = 1;
#if defined(__SSE2__)
  const __m128i blank = _mm_set1_epi8(' '), tab = _mm_set1_epi8('\t');
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
  while (end - p >= 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i lineFeeds = _mm_cmpeq_epi8(bytes, lf);
    const __m128i separators =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, blank), _mm_cmpeq_epi8(bytes, tab)),
                     _mm_or_si128(_mm_cmpeq_epi8(bytes, cr), lineFeeds));
    const unsigned separatorBits = static_cast<unsigned>(_mm_movemask_epi8(separators));
    const unsigned lineFeedBits = static_cast<unsigned>(_mm_movemask_epi8(lineFeeds));
    unsigned starts = ~separatorBits & ((separatorBits << 1) | previousSeparator) & 0xFFFFu;
    if (lineFeedBits != 0) {
      const int at = __builtin_ctz(lineFeedBits);
      starts &= (1u << at) - 1u;
      groups += bitCount16(starts);
      return p + at;
    }
    groups += bitCount16(starts);
    previousSeparator = separatorBits >> 15;
    p += 16;
  }
#endif
  for (; p < end && *p != '\n'; ++p) {
    const unsigned separator = static_cast<unsigned>(*p == ' ') |
                               static_cast<unsigned>(*p == '\t') |
                               static_cast<unsigned>(*p == '\r');
    groups += previousSeparator & (separator ^ 1u);
    previousSeparator = separator;
  }
  return p;
}

// Lines other than "v " and "f ", which are rare enough to be told apart
// one by one.
const char* countOtherLine(const char* p, const char* end, Counts& counts) {
  if (startsLine(p, end, 'l')) {
    ++counts.lineLines;
    return countFaceGroups(p + 2, end, counts.lineGroups) + 1;
  }
  const char* next = nextLine(p, end);
  if (startsStatement(p, next, "vt")) {
    ++counts.texCoordLines;
  } else if (startsStatement(p, next, "vn")) {
    ++counts.normalLines;
  } else if (startsStatement(p, next, "usemtl")) {
    counts.materialUses.push_back(restOfLine(p + 6, next));
  } else if (startsStatement(p, next, "mtllib")) {
    counts.libraries.push_back(restOfLine(p + 6, next));
  }
  return next;
}

void countBlock(const char* p, const char* end, Counts& counts) {
  while (p < end) {
    if (startsLine(p, end, 'f')) {
      ++counts.faceLines;
      p = countFaceGroups(p + 2, end, counts.groups) + 1;
    } else if (startsLine(p, end, 'v')) {
      ++counts.vertexLines;
      p = nextLine(p, end);
    } else {
      p = countOtherLine(p, end, counts);
    }
  }
}

// The first separator or line feed at or after p: the end of a face group.
const char* skipToSeparator(const char* p, const char* end) {
#if defined(__SSE2__)
  while (end - p >= 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i stops = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')),
                     _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t'))),
        _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')),
                     _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'))));
    const unsigned bits = static_cast<unsigned>(_mm_movemask_epi8(stops));
    if (bits != 0) return p + __builtin_ctz(bits);
    p += 16;
  }
#endif
  while (p < end && *p != '\n' && !isSeparator(*p)) ++p;
  return p;
}

// Reads the integer at p (not at the end) as an index into a table of
// `count` entries of which `soFar` are read, a negative one counting back
// from there, and returns where its digits end. `index` takes the 0-based
// index; `valid` turns false instead when the text names no entry.
[[gnu::always_inline]] inline const char* readIndex(const char* p, const char* end, std::int64_t soFar,
                                                    std::int64_t count, std::int32_t& index, bool& valid) {
  bool negative = false;
  if (*p == '-' || *p == '+') negative = *p++ == '-';
  const char* digits = p;
  std::uint64_t value = 0;
  // Up to 18 digits cannot overflow; more name no entry in any case.
  for (; p < end && static_cast<unsigned>(*p - '0') <= 9u; ++p) {
    if (p - digits < 18) value = value * 10 + static_cast<unsigned>(*p - '0');
  }
  const bool tooLong = p - digits >= 18;
  const std::int64_t signedValue = static_cast<std::int64_t>(value);
  const std::int64_t zeroBased = negative ? soFar - signedValue : signedValue - 1;
  if (p == digits || tooLong || value == 0 || zeroBased < 0 || zeroBased >= count) {
    valid = false;
  } else {
    index = static_cast<std::int32_t>(zeroBased);
  }
  return p;
}

// Where a run of lines' entries of each table begin in the object's tables
// (or, as a limit, end), and how many usemtl lines come before it.
struct Place {
  std::uint64_t vertex = 0, face = 0, group = 0;
  std::uint64_t texCoord = 0, normal = 0, line = 0, lineGroup = 0, materialUse = 0;

  Place after(const Counts& c) const {
    return {vertex + c.vertexLines, face + c.faceLines, group + c.groups, texCoord + c.texCoordLines,
            normal + c.normalLines, line + c.lineLines, lineGroup + c.lineGroups,
            materialUse + c.materialUses.size()};
  }
  bool tooLarge() const {
    return vertex > INT32_MAX || face > INT32_MAX || group >= UINT32_MAX || texCoord >= INT32_MAX ||
           normal > INT32_MAX || line > INT32_MAX || lineGroup >= UINT32_MAX;
  }
};

// The second pass: fills the tables that the first pass sized, for one run
// of lines (the whole file, or one of the parts read side by side).
class ObjFiller {
 public:
  // `materials`: the material of each usemtl line of the run in turn;
  // `material`: the one in force where the run begins.
  ObjFiller(MeshObject& object, const Place& total, Place start, Place limit, const std::int32_t* materials,
            std::int32_t material)
      : object_(object), total_(total), limit_(limit), start_(start),
        vertex_(static_cast<std::int64_t>(start.vertex)), face_(start.face), used_(start.group),
        texCoord_(start.texCoord), normal_(start.normal), line_(start.line), lineUsed_(start.lineGroup),
        materials_(materials), material_(material) {
    texCorners_ = object.texCoords.corners.empty() ? nullptr : object.texCoords.corners.data();
    normalCorners_ = object.normals.corners.empty() ? nullptr : object.normals.corners.data();
    faceMaterials_ = object.faceMaterials.empty() ? nullptr : object.faceMaterials.data();
  }

  // False when the block holds a damaged vertex line, or more than the first
  // pass counted (the file changed between the passes).
  bool fillBlock(const char* p, const char* end) {
    const bool corners = texCorners_ != nullptr || normalCorners_ != nullptr;
    while (p < end) {
      if (startsLine(p, end, 'f')) {
        if (!(corners ? readFace<true>(p, end) : readFace<false>(p, end))) return false;
      } else if (startsLine(p, end, 'v')) {
        p = readVertex(p + 2, end);
        if (p == nullptr) return false;
        if (wantColors_) readColor(p, end);
        p = nextLine(p, end);  // anything after the third number (or colour) is ignored
      } else {
        p = fillOtherLine(p, end);
        if (p == nullptr) return false;
      }
    }
    return true;
  }

  bool allRead() const {
    return static_cast<std::uint64_t>(vertex_) == limit_.vertex && texCoord_ == limit_.texCoord &&
           normal_ == limit_.normal && line_ == limit_.line && lineUsed_ == limit_.lineGroup &&
           materialUse_ == limit_.materialUse - start_.materialUse;
  }
  std::uint64_t faceEnd() const { return face_; }
  std::uint64_t groupEnd() const { return used_; }
  std::int64_t dropped() const { return dropped_; }

  // What the run's corners, vertices, lines and points showed.
  bool texCoordGiven = false, texCoordMissing = false;
  bool normalGiven = false, normalMissing = false;
  std::vector<float> colors;  // r, g, b of each vertex while all have them
  float largestColor = 0.0f;
  bool lineOrPoint = false;
  std::int32_t lineMaterial = -1;  // in force at the first line or point

  // Every vertex of the run had a colour (so far; a run without vertices too).
  bool colorsComplete() const { return wantColors_; }

 private:
  // Reads x, y and z of the vertex line at p and returns where the third
  // number ends, or nullptr when the line does not hold three numbers.
  const char* readVertex(const char* p, const char* end) {
    if (static_cast<std::uint64_t>(vertex_) >= limit_.vertex) return nullptr;
    float* v = &object_.vertices[3 * static_cast<std::size_t>(vertex_)];
    for (int axis = 0; axis < 3; ++axis) {
      // Blanks up to the number, but never past the line's end.
      while (p < end && *p != '\n' && (*p == ' ' || (*p >= '\t' && *p <= '\r'))) ++p;
      if (p == end || *p == '\n' || !(p = parseFloatField(p, end, v[axis]))) return nullptr;
    }
    ++vertex_;
    return p;
  }

  // Up to `most` numbers of the line at p into `values`; how many there were.
  static int readNumbers(const char* p, const char* end, float* values, int most) {
    for (int k = 0; k < most; ++k) {
      // Blanks (a vertical tab or form feed too) up to the number, never past
      // the line's end: the number parser alone would read on into the next line.
      while (p < end && *p != '\n' && (*p == ' ' || (*p >= '\t' && *p <= '\r'))) ++p;
      if (p == end || *p == '\n' || !(p = parseFloatField(p, end, values[k]))) return k;
    }
    return most;
  }

  // The colour after a vertex's position (at p); the first vertex without
  // one ends the run's colours.
  void readColor(const char* p, const char* end) {
    float rgb[3];
    if (readNumbers(p, end, rgb, 3) != 3) {
      wantColors_ = false;
      std::vector<float>().swap(colors);
      return;
    }
    if (colors.empty()) colors.reserve(3 * (limit_.vertex - start_.vertex));
    colors.insert(colors.end(), rgb, rgb + 3);
    largestColor = std::max({largestColor, rgb[0], rgb[1], rgb[2]});
  }

  // Reads the face group at p ("7" of "7/1/3"), the vertex index into
  // `index` (0-based; a negative one counts back from the vertices read so
  // far), and returns where the group ends. `valid` turns false when the
  // group does not begin with an integer or names no existing vertex. With
  // `Corners`, the texture and normal parts go to `cornerTexCoord_` and
  // `cornerNormal_`.
  template <bool Corners>
  [[gnu::always_inline]] const char* readGroup(const char* p, const char* end, std::int32_t& index, bool& valid) {
    p = readIndex(p, end, vertex_, static_cast<std::int64_t>(total_.vertex), index, valid);
    if (p < end && (*p == ' ' || *p == '\n')) return p;  // a plain index, the usual case
    if constexpr (Corners) {
      if (p < end && *p == '/') p = readCornerPart(p + 1, end, texCoord_, total_.texCoord, cornerTexCoord_);
      if (p < end && *p == '/') p = readCornerPart(p + 1, end, normal_, total_.normal, cornerNormal_);
      if (p < end && (*p == ' ' || *p == '\n')) return p;
    }
    return skipToSeparator(p, end);  // the /texture/normal part, or what else follows
  }

  // The texture or normal part of a group; `index` stays -1 where it is
  // empty or names no entry.
  [[gnu::always_inline]] static const char* readCornerPart(const char* p, const char* end, std::uint64_t soFar,
                                                           std::uint64_t count, std::int32_t& index) {
    if (p == end || *p == '/' || *p == '\n' || isSeparator(*p)) return p;
    bool valid = true;
    p = readIndex(p, end, static_cast<std::int64_t>(soFar), static_cast<std::int64_t>(count), index, valid);
    if (!valid) index = -1;
    return p;
  }

  // The corner at `at` takes the texture coordinate and normal its group
  // gave (-1: none, or an index that names none).
  void storeCorner(std::size_t at) {
    if (texCorners_ != nullptr) {
      const bool given = cornerTexCoord_ >= 0;
      texCorners_[at] = given ? cornerTexCoord_ : static_cast<std::int32_t>(total_.texCoord);
      texCoordGiven |= given;
      texCoordMissing |= !given;
    }
    if (normalCorners_ != nullptr) {
      const bool given = cornerNormal_ >= 0;
      normalCorners_[at] = cornerNormal_;
      normalGiven |= given;
      normalMissing |= !given;
    }
  }

  template <bool Corners>
  bool readFace(const char*& p, const char* end) {
    if (face_ >= limit_.face) return false;
    const std::size_t start = used_;
    bool usable = true;
    for (p += 2;;) {
      while (p < end && isSeparator(*p)) ++p;
      if (p >= end || *p == '\n') break;
      if (used_ >= limit_.group) return false;
      if constexpr (Corners) cornerTexCoord_ = cornerNormal_ = -1;
      p = readGroup<Corners>(p, end, object_.faces.indices[used_], usable);
      if constexpr (Corners) storeCorner(used_);
      ++used_;
    }
    ++p;  // past the line feed
    const std::size_t size = used_ - start;
    if (size > 32767) return false;
    if (!usable) {
      used_ = start;
      ++dropped_;
      return true;
    }
    if (faceMaterials_ != nullptr) faceMaterials_[face_] = material_;
    object_.faces.offsets[++face_] = static_cast<std::uint32_t>(used_);
    return true;
  }

  // A polyline; a group that names no vertex stays -1, so the check after
  // reading drops the line.
  bool readPolyline(const char*& p, const char* end) {
    if (line_ >= limit_.line) return false;
    for (p += 2;;) {
      while (p < end && isSeparator(*p)) ++p;
      if (p >= end || *p == '\n') break;
      if (lineUsed_ >= limit_.lineGroup) return false;
      std::int32_t index = -1;
      bool valid = true;
      p = readGroup<false>(p, end, index, valid);
      object_.lines.indices[lineUsed_++] = valid ? index : -1;
    }
    ++p;
    object_.lines.offsets[++line_] = static_cast<std::uint32_t>(lineUsed_);
    noteLineOrPoint();
    return true;
  }

  void noteLineOrPoint() {
    if (!lineOrPoint) lineMaterial = material_;
    lineOrPoint = true;
  }

  // Lines other than "v " and "f "; nullptr as for fillBlock.
  const char* fillOtherLine(const char* p, const char* end) {
    if (startsLine(p, end, 'l')) return readPolyline(p, end) ? p : nullptr;
    const char* next = nextLine(p, end);
    if (startsStatement(p, next, "vt")) {
      // A line without a number is damage to the texture coordinates only:
      // not a number here drops them after reading.
      if (texCoord_ >= limit_.texCoord) return nullptr;
      float st[2] = {0.0f, 0.0f};
      if (readNumbers(p + 3, next, st, 2) == 0) st[0] = st[1] = __builtin_nanf("");
      std::copy(st, st + 2, &object_.texCoords.values[2 * texCoord_++]);
    } else if (startsStatement(p, next, "vn")) {
      if (normal_ >= limit_.normal) return nullptr;
      float n[3];
      if (readNumbers(p + 3, next, n, 3) != 3) n[0] = n[1] = n[2] = __builtin_nanf("");
      std::copy(n, n + 3, &object_.normals.values[3 * normal_++]);
    } else if (startsStatement(p, next, "usemtl")) {
      if (materialUse_ >= limit_.materialUse - start_.materialUse) return nullptr;
      material_ = materials_[materialUse_++];
    } else if (startsLine(p, next, 'p')) {
      noteLineOrPoint();
    }
    return next;
  }

  MeshObject& object_;
  const Place total_, limit_, start_;
  std::int64_t vertex_;
  std::size_t face_;
  std::size_t used_;
  std::uint64_t texCoord_, normal_, line_, lineUsed_, materialUse_ = 0;
  std::int32_t* texCorners_;
  std::int32_t* normalCorners_;
  std::int32_t* faceMaterials_;
  const std::int32_t* materials_;
  std::int32_t material_;
  std::int32_t cornerTexCoord_ = -1, cornerNormal_ = -1;
  bool wantColors_ = true;
  std::int64_t dropped_ = 0;
};

// Every name `line` of an mtllib line may mean: the whole line first (a
// name with blanks), then each word.
std::vector<std::string> libraryNames(const std::string& line) {
  std::vector<std::string> names{line};
  std::size_t at = 0;
  while ((at = line.find_first_not_of(" \t", at)) != std::string::npos) {
    const std::size_t stop = std::min(line.find_first_of(" \t", at), line.size());
    if (stop - at < line.size()) names.push_back(line.substr(at, stop - at));
    at = stop;
  }
  return names;
}

bool isRelative(std::string_view name) {
  return !name.empty() && name[0] != '/' && name[0] != '\\' && !(name.size() >= 2 && name[1] == ':');
}

// Adds the definitions of the library `libraryName` names (found at `path`).
// A texture name is taken beside the library where it is found there.
void readLibrary(const char* name, const std::string& libraryName, const std::string& path,
                 std::vector<MtlMaterial>& defined) {
  constexpr std::uint64_t kLargestLibrary = std::uint64_t{64} << 20;
  std::vector<std::uint8_t> bytes;
  std::string reason;
  if (!readSideFile(path, kLargestLibrary, bytes, reason)) {
    debugMessage("File, %s, names a material library, %s, that %s; it was left out.\n", name, libraryName.c_str(),
                 reason.c_str());
    return;
  }
  std::string folder(libraryName);
  std::replace(folder.begin(), folder.end(), '\\', '/');
  const std::size_t slash = folder.find_last_of('/');
  folder.erase(slash == std::string::npos ? 0 : slash + 1);
  for (MtlMaterial& m : readMtlText({reinterpret_cast<const char*>(bytes.data()), bytes.size()})) {
    if (!folder.empty() && isRelative(folder) && isRelative(m.texture) &&
        !findSideFile(name, folder + m.texture).empty()) {
      m.texture = folder + m.texture;
    }
    defined.push_back(std::move(m));
  }
}

// The definitions of the libraries the file names, the first of a name
// winning (each library is read once).
std::vector<MtlMaterial> readLibraries(const char* name, const std::vector<Counts>& counts) {
  std::vector<MtlMaterial> defined;
  std::unordered_set<std::string> read;
  for (const Counts& c : counts) {
    for (const std::string& line : c.libraries) {
      const std::vector<std::string> names = libraryNames(line);
      for (std::size_t k = 0; k < names.size(); ++k) {
        const std::string path = findSideFile(name, names[k]);
        if (path.empty()) continue;
        if (read.insert(path).second) readLibrary(name, names[k], path, defined);
        if (k == 0) break;  // the whole line named one library
      }
    }
  }
  return defined;
}

// The model's materials for the names the usemtl lines give, in order of
// first use; for each run, the material index of each of its usemtl lines
// (-1 where no library defines the name).
std::vector<std::int32_t> loadMaterials(Model& model, const char* name, const std::vector<Counts>& counts) {
  std::vector<std::int32_t> uses;
  bool any = false;
  for (const Counts& c : counts) any = any || !c.materialUses.empty();
  if (!any) return uses;
  std::unordered_map<std::string, const MtlMaterial*> byName;
  const std::vector<MtlMaterial> defined = readLibraries(name, counts);
  for (const MtlMaterial& m : defined) byName.emplace(m.name, &m);
  std::unordered_map<std::string, std::int32_t> indexOf, textureOf;
  for (const Counts& c : counts) {
    for (const std::string& use : c.materialUses) {
      auto [at, added] = indexOf.emplace(use, -1);
      if (added) {
        const auto found = byName.find(use);
        if (found != byName.end()) {
          const MtlMaterial& m = *found->second;
          std::int32_t texture = -1;
          if (!m.texture.empty()) {
            auto [t, first] = textureOf.emplace(m.texture, -1);
            if (first) t->second = addTextureFile(model, name, m.texture);
            texture = t->second;
          }
          model.materials.push_back(
              Material{m.name, m.color, texture, m.color.a < 1.0f ? AlphaMode::Blend : AlphaMode::Opaque, 0.5f});
          at->second = static_cast<std::int32_t>(model.materials.size() - 1);
        }
      }
      uses.push_back(at->second);
    }
  }
  return uses;
}

// Makes the tables the first pass sized: half 0 or 1 of them, so that two
// threads can share the clearing, or both.
void makeTables(MeshObject& object, const Place& total, bool faceMaterials, int half) {
  if (half != 1) {
    resizeLargeArray(object.faces.indices, total.group);
    if (total.texCoord > 0) {
      resizeLargeArray(object.texCoords.corners, total.group);
      // One more for corners that give none.
      resizeLargeArray(object.texCoords.values, 2 * total.texCoord + 2);
    }
    if (faceMaterials) resizeLargeArray(object.faceMaterials, total.face);
  }
  if (half != 0) {
    resizeLargeArray(object.vertices, 3 * total.vertex);
    resizeLargeArray(object.faces.offsets, total.face + 1);
    if (total.normal > 0) {
      resizeLargeArray(object.normals.corners, total.group);
      resizeLargeArray(object.normals.values, 3 * total.normal);
    }
    if (total.line > 0) {
      resizeLargeArray(object.lines.indices, total.lineGroup);
      resizeLargeArray(object.lines.offsets, total.line + 1);
    }
  }
}

// Settles what the runs read beyond the geometry, once the face table and
// its corners are closed up.
void finishAppearance(MeshObject& object, const Place& total, const std::vector<ObjFiller>& fillers) {
  bool texCoordGiven = false, texCoordMissing = false, normalGiven = false, normalMissing = false;
  bool colorsComplete = total.vertex > 0;
  float largestColor = 0.0f;
  for (const ObjFiller& f : fillers) {
    texCoordGiven |= f.texCoordGiven, texCoordMissing |= f.texCoordMissing;
    normalGiven |= f.normalGiven, normalMissing |= f.normalMissing;
    colorsComplete = colorsComplete && f.colorsComplete();
    largestColor = std::max(largestColor, f.largestColor);
  }
  if (texCoordGiven) {
    object.texCoords.binding = Binding::PerCorner;
    if (!texCoordMissing) object.texCoords.values.resize(2 * total.texCoord);
  } else {
    object.texCoords.clear();
  }
  if (normalGiven && !normalMissing) {
    object.normals.binding = Binding::PerCorner;
  } else {
    object.normals.clear();
  }
  if (colorsComplete) {
    const float scale = largestColor > 1.0f ? 1.0f / 255.0f : 1.0f;
    std::vector<float>& rgba = object.colors.values;
    resizeLargeArray(rgba, 4 * total.vertex);
    std::size_t at = 0;
    for (const ObjFiller& f : fillers) {
      for (std::size_t k = 0; k < f.colors.size(); k += 3) {
        rgba[at++] = f.colors[k] * scale, rgba[at++] = f.colors[k + 1] * scale, rgba[at++] = f.colors[k + 2] * scale;
        rgba[at++] = 1.0f;
      }
    }
    object.colors.binding = Binding::PerVertex;
  }
  // Faces all of one material, without lines or points, need no list.
  const auto found = std::find_if(fillers.begin(), fillers.end(), [](const ObjFiller& f) { return f.lineOrPoint; });
  std::vector<std::int32_t>& faceMaterials = object.faceMaterials;
  if (found != fillers.end()) {
    object.material = found->lineMaterial;
  } else if (!faceMaterials.empty()) {
    object.material = faceMaterials[0];
  }
  if (std::all_of(faceMaterials.begin(), faceMaterials.end(), [&](std::int32_t m) { return m == object.material; })) {
    std::vector<std::int32_t>().swap(faceMaterials);
  }
}

}  // namespace

ReadResult readObjTextInParts(std::string_view given, const char* name, std::size_t parts, PartThreads threads) {
  // Cut at line feeds: text of CR-ended lines is read from the scanner's copy.
  const TextScanner lines(given.data(), given.size());
  const std::string_view text = lines.wholeText();
  const std::vector<std::string_view> runs = splitAtLines(text, parts);
  std::vector<Counts> counts(runs.size());
  forEachPart(runs.size(), threads, [&](std::size_t k) {
    forEachBlock(runs[k], [&](const char* p, const char* end) {
      countBlock(p, end, counts[k]);
      return true;
    });
  });
  std::vector<Place> starts(runs.size() + 1);
  for (std::size_t k = 0; k < runs.size(); ++k) starts[k + 1] = starts[k].after(counts[k]);
  const Place total = starts.back();
  if (total.tooLarge()) return refuseDamaged(name);

  Model model(1);
  MeshObject& object = model[0];
  const std::vector<std::int32_t> materialUses = loadMaterials(model, name, counts);
  // Made (and so cleared) side by side too: clearing tens of megabytes takes
  // a good part of the time.
  forEachPart(2, threads,
              [&](std::size_t k) { makeTables(object, total, !model.materials.empty(), static_cast<int>(k)); });
  std::vector<ObjFiller> fillers;
  fillers.reserve(runs.size());
  std::int32_t material = -1;
  for (std::size_t k = 0; k < runs.size(); ++k) {
    const std::int32_t* uses = materialUses.data() + starts[k].materialUse;
    fillers.emplace_back(object, total, starts[k], starts[k + 1], uses, material);
    if (!counts[k].materialUses.empty()) material = materialUses[starts[k + 1].materialUse - 1];
  }
  std::vector<char> read(runs.size(), 0);
  forEachPart(runs.size(), threads, [&](std::size_t k) {
    read[k] = forEachBlock(runs[k], [&](const char* p, const char* end) { return fillers[k].fillBlock(p, end); }) &&
              fillers[k].allRead();
  });
  std::int64_t dropped = 0;
  for (std::size_t k = 0; k < runs.size(); ++k) {
    if (!read[k]) return refuseDamaged(name);
    dropped += fillers[k].dropped();
  }
  // Dropped faces leave room at the end of their part: close it up, with
  // what the faces and their corners carry.
  FaceTable& faces = object.faces;
  std::size_t face = 0, group = 0;
  const auto moveDown = [](auto& values, std::size_t from, std::size_t count, std::size_t to) {
    if (values.empty() || from == to) return;
    std::copy(values.begin() + static_cast<std::ptrdiff_t>(from),
              values.begin() + static_cast<std::ptrdiff_t>(from + count),
              values.begin() + static_cast<std::ptrdiff_t>(to));
  };
  for (std::size_t k = 0; k < runs.size(); ++k) {
    const std::size_t kept = fillers[k].faceEnd() - starts[k].face, used = fillers[k].groupEnd() - starts[k].group;
    const std::size_t shift = starts[k].group - group;
    moveDown(faces.indices, starts[k].group, used, group);
    moveDown(object.texCoords.corners, starts[k].group, used, group);
    moveDown(object.normals.corners, starts[k].group, used, group);
    moveDown(object.faceMaterials, starts[k].face, kept, face);
    for (std::size_t f = 1; f <= kept; ++f) {
      faces.offsets[face + f] = static_cast<std::uint32_t>(faces.offsets[starts[k].face + f] - shift);
    }
    face += kept;
    group += used;
  }
  faces.indices.resize(group);
  faces.offsets.resize(face + 1);
  if (!object.texCoords.corners.empty()) object.texCoords.corners.resize(group);
  if (!object.normals.corners.empty()) object.normals.corners.resize(group);
  if (!object.faceMaterials.empty()) object.faceMaterials.resize(face);
  finishAppearance(object, total, fillers);
  return finishModel(std::move(model), name, dropped);
}

ReadResult readObjFile(const char* name) { return readTextModel(name, readObjText); }

ReadResult readObjText(TextScanner& scan, const char* name) {
  scan.expectAnotherPass();
  if (const std::string_view text = scan.wholeText(); text.size() > kReadInPartsAbove) {
    if (const std::size_t parts = partsForThisMachine(); parts > 1) {
      return readObjTextInParts(text, name, parts);
    }
  }
  std::vector<Counts> counts(1);
  std::string_view block;
  while (scan.readLineBlock(block)) countBlock(block.data(), block.data() + block.size(), counts[0]);
  const Place total = Place{}.after(counts[0]);
  if (total.tooLarge() || !scan.rewind()) return refuseDamaged(name);

  Model model(1);
  MeshObject& object = model[0];
  const std::vector<std::int32_t> materialUses = loadMaterials(model, name, counts);
  makeTables(object, total, !model.materials.empty(), 2);
  std::vector<ObjFiller> fillers;
  fillers.emplace_back(object, total, Place{}, total, materialUses.data(), -1);
  while (scan.readLineBlock(block)) {
    if (!fillers[0].fillBlock(block.data(), block.data() + block.size())) return refuseDamaged(name);
  }
  if (!fillers[0].allRead()) return refuseDamaged(name);
  // Faces whose groups name no vertex were left out while filling; they
  // count with any the finish drops.
  const std::size_t groups = fillers[0].groupEnd(), faces = fillers[0].faceEnd();
  object.faces.indices.resize(groups);
  object.faces.offsets.resize(faces + 1);
  if (!object.texCoords.corners.empty()) object.texCoords.corners.resize(groups);
  if (!object.normals.corners.empty()) object.normals.corners.resize(groups);
  if (!object.faceMaterials.empty()) object.faceMaterials.resize(faces);
  finishAppearance(object, total, fillers);
  return finishModel(std::move(model), name, fillers[0].dropped());
}
