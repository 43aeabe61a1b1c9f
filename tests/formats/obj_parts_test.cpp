// Big OBJ files are read in parts side by side; the model and every message
// must be what one run from start to end gives. A file shortened while it is
// read is reported damaged instead of ending the program.
#include <gtest/gtest.h>

#include <filesystem>

#include "formats/readers.h"
#include "platform/read_progress.h"
#include "platform/text_scanner.h"
#include "support/temp_dir.h"

namespace {

struct Outcome {
  ReadFailure failure;
  std::vector<float> vertices;
  std::vector<std::int32_t> indices;
  std::vector<std::uint32_t> offsets;
  std::string messages;
};

Outcome outcomeOf(auto read) {
  testing::internal::CaptureStderr();
  const ReadResult result = read();
  Outcome outcome{result.failure, {}, {}, {}, testing::internal::GetCapturedStderr()};
  if (result && !result.model.empty()) {
    outcome.vertices = result.model[0].vertices;
    outcome.indices = result.model[0].faces.indices;
    outcome.offsets = result.model[0].faces.offsets;
  }
  return outcome;
}

// Lines of every kind a reader meets, in an order fixed by a simple generator:
// relative and absolute groups, groups with texture and normal parts, faces
// that name no vertex yet or none at all, comments, CR LF ends, blank lines.
std::string mixedText(int lines, unsigned seed) {
  std::string text;
  int vertices = 0;
  for (int k = 0; k < lines; ++k) {
    seed = seed * 1103515245u + 12345u;
    const unsigned pick = (seed >> 16) % 10;
    const int v = static_cast<int>((seed >> 8) % 97);
    if (pick < 4 || vertices < 3) {
      text += "v " + std::to_string(v) + ".5 -" + std::to_string(k % 13) + " 1e" + std::to_string(v % 5) + "\n";
      ++vertices;
    } else if (pick == 4) {
      text += "f -1 -2 -3\r\n";
    } else if (pick == 5) {
      text += "f 1/2/3 " + std::to_string(vertices) + "//4 2/7\n";
    } else if (pick == 6) {
      text += "f " + std::to_string(vertices + 1 + v) + " 1 2\n";  // names a vertex not yet read
    } else if (pick == 7) {
      text += "# comment f 1 2 3\n\n";
    } else if (pick == 8) {
      text += "vn 0 0 1\nvt 0.5 0.5\ng part" + std::to_string(v) + "\n";
    } else {
      text += "f 1 2 3 " + std::to_string(-vertices) + "\t 3\n";
    }
  }
  return text;
}

}  // namespace

TEST(ObjParts, SameModelAndMessagesAsOneRun) {
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"mixed lines", mixedText(3000, 7)},
      {"mixed, last line without a line feed", mixedText(500, 99) + "f 1 2 3"},
      {"faces that name no vertex are dropped", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nf 4 5 6\nf 1 2 0\nf -9 1 2\n"},
      {"a damaged vertex line", mixedText(800, 3) + "v 1 2\n" + mixedText(800, 4)},
      {"vertices only", "v 1 2 3\nv 4 5 6\n"},
      {"nothing to read", "# only a comment\n"},
      {"empty", ""},
  };
  for (const auto& c : cases) {
    const Outcome whole = outcomeOf([&] {
      TextScanner scan(c.text.data(), c.text.size());
      return readObjText(scan, "model.obj");
    });
    for (std::size_t parts : {1, 2, 3, 7, 16, 5000}) {
      const Outcome split = outcomeOf([&] { return readObjTextInParts(c.text, "model.obj", parts); });
      EXPECT_EQ(split.failure, whole.failure) << c.what << ", " << parts << " parts";
      EXPECT_EQ(split.vertices, whole.vertices) << c.what << ", " << parts << " parts";
      EXPECT_EQ(split.indices, whole.indices) << c.what << ", " << parts << " parts";
      EXPECT_EQ(split.offsets, whole.offsets) << c.what << ", " << parts << " parts";
      EXPECT_EQ(split.messages, whole.messages) << c.what << ", " << parts << " parts";
    }
  }
}

namespace {
std::string shortenedFile;
}  // namespace

TEST(ObjParts, AFileShortenedWhileReadIsDamaged) {
  TempDir dir;
  shortenedFile = dir.file("growing.obj");
  std::string text;
  while (text.size() < 3 * TextScanner::kBufferSize) text += "v 1 2 3\nv 4 5 6\nv 7 8 9\nf 1 2 3\n";
  writeTextFile(shortenedFile, text);
  // Another program cuts the file after it was opened and mapped.
  const Outcome outcome = outcomeOf([] {
    return readTextModel(shortenedFile.c_str(), [](TextScanner& scan, const char* name) {
      std::filesystem::resize_file(shortenedFile, 1000);
      return readObjText(scan, name);
    });
  });
  EXPECT_EQ(outcome.failure, ReadFailure::Damaged);
  EXPECT_EQ(outcome.messages, "File, " + shortenedFile + ", is damaged or truncated.\n");
  // Read whole, the same file loads.
  writeTextFile(shortenedFile, text);
  EXPECT_EQ(readObjFile(shortenedFile.c_str()).failure, ReadFailure::None);
}

TEST(ObjParts, ProgressCoversBothPassesOfABigFile) {
  TempDir dir;
  const std::string path = dir.file("big.obj");
  for (const std::size_t size : {3 * TextScanner::kBufferSize, std::size_t{17} << 20}) {
    std::string text;
    while (text.size() < size) text += "v 1 2 3\nv 4 5 6\nv 7 8 9\nf 1 2 3\n";
    writeTextFile(path, text);
    readProgress.reset();
    ASSERT_EQ(readObjFile(path.c_str()).failure, ReadFailure::None);
    EXPECT_EQ(readProgress.toDo, 2 * text.size()) << size;
    EXPECT_GT(readProgress.done, text.size() / 2) << size;
    EXPECT_LE(readProgress.done, readProgress.toDo) << size;
  }
}
