// Wavefront OBJ: vertex positions from "v " lines and polygons from "f "
// lines, in one object; everything else is passed over. Two passes: the
// first counts, so every array is made once at its final size. Both passes
// walk whole blocks of lines; face lines are scanned byte by byte up to their
// line feed, other lines are skipped with memchr.
#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "formats/readers.h"
#include "formats/text_parts.h"
#include "platform/large_arrays.h"
#include "platform/text_scanner.h"

namespace {

// Blanks between face groups; a carriage return counts as one, so CR LF
// lines read like LF lines.
bool isSeparator(char c) { return c == ' ' || c == '\t' || c == '\r'; }

bool startsLine(const char* p, const char* end, char kind) {
  return end - p >= 2 && p[0] == kind && p[1] == ' ';
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

struct Counts {
  std::uint64_t vertexLines = 0, faceLines = 0, groups = 0;
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
const char* countFaceGroups(const char* p, const char* end, std::uint64_t& groups) {
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

void countBlock(const char* p, const char* end, Counts& counts) {
  while (p < end) {
    if (startsLine(p, end, 'f')) {
      ++counts.faceLines;
      p = countFaceGroups(p + 2, end, counts.groups) + 1;
    } else {
      if (startsLine(p, end, 'v')) ++counts.vertexLines;
      p = nextLine(p, end);
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

// Reads the face group at p ("7" of "7/1/3") and returns where it ends. The
// index is 0-based; a negative one counts back from the vertices read so far.
// `valid` turns false when the group does not begin with an integer or names
// no existing vertex.
const char* readGroup(const char* p, const char* end, std::int64_t verticesSoFar,
                      std::int64_t numVertices, std::int32_t& index, bool& valid) {
  bool negative = false;
  if (*p == '-' || *p == '+') negative = *p++ == '-';
  const char* digits = p;
  std::uint64_t value = 0;
  // Up to 18 digits cannot overflow; more name no vertex in any case.
  for (; p < end && static_cast<unsigned>(*p - '0') <= 9u; ++p) {
    if (p - digits < 18) value = value * 10 + static_cast<unsigned>(*p - '0');
  }
  const bool tooLong = p - digits >= 18;
  const std::int64_t signedValue = static_cast<std::int64_t>(value);
  const std::int64_t zeroBased = negative ? verticesSoFar - signedValue : signedValue - 1;
  if (p == digits || tooLong || value == 0 || zeroBased < 0 || zeroBased >= numVertices) {
    valid = false;
  } else {
    index = static_cast<std::int32_t>(zeroBased);
  }
  if (p < end && (*p == ' ' || *p == '\n')) return p;  // a plain index, the usual case
  return skipToSeparator(p, end);  // the /texture/normal part
}

// Where a run of lines' vertices, face lines and face groups begin in the
// object's tables (or, as a limit, end).
struct Place {
  std::uint64_t vertex = 0, face = 0, group = 0;
};

// The second pass: fills the tables that the first pass sized, for one run
// of lines (the whole file, or one of the parts read side by side).
class ObjFiller {
 public:
  ObjFiller(MeshObject& object, std::int64_t numVertices, Place start, Place limit)
      : object_(object), limit_(limit), numVertices_(numVertices),
        vertex_(static_cast<std::int64_t>(start.vertex)), face_(start.face), used_(start.group) {}

  // False when the block holds a damaged vertex line, or more than the first
  // pass counted (the file changed between the passes).
  bool fillBlock(const char* p, const char* end) {
    while (p < end) {
      if (startsLine(p, end, 'f')) {
        if (!readFace(p, end)) return false;
      } else if (startsLine(p, end, 'v')) {
        p = readVertex(p + 2, end);
        if (p == nullptr) return false;
        p = nextLine(p, end);  // anything after the third number is ignored
      } else {
        p = nextLine(p, end);
      }
    }
    return true;
  }

  bool allVerticesRead() const { return static_cast<std::uint64_t>(vertex_) == limit_.vertex; }
  std::uint64_t faceEnd() const { return face_; }
  std::uint64_t groupEnd() const { return used_; }
  std::int64_t dropped() const { return dropped_; }

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

  bool readFace(const char*& p, const char* end) {
    if (face_ >= limit_.face) return false;
    const std::size_t start = used_;
    bool usable = true;
    for (p += 2;;) {
      while (p < end && isSeparator(*p)) ++p;
      if (p >= end || *p == '\n') break;
      if (used_ >= limit_.group) return false;
      p = readGroup(p, end, vertex_, numVertices_, object_.faces.indices[used_], usable);
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
    object_.faces.offsets[++face_] = static_cast<std::uint32_t>(used_);
    return true;
  }

  MeshObject& object_;
  Place limit_;
  std::int64_t numVertices_;
  std::int64_t vertex_;
  std::size_t face_;
  std::size_t used_;
  std::int64_t dropped_ = 0;
};

}  // namespace

ReadResult readObjTextInParts(std::string_view text, const char* name, std::size_t parts, PartThreads threads) {
  const std::vector<std::string_view> runs = splitAtLines(text, parts);
  std::vector<Counts> counts(runs.size());
  forEachPart(runs.size(), threads, [&](std::size_t k) {
    forEachBlock(runs[k], [&](const char* p, const char* end) {
      countBlock(p, end, counts[k]);
      return true;
    });
  });
  std::vector<Place> starts(runs.size() + 1);
  for (std::size_t k = 0; k < runs.size(); ++k) {
    starts[k + 1] = {starts[k].vertex + counts[k].vertexLines, starts[k].face + counts[k].faceLines,
                     starts[k].group + counts[k].groups};
  }
  const Place total = starts.back();
  if (total.vertex > INT32_MAX || total.face > INT32_MAX || total.group >= UINT32_MAX) return refuseDamaged(name);

  Model model(1);
  MeshObject& object = model[0];
  // Made (and so cleared) side by side too: clearing tens of megabytes takes
  // a good part of the time.
  forEachPart(2, threads, [&](std::size_t k) {
    if (k == 0) {
      resizeLargeArray(object.faces.indices, total.group);
    } else {
      resizeLargeArray(object.vertices, 3 * total.vertex);
      resizeLargeArray(object.faces.offsets, total.face + 1);
    }
  });
  std::vector<ObjFiller> fillers;
  for (std::size_t k = 0; k < runs.size(); ++k) {
    fillers.emplace_back(object, static_cast<std::int64_t>(total.vertex), starts[k], starts[k + 1]);
  }
  std::vector<char> read(runs.size(), 0);
  forEachPart(runs.size(), threads, [&](std::size_t k) {
    read[k] = forEachBlock(runs[k], [&](const char* p, const char* end) { return fillers[k].fillBlock(p, end); }) &&
              fillers[k].allVerticesRead();
  });
  std::int64_t dropped = 0;
  for (std::size_t k = 0; k < runs.size(); ++k) {
    if (!read[k]) return refuseDamaged(name);
    dropped += fillers[k].dropped();
  }
  // Dropped faces leave room at the end of their part: close it up.
  FaceTable& faces = object.faces;
  std::size_t face = 0, group = 0;
  for (std::size_t k = 0; k < runs.size(); ++k) {
    const std::size_t kept = fillers[k].faceEnd() - starts[k].face, used = fillers[k].groupEnd() - starts[k].group;
    const std::size_t shift = starts[k].group - group;
    std::copy(faces.indices.begin() + static_cast<std::ptrdiff_t>(starts[k].group),
              faces.indices.begin() + static_cast<std::ptrdiff_t>(starts[k].group + used),
              faces.indices.begin() + static_cast<std::ptrdiff_t>(group));
    for (std::size_t f = 1; f <= kept; ++f) {
      faces.offsets[face + f] = static_cast<std::uint32_t>(faces.offsets[starts[k].face + f] - shift);
    }
    face += kept;
    group += used;
  }
  faces.indices.resize(group);
  faces.offsets.resize(face + 1);
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
  Counts counts;
  std::string_view block;
  while (scan.readLineBlock(block)) countBlock(block.data(), block.data() + block.size(), counts);
  if (counts.vertexLines > INT32_MAX || counts.faceLines > INT32_MAX ||
      counts.groups >= UINT32_MAX || !scan.rewind()) {
    return refuseDamaged(name);
  }

  Model model(1);
  MeshObject& object = model[0];
  resizeLargeArray(object.vertices, 3 * counts.vertexLines);
  resizeLargeArray(object.faces.indices, counts.groups);
  resizeLargeArray(object.faces.offsets, counts.faceLines + 1);
  const Place total{counts.vertexLines, counts.faceLines, counts.groups};
  ObjFiller filler(object, static_cast<std::int64_t>(counts.vertexLines), Place{}, total);
  while (scan.readLineBlock(block)) {
    if (!filler.fillBlock(block.data(), block.data() + block.size())) return refuseDamaged(name);
  }
  if (!filler.allVerticesRead()) return refuseDamaged(name);
  // Faces whose groups name no vertex were left out while filling; they
  // count with any the finish drops.
  object.faces.indices.resize(filler.groupEnd());
  object.faces.offsets.resize(filler.faceEnd() + 1);
  return finishModel(std::move(model), name, filler.dropped());
}
