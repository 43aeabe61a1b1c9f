#include "formats/model_dispatch.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>

#include "support/temp_dir.h"

TEST(FormatTable, EndingsRuleAndDisplayNames) {
  const struct {
    const char* name;
    FormatId format;
    const char* display;
  } cases[] = {
      // Any case; the name's last letters, with or without a dot (the loop below has every ending).
      {"CUBE.OFF", formatOff, "OFF format"},    {"cubeoff", formatOff, "OFF format"},
      {"a.X", formatDirectX, "DirectX format"}, {"scene.tex", formatDirectX, "DirectX format"},
      {"x", formatDirectX, "DirectX format"},   {"scene.GLB", formatGlb, "glTF format"},
      {"ltf", formatUnknown, "Uknown format"},  {"ship.md3", formatUnknown, "Uknown format"},
      {"of", formatUnknown, "Uknown format"},   {"", formatUnknown, "Uknown format"},
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

TEST(ReaderSupport, DebugMessagesAreCutAt511Characters) {
  testing::internal::CaptureStderr();
  debugMessage("File, %s, is damaged or truncated.\n", std::string(2000, 'n').c_str());
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.size(), 512u);  // 511 characters of message, then the line end the output adds
  EXPECT_EQ(err.substr(0, 6), "File, ");
}
