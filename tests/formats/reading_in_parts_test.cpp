// Big OBJ and OFF files are read in parts side by side. Whatever the text,
// the model and every message must be what one run from start to end gives.
#include <gtest/gtest.h>
#include <sched.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "formats/model_dispatch.h"
#include "formats/readers.h"
#include "platform/read_progress.h"
#include "platform/text_scanner.h"
#include "support/sanitizer_build.h"
#include "support/temp_dir.h"

namespace {

// Outcome, messages and every table of the model, as text.
template <typename Read>
std::string outcome(Read read) {
  testing::internal::CaptureStderr();
  const ReadResult result = read();
  std::string text = std::to_string(static_cast<int>(result.failure)) + "\n" + testing::internal::GetCapturedStderr();
  for (const MeshObject& object : result.model) {
    for (float v : object.vertices) text += std::to_string(v) + " ";
    text += "\n";
    for (std::int32_t i : object.faces.indices) text += std::to_string(i) + " ";
    text += "\n";
    for (std::uint32_t o : object.faces.offsets) text += std::to_string(o) + " ";
    text += "\n" + std::to_string(object.material) + ":";
    for (const auto* table :
         {&object.faceMaterials, &object.lines.indices, &object.texCoords.corners, &object.normals.corners}) {
      for (std::int32_t i : *table) text += std::to_string(i) + " ";
      text += "\n";
    }
    for (const auto* values : {&object.colors.values, &object.texCoords.values, &object.normals.values}) {
      for (float v : *values) text += std::to_string(v) + " ";
      text += "\n";
    }
  }
  for (const Material& m : result.model.materials) text += m.name + std::to_string(m.texture) + " ";
  return text;
}

struct Case {
  const char* what;
  std::string text;
  std::string name = "model";  // where the side files are looked for
  std::string sameAs = "";      // another text whose one run this must give (the same lines otherwise ended)
};

// Each text read in 1 to 5000 parts, on threads of their own and in turn,
// against one run through the scanner.
void expectSameInParts(const std::vector<Case>& cases, ReadResult (*oneRun)(TextScanner&, const char*),
                       ReadResult (*inParts)(std::string_view, const char*, std::size_t, PartThreads)) {
  for (const Case& c : cases) {
    const std::string& reference = c.sameAs.empty() ? c.text : c.sameAs;
    const std::string whole = outcome([&] {
      TextScanner scan(reference.data(), reference.size());
      return oneRun(scan, c.name.c_str());
    });
    for (std::size_t parts : {1, 2, 3, 7, 5000}) {
      for (PartThreads threads : {PartThreads::own, PartThreads::caller}) {
        EXPECT_EQ(outcome([&] { return inParts(c.text, c.name.c_str(), parts, threads); }), whole)
            << c.what << ", " << parts << " parts" << (threads == PartThreads::own ? "" : " in turn");
      }
    }
  }
}

// Lines of every kind a reader meets, in an order fixed by a simple generator:
// relative and absolute groups, groups with texture and normal parts, faces
// that name no vertex yet or none at all, comments, CR LF ends, blank lines,
// materials, polylines and points; `vertexEnd` may give every vertex a colour.
std::string mixedText(int lines, unsigned seed, const std::string& vertexEnd = "\n") {
  std::string text;
  int vertices = 0;
  for (int k = 0; k < lines; ++k) {
    seed = seed * 1103515245u + 12345u;
    const unsigned pick = (seed >> 16) % 10;
    const int v = static_cast<int>((seed >> 8) % 97);
    if (pick < 4 || vertices < 3) {
      text += "v " + std::to_string(v) + ".5 -" + std::to_string(k % 13) + " 1e" + std::to_string(v % 5) + vertexEnd;
      ++vertices;
    } else if (pick == 4) {
      text += "f -1 -2 -3\r\n";
    } else if (pick == 5) {
      text += "f 1/2/3 " + std::to_string(vertices) + "//4 2/7\n";
    } else if (pick == 6) {
      text += "f " + std::to_string(vertices + 1 + v) + " 1 2\n";  // names a vertex not yet read
    } else if (pick == 7) {
      const char* const materials[] = {"red", "picture", "glass", "undefined"};
      text += "# comment f 1 2 3\n\nusemtl " + std::string(materials[v % 4]) + "\n";
    } else if (pick == 8) {
      text += "vn 0 0 1\nvt 0.5 0.5\ng part" + std::to_string(v) + "\nl 1 -1 2/3\np -1\n";
    } else {
      text += "f 1 2 3 " + std::to_string(-vertices) + "\t 3\n";
    }
  }
  return text;
}

// Vertices one a line, and faces one a line that name the first 400
// vertices: a quad every `quadEvery` faces (none for 0), else triangles.
std::string offBody(int vertices, int faces, const std::string& faceEnd = "\n", int quadEvery = 3) {
  std::string text;
  for (int v = 0; v < vertices; ++v) text += std::to_string(v) + ".25 " + std::to_string(v % 7) + " -1e-3\n";
  for (int f = 0; f < faces; ++f) {
    if (quadEvery > 0 && f % quadEvery == 0) {
      text += "4 " + std::to_string(f % 400) + " 1 2 " + std::to_string((f * 7) % 400) + faceEnd;
    } else {
      text += "3  " + std::to_string(f % 400) + "\t2 0" + faceEnd;
    }
  }
  return text;
}

// The text with each line feed that no CR comes before made a CR alone.
std::string crLines(std::string text) {
  for (std::size_t k = 0; k < text.size(); ++k) {
    if (text[k] == '\n' && (k == 0 || text[k - 1] != '\r')) text[k] = '\r';
  }
  return text;
}

std::string off(int vertices, int faces, const std::string& body) {
  return "OFF\n" + std::to_string(vertices) + " " + std::to_string(faces) + " 0\n" + body;
}

}  // namespace

TEST(ReadingInParts, ObjSameModelAndMessagesAsOneRun) {
  expectSameInParts({
      {"mixed lines", mixedText(3000, 7)},
      {"materials from a library", "mtllib appearance.mtl\n" + mixedText(3000, 11),
       TESSERA_SOURCE_DIR "/tests/data/formats/obj/model.obj"},
      {"vertex colours", mixedText(2000, 5, " 0.5 1 255\n")},
      {"one vertex without a colour", mixedText(800, 3, " 1 1 1\n") + "v 1 2 3\n" + mixedText(800, 4, " 1 1 1\n")},
      {"a damaged texture coordinate", mixedText(800, 3) + "vt x\n" + mixedText(800, 4)},
      {"mixed, last line without a line feed", mixedText(500, 99) + "f 1 2 3"},
      {"faces that name no vertex are dropped", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nf 4 5 6\nf 1 2 0\nf -9 1 2\n"},
      {"a damaged vertex line", mixedText(800, 3) + "v 1 2\n" + mixedText(800, 4)},
      {"vertices only", "v 1 2 3\nv 4 5 6\n"},
      {"old Mac line ends", crLines(mixedText(3000, 13)), "model", mixedText(3000, 13)},
      {"nothing to read", "# only a comment\n"},
      {"empty", ""},
  }, readObjText, readObjTextInParts);
}

TEST(ReadingInParts, OffSameModelAndMessagesAsNumberByNumber) {
  const std::string body = offBody(400, 900);
  expectSameInParts({
      {"one a line", off(400, 900, body)},
      {"CR LF face lines", off(400, 900, offBody(400, 900, "\r\n"))},
      {"old Mac line ends", crLines(off(400, 900, offBody(400, 900, "\r\n", 2))), "model",
       off(400, 900, offBody(400, 900, "\r\n", 2))},
      {"text after the last face", off(400, 900, body + "junk 1 2\n# more\n")},
      {"fewer faces than told", off(400, 901, body)},
      {"fewer coordinates than told", off(400, 900, body.substr(0, 30)) },
      {"faces told as fewer", off(400, 500, body)},
      {"all on one line", off(3, 1, "0 0 0 1 0 0 0 1 0 3 0 1 2")},
      {"a face over two lines", off(400, 900, offBody(400, 100) + "3 0\n 1 2\n" + offBody(0, 799))},
      {"colours after the faces", off(400, 900, offBody(400, 900, " 255 0 0\n"))},
      {"faces on the last coordinate's line", off(3, 1, "0 0 0\n1 0 0\n0 1 0 3 0 1 2\n")},
      {"a number run into the next", off(3, 1, "0 0 0\n1-2 0\n0 1 0\n3 0 1 2\n")},
      {"an index past the vertices", off(400, 900, offBody(400, 10) + "3 0 1 400\n" + offBody(0, 889))},
      {"a face of negative size", off(400, 900, offBody(400, 10) + "-3 0 1 2\n" + offBody(0, 889))},
      {"a fractional index", off(400, 900, offBody(400, 10) + "3 0 1.5 2\n" + offBody(0, 889))},
      {"no faces", off(400, 0, offBody(400, 0))},
      {"a blank line among the faces", off(400, 900, offBody(400, 10) + "\n" + offBody(0, 890))},
      {"the first vertex on the header's line", "OFF 3 1 0 0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n"},
      {"a colour after a vertex", off(3, 1, "0 0 0 1 1 1\n1 0 0\n0 1 0\n3 0 1 2\n")},
      {"hexadecimal and infinite coordinates", off(3, 1, "0x1p3 0 0\n1 inf 0\n0 1 0\n3 0 1 2\n")},
      {"a face of 40000 corners", off(3, 1, "0 0 0\n1 0 0\n0 1 0\n40000 0 1 2\n")},
      {"nothing at all", off(0, 0, "")},
      // Faces all of one size are read in place; any other size on the way
      // sends them all through the part lists.
      {"triangles only", off(400, 900, offBody(400, 900, "\n", 0))},
      {"quads only", off(400, 900, offBody(400, 900, "\n", 1))},
      {"triangles and one late quad", off(400, 900, offBody(400, 880, "\n", 0) + "4 0 1 2 3\n" + offBody(0, 19, "\n", 0))},
      {"triangles and one face of none", off(400, 900, offBody(400, 500, "\n", 0) + "0\n" + offBody(0, 399, "\n", 0))},
      {"faces of none only", off(3, 2, "0 0 0\n1 0 0\n0 1 0\n0\n0\n")},
      {"triangles, one a corner short", off(400, 900, offBody(400, 600, "\n", 0) + "3 0 1\n" + offBody(0, 299, "\n", 0))},
      {"triangles, one with a corner past the vertices", off(400, 900, offBody(400, 10, "\n", 0) + "3 0 1 400\n" + offBody(0, 889, "\n", 0))},
      {"the first face too big for the text", off(3, 2, "0 0 0\n1 0 0\n0 1 0\n30000 0 1 2\n3 0 1 2\n")},
  }, readOffText, readOffTextInParts);
}

namespace {
std::string shortenedFile;
}  // namespace

TEST(ReadingInParts, ProgressCoversEveryPassAndTheFinishACancelStopsAndAFileShortenedWhileReadIsDamaged) {
  TempDir dir;
  shortenedFile = dir.file("big.obj");
  const std::string plyHeader =
      "ply\nformat ascii 1.0\nelement vertex 200000\nproperty float x\nproperty float y\nproperty float z\nend_header\n";
  const struct {
    std::string path, header, line;
    std::size_t size, lines;
    std::uint64_t passes;
  } files[] = {
      {shortenedFile, "", "v 1 2 3\nv 4 5 6\nv 7 8 9\nf 1 2 3\n", 3 * TextScanner::kBufferSize, 0, 2},  // one thread
      {shortenedFile, "", "v 1 2 3\nv 4 5 6\nv 7 8 9\nf 1 2 3\n", std::size_t{17} << 20, 0, 2},       // in parts
      {dir.file("big.ply"), plyHeader, "1.25 2.5 3.75\n", 0, 200000, 1},
      {dir.file("big.stl"), std::string(80, ' ') + std::string("\xa0\x86\x01\0", 4), std::string(50, '\0'), 0, 100000, 1},
  };
  for (const auto& f : files) {
    std::string text = f.header;
    for (std::size_t k = 0; k < f.lines || text.size() < f.size; ++k) text += f.line;
    writeTextFile(f.path, text);
    for (const bool cancelled : {false, true}) {
      ReadProgress progress;
      progress.cancelled = cancelled;
      const ReadingFor reading(progress);
      const FormatInfo* format = nullptr;
      const bool read = static_cast<bool>(readModelFile(f.path.c_str(), format));
      if (!cancelled) {
        // Every pass and the finish: the bar ends full, never past it.
        EXPECT_TRUE(read) << f.size;
        EXPECT_GE(progress.toDo, f.passes * (text.size() - f.header.size())) << f.size;
        EXPECT_TRUE(progress.finishing > 0 && progress.done == progress.all()) << f.size;
      } else {
        EXPECT_FALSE(read) << f.size;
        EXPECT_LE(progress.done, text.size()) << f.size;  // at most the first pass
      }
    }
  }
  // Another program cuts the file after it was opened and mapped.
  EXPECT_EQ(outcome([] {
              return readTextModel(shortenedFile.c_str(), [](TextScanner& scan, const char* name) {
                std::filesystem::resize_file(shortenedFile, 1000);
                return readObjText(scan, name);
              });
            }),
            "3\nFile, " + shortenedFile + ", is damaged or truncated.\n");
}

namespace {

// Makes VmHWM start again from the resident memory now.
bool resetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  clear.flush();
  return clear.good();
}

}  // namespace

TEST(ReadingInParts, ABigFileIsGivenBackAsItIsRead) {
  // 38 MB of OBJ read line by line on one core and in parts on all: the file's pages are given back
  // behind the reader. What stays (the model) and what came and went are bounded apart.
  TempDir dir;
  const std::string path = dir.file("big.obj");
  const std::string unit = "v 1 2 3\nv 4 5 6\nv 7 8 9\nf -1 -2 -3\n";
  const std::size_t units = (std::size_t{38} << 20) / unit.size();
  {
    std::string text;
    text.reserve(units * unit.size());
    for (std::size_t k = 0; k < units; ++k) text += unit;
    writeTextFile(path, text);
  }
  const long fileKib = static_cast<long>(units * unit.size() / 1024);
  // Three vertices of 12 bytes, and a triangle of 16, a unit.
  const long modelKib = static_cast<long>(units * (3 * 12 + 16) / 1024);
  // The sanitizer build shadows what it allocates with an eighth more.
  const long shadowKib = kAddressSanitizerBuild ? modelKib / 8 : 0;
  cpu_set_t all, one;
  ASSERT_EQ(sched_getaffinity(0, sizeof all, &all), 0);
  CPU_ZERO(&one);
  for (int cpu = 0; cpu < CPU_SETSIZE && CPU_COUNT(&one) == 0; ++cpu) {
    if (CPU_ISSET(cpu, &all)) CPU_SET(cpu, &one);
  }
  for (const cpu_set_t* cores : {&one, &all}) {
    SCOPED_TRACE(cores == &one ? "one core" : "every core");
    ASSERT_EQ(sched_setaffinity(0, sizeof *cores, cores), 0);
    const long before = processStatusKib("VmRSS:");
    if (!resetPeak() || before == 0) GTEST_SKIP() << "this system cannot reset a peak of memory";
    const ReadResult result = readObjFile(path.c_str());
    const long peak = processStatusKib("VmHWM:"), after = processStatusKib("VmRSS:");
    ASSERT_EQ(result.failure, ReadFailure::None);
    ASSERT_EQ(result.model[0].faces.offsets.size(), units + 1);
    std::printf("peak %ld KiB above the end; %ld KiB held (model %ld, shadow %ld)\n", peak - after, after - before,
                modelKib, shadowKib);
    // Up to 8 MiB of the file is in flight between givings back; a mapping held whole adds 38.
    EXPECT_LT(peak - after, fileKib * 2 / 5) << "peak " << peak << " after " << after;
    // A copy of the file kept, or freed into the sanitizers' quarantine, adds 38 MiB here.
    EXPECT_LT(after - before, modelKib + shadowKib + fileKib / 2) << "model " << modelKib;
  }
  sched_setaffinity(0, sizeof all, &all);
}
