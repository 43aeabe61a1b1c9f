#include "formats/model_dispatch.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>

#include "formats/format_sniffing.h"
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
      {"ltf", formatUnknown, "Uknown format"},  {"ship.md4", formatUnknown, "Uknown format"},
      // The import library's endings: those ending in x or 3d are not taken by shorter ones.
      {"a.FBX", formatImportFbx, "FBX format"}, {"a.pmx", formatImportPmx, "MikuMikuDance format"},
      {"a.x3d", formatImportX3d, "X3D format"}, {"a.ms3d", formatImportMs3d, "Milkshape 3D format"},
      {"a.3d", formatImportUnreal3d, "Unreal format"}, {"a.Mesh.XML", formatImportOgreXml, "Ogre format"},
      {"a.md5mesh", formatImportMd5mesh, "Doom 3 format"}, {"a.enff", formatImportEnff, "Neutral file format"},
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

// A name that says nothing, or the wrong thing, leaves the choice to the
// file's first bytes; a name whose reader takes the file keeps it.
TEST(Dispatch, TheContentTellsTheFormatWhereTheNameDoesNot) {
  using namespace std::string_literals;
  TempDir dir;
  const std::string tri = "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n";
  const std::string objTri = "# made by hand\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
  const std::string asciiStl =
      "solid part\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 0\nendloop\nendfacet\nendsolid\n";
  std::string binaryStl(80, ' ');
  binaryStl += std::string("\1\0\0\0", 4) + std::string(12, '\0');
  for (float v : {0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f}) binaryStl.append(reinterpret_cast<const char*>(&v), 4);
  binaryStl += std::string(2, '\0');
  const std::string plyTri = "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\nproperty float z\n"
                             "element face 1\nproperty list uchar int vertex_indices\nend_header\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n";
  const struct {
    const char* name;
    std::string content;
    FormatId found;  // formatUnknown: no reader
  } cases[] = {
      {"cube", tri, formatOff},
      {"cube.dat", tri, formatOff},
      {"part.STL.txt", asciiStl, formatStl},
      {"part.bin", binaryStl, formatStl},
      {"part.obj", binaryStl, formatStl},  // the OBJ reader finds nothing in it
      {"scan", plyTri, formatPly},
      {"mesh.txt", objTri, formatWavefront},
      {"notes.txt", "v is for vertex\nsome words\nmore words\n", formatUnknown},
      {"solid.txt", "solid gold\nis what it is made of\n", formatUnknown},
      {"nearly.bin", binaryStl.substr(0, binaryStl.size() - 1), formatUnknown},  // a size the count does not give
      {"tri.off", tri, formatOff},
  };
  for (const auto& c : cases) {
    writeTextFile(dir.file(c.name), c.content);
    const FormatInfo* format = nullptr;
    const ReadResult read = readModelFile(dir.file(c.name).c_str(), format);
    EXPECT_EQ(format != nullptr ? format->id : formatUnknown, c.found) << c.name;
    if (c.found != formatUnknown) {
      EXPECT_TRUE(read && read.model[0].numVertices() == 3) << c.name;
    }
  }
  // The first bytes of every kind with a mark of its own.
  const struct {
    std::string head;
    FormatId found;
  } marks[] = {{"glTF\2\0\0\0"s, formatGlb},           {"IDP2\x08\0\0\0"s, formatQuake2},
               {"IDPO\x06\0\0\0"s, formatQuake1},       {"xof 0303txt 0032"s, formatDirectX},
               {"Caligari V00.01ALH "s, formatTruespace}, {"# vtk DataFile Version 3.0\n"s, formatVtk},
               {"FORM\0\0\0\4LWO3"s, formatLightwave},   {"{\n \"asset\": {\"version\": \"2.0\"}}"s, formatGltf},
               {"0\nSECTION\n2\nENTITIES\n"s, formatDxf}, {"MM\x06\0\0\0"s, format3DStudio},
               {"FORM\0\0\0\4AIFF"s, formatUnknown},     {""s, formatUnknown}};
  for (const auto& m : marks) {
    const std::span<const std::uint8_t> head(reinterpret_cast<const std::uint8_t*>(m.head.data()), m.head.size());
    const FormatInfo* format = formatOfContent(head, m.head.size());
    EXPECT_EQ(format != nullptr ? format->id : formatUnknown, m.found) << m.head;
  }
}
