#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_platform.h"
#include "platform/platform.h"
#include "settings/view_options.h"
#include "support/temp_dir.h"

namespace {

// The sixteen lines earlier versions read, then Lighting.
const std::string kSixteenLines =
    "1.1_BETA Tessera\n0\n1\n0\n0\n0.300000\n0\n1\n0\n1\n0\n1\n1\n"
    "1.000000 1.000000 1.000000\n0.000000 0.501961 1.000000\n150 150 400 400 1\n";
const std::string kDefaultFile = kSixteenLines + "0\n";

std::string settingsFile() { return settingsPath("Tessera.ini"); }

}  // namespace

TEST(SettingsFile, MissingOrOtherVersionIsReplacedByDefaults) {
  ViewOptions viewOptions;
  WindowGeometry windowGeometry;
  for (const char* header : {static_cast<const char*>(nullptr), "1.0 Tessera", "1.1_BETAX Tessera", "", "1.1_beta Tessera"}) {
    IsolatedState state;
    if (header != nullptr) writeTextFile(settingsFile(), std::string(header) + "\n1\n0\n1\n1\n0.9\n");
    readSettings("Tessera.ini", viewOptions, windowGeometry);
    EXPECT_EQ(readTextFile(settingsFile()), kDefaultFile) << (header ? header : "missing");
    const ViewOptions& o = viewOptions;
    EXPECT_TRUE(o.style == DisplayStyle::Solid && o.showAxes && o.showBoundingBox && o.pivot == Pivot::Center &&
                o.saveSettingsOnExit);
    EXPECT_FALSE(o.showCenterOfMass);
    EXPECT_FLOAT_EQ(o.depthCueLevel, 0.3f);
      EXPECT_EQ(windowGeometry.windowWidth, 400);
    EXPECT_EQ(headlessRecord.messageBoxCount, 0);
  }
  IsolatedState state;
  windowGeometry = {10, 20, 640, 480, 3};
  writeDefaultSettings(settingsFile(), windowGeometry);
  const std::string text = readTextFile(settingsFile());
  EXPECT_NE(text.find("\n10 20 640 480 1\n0\n"), std::string::npos);
}

TEST(SettingsFile, LightingIsTheLineAfterTheSixteen) {
  ViewOptions viewOptions;
  WindowGeometry windowGeometry;
  const struct {
    std::string file;
    bool lighting;
  } cases[] = {{kSixteenLines, false}, {kSixteenLines + "1\n", true}, {kSixteenLines + "0\n", false}};
  for (const auto& c : cases) {
    IsolatedState state;
    writeTextFile(settingsFile(), c.file);
    viewOptions.lighting = !c.lighting;
    readSettings("Tessera.ini", viewOptions, windowGeometry);
    EXPECT_EQ(viewOptions.lighting, c.lighting) << c.file;
    EXPECT_TRUE(viewOptions.style == DisplayStyle::Solid && viewOptions.showAxes) << c.file;  // the rest read as before
  }
  // Written with Lighting on, the first sixteen lines are what they were.
  IsolatedState state;
  readSettings("Tessera.ini", viewOptions, windowGeometry);
  viewOptions.lighting = true;
  ASSERT_TRUE(writeSettings("Tessera.ini", viewOptions, windowGeometry));
  EXPECT_EQ(readTextFile(settingsFile()), kSixteenLines + "1\n");
}

TEST(SettingsFile, WrongNameTokenIsToldAndTheDefaultsServe) {
  ViewOptions viewOptions;
  WindowGeometry windowGeometry;
  IsolatedState state;
  const std::string corrupt = "1.1_BETA Tesserax\n1\n";
  writeTextFile(settingsFile(), corrupt);
  readSettings("Tessera.ini", viewOptions, windowGeometry);
  EXPECT_EQ(headlessRecord.messageBoxCount, 1);
  EXPECT_TRUE(viewOptions.style == DisplayStyle::Solid && !viewOptions.showCenterOfMass);
  EXPECT_EQ(readTextFile(settingsFile()), corrupt);  // kept for the user to look at
}

TEST(SettingsFile, ValuesOutOfTheirRangeReadAsTheirDefaults) {
  ViewOptions viewOptions;
  WindowGeometry windowGeometry;
  const struct {
    const char* level;
    const char* foreground;
    const char* showState;
    float expectedLevel, expectedRed;
    int expectedState;
  } cases[] = {
      {"5.0", "2 0 0", "99", 0.3f, 1.0f, 1},      {"nan", "nan 0 0", "-1", 0.3f, 1.0f, 1},
      {"-0.1", "-3 0 0", "12", 0.3f, 1.0f, 1},    {"0.99", "0.5 0 0", "3", 0.99f, 0.5f, 3},
      {"inf", "0 0 0", "7", 0.3f, 0.0f, 7},
  };
  for (const auto& c : cases) {
    IsolatedState state;
    platformConfigDirectory();
    writeTextFile(settingsFile(), std::string("1.1_BETA Tessera\n0\n1\n0\n0\n") + c.level +
                                      "\n1\n1\n0\n1\n0\n0\n1\n" + c.foreground + "\n0 0 0\n10 20 300 200 " +
                                      c.showState + "\n");
    readSettings("Tessera.ini", viewOptions, windowGeometry);
    EXPECT_EQ(viewOptions.depthCueLevel, c.expectedLevel) << c.level;
    EXPECT_EQ(viewOptions.foregroundColor.r, c.expectedRed) << c.foreground;
    EXPECT_EQ(windowGeometry.windowShowState, c.expectedState) << c.showState;
    EXPECT_TRUE(viewOptions.style == DisplayStyle::HiddenLine && windowGeometry.windowWidth == 300) << "read on after " << c.level;
  }
}

TEST(SettingsFile, ValuesInFileOrderOddFlagsAndUnreadableValues) {
  ViewOptions viewOptions;
  WindowGeometry windowGeometry;
  IsolatedState state;
  writeTextFile(settingsFile(),
                "1.1_BETA Tessera\n1\n7\n1\n1\n0.25\n1\n0\n1\n0\n1\n0\n0\n"
                "0.5 0.25 0.125\n1 0 0\n10 20 300 200 2\n");
  readSettings("Tessera.ini", viewOptions, windowGeometry);
  const ViewOptions& o = viewOptions;
  EXPECT_TRUE(o.showCenterOfMass && o.zoomDependentRotation);
  EXPECT_TRUE(o.showAxes);  // 7: keeps its default
  // Hidden-line and wireframe both set, solid cleared: the first of them holds.
  EXPECT_EQ(o.style, DisplayStyle::HiddenLine);
  EXPECT_FLOAT_EQ(o.depthCueLevel, 0.25f);
  EXPECT_TRUE(o.foregroundColor.b == 0.125f && o.backgroundColor.r == 1.0f);
  EXPECT_TRUE(windowGeometry.windowX == 10 && windowGeometry.windowHeight == 200 && windowGeometry.windowShowState == 2);

  // The first unreadable value leaves it and every later one at its default, never at zero.
  writeTextFile(settingsFile(), "1.1_BETA Tessera\n0\n0\n1\n0\nlots\n1");
  viewOptions = ViewOptions{};
  windowGeometry = WindowGeometry{};
  readSettings("Tessera.ini", viewOptions, windowGeometry);
  EXPECT_TRUE(o.zoomDependentRotation && !o.showAxes && o.depthCueLevel == 0.3f && o.style == DisplayStyle::Solid);
  EXPECT_FLOAT_EQ(o.backgroundColor.g, 0.501961f);
  // Positions and sizes far beyond any screen are brought within reach.
  writeTextFile(settingsFile(), "1.1_BETA Tessera\n0\n1\n0\n0\n0.3\n0\n1\n0\n1\n0\n1\n1\n1 1 1\n0 0 0\n"
                                "2147483647 -2147483648 2147483647 -5 1\n");
  readSettings("Tessera.ini", viewOptions, windowGeometry);
  EXPECT_TRUE(windowGeometry.windowX == 1 << 20 && windowGeometry.windowY == -(1 << 20) && windowGeometry.windowWidth == 1 << 20 &&
              windowGeometry.windowHeight == 0);
}

TEST(SettingsFile, WrittenValuesReadBack) {
  ViewOptions viewOptions;
  WindowGeometry windowGeometry;
  IsolatedState state;
  viewOptions.style = DisplayStyle::Wireframe;
  viewOptions.depthCueLevel = 0.99f;
  viewOptions.pivot = Pivot::Origin;
  viewOptions.foregroundColor = {0.2f, 0.4f, 0.6f};
  viewOptions.backgroundColor = {1.0f / 3.0f, 0.0f, 0.75f};
  windowGeometry = {33, 44, 1024, 768, 5};
  writeSettings("Tessera.ini", viewOptions, windowGeometry);
  viewOptions = ViewOptions{};
  windowGeometry = WindowGeometry{};
  readSettings("Tessera.ini", viewOptions, windowGeometry);
  EXPECT_TRUE(viewOptions.style == DisplayStyle::Wireframe && viewOptions.pivot == Pivot::Origin);
  EXPECT_NEAR(viewOptions.depthCueLevel, 0.99f, 1e-6);
  EXPECT_NEAR(viewOptions.backgroundColor.r, 1.0f / 3.0f, 1e-6);
  EXPECT_NEAR(viewOptions.foregroundColor.b, 0.6f, 1e-6);
  EXPECT_TRUE(windowGeometry.windowWidth == 1024 && windowGeometry.windowShowState == 1);  // always written as 1
}

TEST(SettingsFile, WithoutAFolderTheDefaultsServeAndNothingIsWritten) {
  ViewOptions viewOptions;
  WindowGeometry windowGeometry;
  IsolatedState state;
  writeTextFile(state.dir().file("tessera"), "");  // a plain file where the folder should be
  readSettings("Tessera.ini", viewOptions, windowGeometry);
  EXPECT_TRUE(viewOptions.style == DisplayStyle::Solid && viewOptions.showAxes);
  EXPECT_FALSE(writeSettings("Tessera.ini", viewOptions, windowGeometry));
  EXPECT_FALSE(settingsFolderProblem().empty());
}
