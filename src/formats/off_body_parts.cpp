// The body of a big OFF file read on several cores, for the layout writers
// use: after the header's line, one vertex of three numbers a line, then one
// face a line. A first pass counts each part's lines, which tells every line
// what it holds; the second reads the coordinates in place, and the faces in
// place too while every face has as many corners as the first (each part's
// place in the table is then known); otherwise each part's faces go into a
// list of its own and the lists are appended in order.
// Any other layout is left to the one-run reader, so the outcome never
// differs.
#include "formats/off_body_parts.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "formats/text_parts.h"
#include "platform/large_arrays.h"
#include "platform/text_scanner.h"

namespace {

bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

const char* skipBlanks(const char* p, const char* end) {
  while (p < end && isBlank(*p)) ++p;
  return p;
}

// Line feeds in [p, end).
std::uint64_t countLineFeeds(const char* p, const char* end) {
  std::uint64_t count = 0;
#if defined(__SSE2__)
  const __m128i lineFeed = _mm_set1_epi8('\n');
  while (end - p >= 16) {
    auto bits = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), lineFeed)));
    for (; bits != 0; bits &= bits - 1) ++count;
    p += 16;
  }
#endif
  for (; p < end; ++p) count += *p == '\n' ? 1 : 0;
  return count;
}

// One whole token as an integer, or nullptr.
const char* wholeInt(const char* p, const char* end, std::int32_t& value) {
  // Plain digits, the usual case, are read here; any other form goes
  // through the general conversion.
  std::int32_t digits = 0;
  const char* const q = parsePlainDigits(p, end, digits);
  if (q > p && (q == end || isBlank(*q))) {
    value = digits;
    return q;
  }
  const char* after = parseIntField(p, end, value);
  return after != nullptr && (after == end || isBlank(*after)) ? after : nullptr;
}

const char* wholeFloat(const char* p, const char* end, float& value) {
  const char* after = parseFloatField(p, end, value);
  return after != nullptr && (after == end || isBlank(*after)) ? after : nullptr;
}

// A part's faces, read before their place in the whole is known.
struct PartFaces {
  std::vector<std::int32_t> indices;
  std::vector<std::uint32_t> ends;  // of each face, counted from the part's first corner
};

// Reads the vertex line [p, lineEnd) into xyz: three whole numbers and
// nothing else.
bool readVertexLine(const char* p, const char* lineEnd, float* xyz) {
  for (int axis = 0; axis < 3; ++axis) {
    p = wholeFloat(skipBlanks(p, lineEnd), lineEnd, xyz[axis]);
    if (p == nullptr) return false;
  }
  return skipBlanks(p, lineEnd) == lineEnd;
}

// The size that starts a face line; nullptr where there is none.
const char* readFaceSize(const char* p, const char* lineEnd, std::int32_t& size) {
  p = wholeInt(skipBlanks(p, lineEnd), lineEnd, size);
  return p != nullptr && size >= 0 && size <= 32767 ? p : nullptr;
}

// The rest of a face line: `size` indices into `corners`, nothing after them.
bool readCorners(const char* p, const char* lineEnd, std::int32_t size, std::int32_t* corners) {
  for (std::int32_t k = 0; k < size; ++k) {
    p = wholeInt(skipBlanks(p, lineEnd), lineEnd, corners[k]);
    if (p == nullptr) return false;
  }
  return skipBlanks(p, lineEnd) == lineEnd;
}

// Reads the face line [p, lineEnd) onto the end of the part's list.
bool readFaceLine(const char* p, const char* lineEnd, PartFaces& faces) {
  std::int32_t size = 0;
  p = readFaceSize(p, lineEnd, size);
  if (p == nullptr) return false;
  for (std::int32_t k = 0; k < size; ++k) {
    std::int32_t index = 0;
    p = wholeInt(skipBlanks(p, lineEnd), lineEnd, index);
    if (p == nullptr) return false;
    faces.indices.push_back(index);
  }
  faces.ends.push_back(static_cast<std::uint32_t>(faces.indices.size()));
  return skipBlanks(p, lineEnd) == lineEnd;
}

enum class FaceLine { read, otherSize, damaged };

// Reads the face line [p, lineEnd) of `size` corners into `corners`; a face of
// another size is told apart from a line that is not a face.
FaceLine readFaceLineOfSize(const char* p, const char* lineEnd, std::int32_t size, std::int32_t* corners) {
  std::int32_t told = 0;
  p = readFaceSize(p, lineEnd, told);
  if (p == nullptr) return FaceLine::damaged;
  if (told != size) return FaceLine::otherSize;
  return readCorners(p, lineEnd, size, corners) ? FaceLine::read : FaceLine::damaged;
}

// Calls `readLine(line, p, lineEnd)` on each line of `run`, numbered on from
// `line`, up to the last line the body uses; true when every used line of the
// run was read.
template <typename ReadLine>
bool readLinesOfRun(std::string_view run, std::uint64_t line, std::uint64_t usedLines, ReadLine readLine) {
  if (line >= usedLines) return true;
  return forEachBlock(run, [&](const char* p, const char* end) {
    for (; p < end && line < usedLines; ++line) {
      const char* feed = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
      const char* lineEnd = feed != nullptr ? feed : end;
      if (!readLine(line, p, lineEnd)) return false;
      p = feed != nullptr ? feed + 1 : end;
    }
    return line < usedLines;  // stops after the last face
  }) || line == usedLines;
}

// The one size of the faces that start the runs of faces only (the first 64
// of each), or -1 where they differ, there are none, or one is not a face.
// A file of mixed faces is told so before any face is read in place; runs
// that start among the vertices are not walked to their first face, which
// would hold the pages passed on the way.
std::int32_t sizeOfSampledFaces(const std::vector<std::string_view>& runs, const std::vector<std::uint64_t>& firstLine,
                                std::uint64_t vertexLines, std::uint64_t usedLines) {
  constexpr std::uint64_t kSampled = 64;
  std::int32_t common = -1;
  for (std::size_t k = 0; k < runs.size(); ++k) {
    if (firstLine[k] < vertexLines || firstLine[k] >= usedLines) continue;
    const char* p = runs[k].data();
    const char* const end = p + runs[k].size();
    for (std::uint64_t line = firstLine[k]; line < std::min(usedLines, firstLine[k] + kSampled) && p < end; ++line) {
      const char* feed = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
      const char* const lineEnd = feed != nullptr ? feed : end;
      std::int32_t size = -1;
      if (readFaceSize(p, lineEnd, size) == nullptr || (common >= 0 && size != common)) return -1;
      common = size;
      p = feed != nullptr ? feed + 1 : end;
    }
  }
  return common;
}

// The second pass where every face may have `size` corners: coordinates and
// faces in place, each part's faces starting where the faces before it end.
// Where some face has another size, every part stops; `verticesRead[k]` tells
// how far part k's coordinates got, so that they need not be read again.
FaceLine readInPlace(const std::vector<std::string_view>& runs, const std::vector<std::uint64_t>& firstLine,
                     std::uint64_t vertexLines, std::uint64_t usedLines, std::int32_t size, PartThreads threads,
                     MeshObject& object, std::vector<std::uint64_t>& verticesRead) {
  FaceTable& table = object.faces;
  const auto corners = static_cast<std::uint64_t>(size);
  resizeLargeArray(table.indices, (usedLines - vertexLines) * corners);
  resizeLargeArray(table.offsets, usedLines - vertexLines + 1);
  std::atomic<bool> otherSize{false};
  std::vector<char> read(runs.size(), 0);
  forEachPart(runs.size(), threads, [&](std::size_t k) {
    std::uint64_t face = firstLine[k] > vertexLines ? firstLine[k] - vertexLines : 0;
    std::uint64_t vertexEnd = firstLine[k];
    read[k] = readLinesOfRun(runs[k], firstLine[k], usedLines, [&](std::uint64_t line, const char* p, const char* lineEnd) {
      if (otherSize.load(std::memory_order_relaxed)) return false;
      if (line < vertexLines) {
        if (!readVertexLine(p, lineEnd, &object.vertices[3 * line])) return false;
        vertexEnd = line + 1;
        return true;
      }
      const FaceLine got = readFaceLineOfSize(p, lineEnd, size, table.indices.data() + face * corners);
      if (got == FaceLine::otherSize) otherSize = true;
      if (got != FaceLine::read) return false;
      ++face;
      table.offsets[face] = static_cast<std::uint32_t>(face * corners);
      return true;
    });
    verticesRead[k] = vertexEnd;
  });
  if (otherSize) return FaceLine::otherSize;
  return std::count(read.begin(), read.end(), 0) > 0 ? FaceLine::damaged : FaceLine::read;
}

}  // namespace

bool readOffBodyInParts(std::string_view body, std::int32_t numVertices, std::int32_t numFaces, std::size_t parts,
                        PartThreads threads, MeshObject& object) {
  // The rest of the header's line must be blank.
  const char* lf = static_cast<const char*>(std::memchr(body.data(), '\n', body.size()));
  const char* start = lf != nullptr ? lf + 1 : body.data() + body.size();
  if (skipBlanks(body.data(), start) != start) return false;
  body.remove_prefix(static_cast<std::size_t>(start - body.data()));

  // Four runs a core: the faces are held twice over a quarter of a core's
  // share at most while they are appended.
  const std::vector<std::string_view> runs = splitAtLines(body, 4 * parts);
  const std::size_t n = runs.size();
  const auto vertexLines = static_cast<std::uint64_t>(numVertices);
  const std::uint64_t usedLines = vertexLines + static_cast<std::uint64_t>(numFaces);

  // First pass: each part's lines, which number every line.
  std::vector<std::uint64_t> firstLine(n + 1, 0);
  forEachPart(n, threads, [&](std::size_t k) {
    forEachBlock(runs[k], [&](const char* p, const char* end) {
      firstLine[k + 1] += countLineFeeds(p, end);
      return true;
    });
    if (!runs[k].empty() && runs[k].back() != '\n') ++firstLine[k + 1];  // the last line, without its line feed
  });
  for (std::size_t k = 0; k < n; ++k) firstLine[k + 1] += firstLine[k];
  if (firstLine[n] < usedLines) return false;

  resizeLargeArray(object.vertices, 3 * vertexLines);
  // Faces in place when the sampled faces agree on a size and that size,
  // taken for all, fits what the text can hold (a corner takes at least two
  // characters).
  std::vector<std::uint64_t> verticesRead(firstLine.begin(), firstLine.end() - 1);
  const std::int32_t firstSize = usedLines > vertexLines ? sizeOfSampledFaces(runs, firstLine, vertexLines, usedLines) : 0;
  const std::uint64_t guessedCorners = (usedLines - vertexLines) * static_cast<std::uint64_t>(std::max(firstSize, 0));
  if (firstSize >= 0 && guessedCorners <= UINT32_MAX && 2 * guessedCorners <= body.size()) {
    const FaceLine got = readInPlace(runs, firstLine, vertexLines, usedLines, firstSize, threads, object, verticesRead);
    if (got != FaceLine::otherSize) return got == FaceLine::read;
    object.faces = FaceTable{};
  }

  // Second pass otherwise: the coordinates not yet read in place, the faces
  // into each part's list.
  std::vector<PartFaces> faces(n);
  std::vector<char> read(n, 0);
  forEachPart(n, threads, [&](std::size_t k) {
    // A face takes at least two characters: a guess at the list's length.
    faces[k].indices.reserve(runs[k].size() / 6);
    faces[k].ends.reserve(runs[k].size() / 16);
    read[k] = readLinesOfRun(runs[k], firstLine[k], usedLines, [&](std::uint64_t line, const char* p, const char* lineEnd) {
      if (line >= vertexLines) return readFaceLine(p, lineEnd, faces[k]);
      return line < verticesRead[k] || readVertexLine(p, lineEnd, &object.vertices[3 * line]);
    });
  });
  if (std::count(read.begin(), read.end(), 0) > 0) return false;

  // The lists copied to their places.
  std::vector<std::uint64_t> firstFace(n + 1, 0), firstCorner(n + 1, 0);
  for (std::size_t k = 0; k < n; ++k) {
    firstFace[k + 1] = firstFace[k] + faces[k].ends.size();
    firstCorner[k + 1] = firstCorner[k] + faces[k].indices.size();
  }
  if (firstFace[n] != static_cast<std::uint64_t>(numFaces) || firstCorner[n] > UINT32_MAX) return false;
  // Appended in order, each part given back once copied: the table's pages
  // are touched only as they are filled, so the faces are held twice over
  // one part at most, not over the whole file.
  FaceTable& table = object.faces;
  table.indices.clear();
  reserveLargeArray(table.indices, firstCorner[n]);
  table.offsets.assign(1, 0);
  reserveLargeArray(table.offsets, firstFace[n] + 1);
  for (PartFaces& part : faces) {
    const auto base = static_cast<std::uint32_t>(table.indices.size());
    table.indices.insert(table.indices.end(), part.indices.begin(), part.indices.end());
    for (std::uint32_t end : part.ends) table.offsets.push_back(base + end);
    part = PartFaces{};
  }
  return true;
}
