// Big OFF files are read in parts side by side where their layout allows;
// whatever the text, the model and every message must be what reading it
// number by number gives.
#include <gtest/gtest.h>

#include "formats/readers.h"
#include "platform/text_scanner.h"

namespace {

std::string outcomeOf(const ReadResult& read, const std::string& messages) {
  std::string text = std::to_string(static_cast<int>(read.failure)) + "\n" + messages;
  for (const MeshObject& object : read.model) {
    for (float v : object.vertices) text += std::to_string(v) + " ";
    text += "\n";
    for (std::int32_t i : object.faces.indices) text += std::to_string(i) + " ";
    text += "\n";
    for (std::uint32_t o : object.faces.offsets) text += std::to_string(o) + " ";
  }
  return text;
}

template <typename Read>
std::string outcome(Read read) {
  testing::internal::CaptureStderr();
  const ReadResult result = read();
  return outcomeOf(result, testing::internal::GetCapturedStderr());
}

// Vertices one a line, and triangles and quads one a line that name the
// first 400 vertices.
std::string offBody(int vertices, int faces, const std::string& faceEnd = "\n") {
  std::string text;
  for (int v = 0; v < vertices; ++v) text += std::to_string(v) + ".25 " + std::to_string(v % 7) + " -1e-3\n";
  for (int f = 0; f < faces; ++f) {
    if (f % 3 == 0) {
      text += "4 " + std::to_string(f % 400) + " 1 2 " + std::to_string((f * 7) % 400) + faceEnd;
    } else {
      text += "3  " + std::to_string(f % 400) + "\t2 0" + faceEnd;
    }
  }
  return text;
}

std::string off(int vertices, int faces, const std::string& body) {
  return "OFF\n" + std::to_string(vertices) + " " + std::to_string(faces) + " 0\n" + body;
}

}  // namespace

TEST(OffParts, SameModelAndMessagesAsNumberByNumber) {
  const std::string body = offBody(400, 900);
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"one a line", off(400, 900, body)},
      {"CR LF face lines", off(400, 900, offBody(400, 900, "\r\n"))},
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
  };
  for (const auto& c : cases) {
    const std::string whole = outcome([&] {
      TextScanner scan(c.text.data(), c.text.size());
      return readOffText(scan, "model.off");
    });
    for (std::size_t parts : {1, 2, 3, 7, 5000}) {
      EXPECT_EQ(outcome([&] { return readOffTextInParts(c.text, "model.off", parts); }), whole)
          << c.what << ", " << parts << " parts";
    }
  }
}
