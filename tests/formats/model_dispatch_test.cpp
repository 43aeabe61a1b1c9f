#include "formats/model_dispatch.h"

#include <gtest/gtest.h>

#include <limits>

#include "formats/reader_support.h"
#include "platform/headless/headless_platform.h"
#include "settings/recent_files.h"
#include "settings/view_options.h"
#include "support/binary_builders.h"
#include "support/temp_dir.h"

namespace {

const char* kTriangle = "OFF 3 1 0 0 0 0 1 0 0 0 1 0 3 0 1 2\n";

}  // namespace

TEST(FormatNames, EveryEndingRuleAndDisplayName) {
  const struct {
    const char* name;
    FormatId format;
    const char* display;
  } cases[] = {
      {"CUBE.OFF", formatOff, "OFF format"},       {"cubeoff", formatOff, "OFF format"},
      {"cube.3DS", format3DStudio, "3D Studio format"},
      {"a.cob", formatTruespace, "Truespace format"}, {"a.MDL", formatQuake1, "Quake 1 format"},
      {"ship.md2", formatQuake2, "Quake 2 format"},  {"a.dxf", formatDxf, "Autodesk format"},
      {"a.lwo", formatLightwave, "Lightwave format"}, {"a.vtk", formatVtk, "Vis. Toolkit format"},
      {"a.Obj", formatWavefront, "Wavefront format"}, {"a.X", formatDirectX, "DirectX format"},
      {"scene.tex", formatDirectX, "DirectX format"}, {"x", formatDirectX, "DirectX format"},
      {"ship.md3", formatUnknown, "Uknown format"},   {"of", formatUnknown, "Uknown format"},
  };
  for (const auto& c : cases) {
    const std::string_view name = c.name;
    EXPECT_EQ(formatOfName(name), c.format) << name;
    EXPECT_STREQ(formatDisplayName(name.size() > 3 ? name.substr(name.size() - 3) : name),
                 c.display)
        << name;
  }
}

TEST(Dispatch, QuotesAreRemovedInPlace) {
  std::string quoted = "\"/models/cube.off\"";
  stripSurroundingQuotes(quoted);
  EXPECT_EQ(quoted, "/models/cube.off");
  std::string trailing = "\"/m/a b.off\" extra words";
  stripSurroundingQuotes(trailing);
  EXPECT_EQ(trailing, "/m/a b.off");
  std::string unclosed = "\"/m/a.off";
  stripSurroundingQuotes(unclosed);
  EXPECT_EQ(unclosed, "/m/a.off");
  std::string plain = "/m/\"a\".off";
  stripSurroundingQuotes(plain);
  EXPECT_EQ(plain, "/m/\"a\".off");
}

TEST(Dispatch, QuotedNameOpensAndEntersTheListUnquoted) {
  IsolatedState state;
  const std::string path = state.dir().file("cube.off");
  writeTextFile(path, kTriangle);
  std::string name = "\"" + path + "\"";
  std::optional<Model> model = openModelFile(name, 0);
  ASSERT_TRUE(model);
  EXPECT_EQ(name, path);
  EXPECT_EQ(currentFormat, formatOff);
  EXPECT_TRUE(modelLoaded);
  ASSERT_EQ(recentCount, 1);
  EXPECT_EQ(recentFiles[0].path, path);
  EXPECT_EQ(recentFiles[0].length, static_cast<std::int32_t>(path.size()));
  EXPECT_EQ(readTextFile(recentListPath()),
            "1\n" + std::to_string(path.size()) + "\n" + path + "\n");
  EXPECT_EQ(headlessRecord.redrawRequests, 1);
}

TEST(Dispatch, MissingFileLeavesTheDisplayButEntersTheList) {
  IsolatedState state;
  currentFormat = formatOff;
  modelLoaded = true;
  windowGeometry.windowX = 300;
  windowGeometry.windowWidth = 601;
  std::string name = state.dir().file("model.off");
  EXPECT_FALSE(openModelFile(name, 0));
  EXPECT_EQ(headlessRecord.lastNotice, "FILE NOT FOUND: It may have been moved or deleted.");
  EXPECT_EQ(headlessRecord.noticeX, 300 + 300 - 125);
  EXPECT_EQ(headlessRecord.noticeY, 150 + 200 - 100);
  EXPECT_EQ(currentFormat, formatOff);
  EXPECT_TRUE(modelLoaded);
  ASSERT_EQ(recentCount, 1);
  EXPECT_EQ(recentFiles[0].path, name);
  EXPECT_EQ(headlessRecord.redrawRequests, 1);
}

TEST(Dispatch, UnknownFormatTouchesNothing) {
  IsolatedState state;
  for (const char* file : {"ship.md3", "notes.txt", "picture.png"}) {
    std::string name = state.dir().file(file);
    writeTextFile(name, kTriangle);
    EXPECT_FALSE(openModelFile(name, 0)) << file;
  }
  EXPECT_EQ(headlessRecord.noticeCount, 3);
  EXPECT_EQ(headlessRecord.lastNotice, "FILE NOT SUPPORTED: The format of the file is unknown.");
  EXPECT_EQ(recentCount, 0);
  EXPECT_EQ(headlessRecord.redrawRequests, 0);
  EXPECT_FALSE(modelLoaded);
}

TEST(Dispatch, ElevenOpensKeepTheTenNewestAndDuplicatesStay) {
  IsolatedState state;
  for (int i = 0; i < 11; ++i) {
    std::string name = state.dir().file("m" + std::to_string(i) + ".off");
    writeTextFile(name, kTriangle);
    ASSERT_TRUE(openModelFile(name, 0));
  }
  ASSERT_EQ(recentCount, 10);
  EXPECT_EQ(recentFiles[0].path, state.dir().file("m10.off"));
  EXPECT_EQ(recentFiles[9].path, state.dir().file("m1.off"));

  std::string again = state.dir().file("m10.off");
  ASSERT_TRUE(openModelFile(again, 0));
  EXPECT_EQ(recentFiles[0].path, again);
  EXPECT_EQ(recentFiles[1].path, again);
  EXPECT_EQ(recentFiles[9].path, state.dir().file("m2.off"));
}

TEST(Dispatch, OpeningFromTheListLeavesItAlone) {
  IsolatedState state;
  for (const char* file : {"a.off", "b.off"}) {
    std::string name = state.dir().file(file);
    writeTextFile(name, kTriangle);
    ASSERT_TRUE(openModelFile(name, 0));
  }
  const std::string before = readTextFile(recentListPath());
  std::string fromList = recentFiles[1].path;
  ASSERT_TRUE(openModelFile(fromList, 1));
  EXPECT_EQ(recentFiles[0].path, state.dir().file("b.off"));
  EXPECT_EQ(recentCount, 2);
  EXPECT_EQ(readTextFile(recentListPath()), before);
}

TEST(Dispatch, NonFiniteGeometryIsDamageInEveryFormat) {
  // Each file is sound but for one value that makes a coordinate, or an
  // object's centre, not a finite number.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const std::vector<float> tri{0, 0, 0, 1, 0, 0, 0, 1, 0};
  std::array<float, 12> nanMatrix = kIdentity3x4;
  nanMatrix[3] = nan;
  MdlModel mdl;
  mdl.triangles = {{0, 1, 2}};
  mdl.vertices = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
  mdl.origin = {0, -inf, 0};
  const struct {
    const char* file;
    Bytes bytes;
  } cases[] = {
      {"nan.3ds", file3ds(named3ds("A", mesh3ds({0, 0, 0, nan, 0, 0, 0, 1, 0}, {{0, 1, 2}})))},
      {"overflowing-centre.3ds", file3ds(named3ds("A", mesh3ds({3e38f, 0, 0, 3e38f, 1, 0, 3e38f, 0, 1}, {{0, 1, 2}})))},
      {"nan-matrix.cob", join({cobHeader(), polh(tri, {{0, 1, 2}}, nanMatrix), cobEnd()})},
      {"inf.lwo", lwoForm("LWOB", join({lwoPoints({0, 0, 0, 1, inf, 0, 0, 1, 0}), lwoClassicPolygons({{0, 1, 2}})}))},
      {"nan-scale.md2", md2File({{0, 1, 2}}, {PackedFrame{{1, nan, 1}, {0, 0, 0}, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}}})},
      {"inf-origin.mdl", mdlFile(mdl)},
  };
  IsolatedState state;
  testing::internal::CaptureStderr();
  for (const auto& c : cases) {
    const std::string path = state.dir().file(c.file);
    writeBytesFile(path, c.bytes);
    FormatId format = formatUnknown;
    EXPECT_FALSE(readModelFile(path.c_str(), format).has_value()) << c.file;
    EXPECT_EQ(lastReadFailure, ReadFailure::Damaged) << c.file;
  }
  const std::string complaints = testing::internal::GetCapturedStderr();
  EXPECT_NE(complaints.find("overflowing-centre.3ds, is damaged or truncated."), std::string::npos);
}
