#include "formats/model_dispatch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include "platform/headless/headless_platform.h"
#include "platform/platform.h"
#include "support/temp_dir.h"

TEST(FormatTable, EndingsRuleAndDisplayNames) {
  const struct {
    const char* name;
    FormatId format;
    const char* display;
  } cases[] = {
      {"CUBE.OFF", formatOff, "OFF format"},          {"cubeoff", formatOff, "OFF format"},
      {"cube.3DS", format3DStudio, "3D Studio format"}, {"a.cob", formatTruespace, "Truespace format"},
      {"a.MDL", formatQuake1, "Quake 1 format"},       {"ship.md2", formatQuake2, "Quake 2 format"},
      {"a.dxf", formatDxf, "Autodesk format"},         {"a.lwo", formatLightwave, "Lightwave format"},
      {"a.vtk", formatVtk, "Vis. Toolkit format"},     {"a.Obj", formatWavefront, "Wavefront format"},
      {"a.X", formatDirectX, "DirectX format"},      {"part.STL", formatStl, "STL format"},        {"scene.tex", formatDirectX, "DirectX format"},
      {"scan.PLY", formatPly, "PLY format"},          {"scene.glTF", formatGltf, "glTF format"},
      {"scene.GLB", formatGlb, "glTF format"},         {"ltf", formatUnknown, "Uknown format"},
      {"x", formatDirectX, "DirectX format"},          {"ship.md3", formatUnknown, "Uknown format"},
      {"of", formatUnknown, "Uknown format"},          {"", formatUnknown, "Uknown format"},
  };
  for (const auto& c : cases) {
    const FormatInfo* format = formatOfName(c.name);
    EXPECT_EQ(format != nullptr ? format->id : formatUnknown, c.format) << c.name;
    EXPECT_STREQ(formatDisplayName(c.name), c.display) << c.name;
  }
  // Every row is found by its own ending and by its id, and has a reader.
  for (const FormatInfo& row : formatTable()) {
    EXPECT_EQ(formatOfName(std::string("model.") + row.ending), &row);
    EXPECT_EQ(formatInfo(row.id), &row);
    EXPECT_NE(row.reader, nullptr);
  }
}

// CMake read the rows of formats.def as C++ did: a row it cannot read would
// be missing from the packaging and the usage text. The hand-written
// documents name every ending.
TEST(FormatTable, CMakeAndDocumentsKnowEveryRow) {
  std::string endings;
  for (const FormatInfo& row : formatTable()) endings += (endings.empty() ? "" : " ") + std::string(row.ending);
  EXPECT_EQ(endings, TESSERA_FORMAT_ENDINGS);
  for (const char* document : {"README.md", "packaging/man/tessera.1", "packaging/man/tessera-tool.1"}) {
    std::ifstream file(std::string(TESSERA_SOURCE_DIR) + "/" + document);
    const std::string text{std::istreambuf_iterator<char>(file), {}};
    ASSERT_FALSE(text.empty()) << document;
    for (const FormatInfo& row : formatTable()) {
      const std::regex named(std::string("\\.") + row.ending + "([^a-z0-9]|$)", std::regex::icase);
      EXPECT_TRUE(std::regex_search(text, named)) << document << " does not name ." << row.ending;
    }
  }
}

TEST(Dispatch, QuotesAreRemovedInPlace) {
  const struct {
    const char* given;
    const char* kept;
  } cases[] = {
      {"\"/models/cube.off\"", "/models/cube.off"},
      {"\"/m/a b.off\" extra words", "/m/a b.off"},
      {"\"/m/a.off", "/m/a.off"},
      {"/m/\"a\".off", "/m/\"a\".off"},
  };
  for (const auto& c : cases) {
    std::string name = c.given;
    stripSurroundingQuotes(name);
    EXPECT_EQ(name, c.kept);
  }
}

TEST(Dispatch, FilesThatCannotBeOpenedSayWhyAndShowNothing) {
  IsolatedState state;
  std::filesystem::create_directory(state.dir().file("folder.obj"));
  writeTextFile(state.dir().file("header.off"), "COFF 3 1 0");
  writeTextFile(state.dir().file("damaged.off"), "OFF 3 1 0 0 0");
  writeTextFile(state.dir().file("ascii.cob"), "Caligari V00.01ALH");
  // The user's words and the reader's own sentence come apart: "@" is the file's path.
  const struct {
    const char* name;
    ReadFailure failure;
    const char* reason;
    const char* debugLine;
  } cases[] = {
      {"absent.off", ReadFailure::NotOpened, "No such file or directory", ""},
      {"folder.obj", ReadFailure::NotOpened, "is a folder", ""},
      {"notes.txt", ReadFailure::UnknownFormat, "", ""},
      {"header.off", ReadFailure::Refused, "", "File, @, is not a valid OFF file."},
      {"damaged.off", ReadFailure::Damaged, "", ""},
      {"ascii.cob", ReadFailure::Refused, "", "ASCII .cob files not supported."},
  };
  for (const auto& c : cases) {
    const std::string path = state.dir().file(c.name);
    const FormatInfo* format = nullptr;
    const ReadResult read = readModelFile(path.c_str(), format);
    EXPECT_EQ(read.failure, c.failure) << c.name;
    EXPECT_EQ(read.userReason, c.reason) << c.name;
    std::string line = c.debugLine;
    if (const std::size_t at = line.find('@'); at != std::string::npos) line.replace(at, 1, path);
    EXPECT_EQ(read.debugLine, line) << c.name;
  }
  EXPECT_EQ(headlessRecord.noticeCount, 0);  // the caller tells the user
  platformSetNoticeAnchor(300, 150, 601, 400);
  platformShowNotice(NoticeKind::FileNotFound, "/m/a.off");
  EXPECT_EQ(headlessRecord.lastNotice, "FILE NOT FOUND: It may have been moved or deleted.");
  EXPECT_EQ(headlessRecord.lastNoticeDetails, "/m/a.off");
  EXPECT_EQ(headlessRecord.noticeX, 300 + 300 - 125);
  EXPECT_EQ(headlessRecord.noticeY, 150 + 200 - 100);
  platformSetNoticeAnchor(INT32_MAX, INT32_MIN, INT32_MAX, 0);  // summed wide, never overflowing
  platformShowNotice(NoticeKind::FileNotFound);
  EXPECT_TRUE(headlessRecord.noticeX == INT32_MAX && headlessRecord.noticeY == INT32_MIN);
}

TEST(ReaderSupport, DebugMessagesAreCutAt511Characters) {
  testing::internal::CaptureStderr();
  debugMessage("File, %s, is damaged or truncated.\n", std::string(2000, 'n').c_str());
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.size(), 512u);  // 511 characters of message, then the line end the output adds
  EXPECT_EQ(err.substr(0, 6), "File, ");
}
