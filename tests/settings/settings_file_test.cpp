#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_platform.h"
#include "settings/view_options.h"
#include "support/temp_dir.h"

namespace {

const char* kDefaultFile =
    "1.1_BETA Tessera\n0\n1\n0\n0\n0.300000\n0\n1\n0\n1\n0\n1\n1\n"
    "1.000000 1.000000 1.000000\n0.000000 0.501961 1.000000\n150 150 400 400 1\n";

std::string settingsFile() { return settingsPath("Tessera.ini"); }

}  // namespace

TEST(SettingsFile, MissingFileIsReplacedByDefaultsAndRead) {
  IsolatedState state;
  readSettings("Tessera.ini");
  EXPECT_EQ(readTextFile(state.configFile("Tessera.ini")), kDefaultFile);
  const ViewOptions& o = viewOptions;
  EXPECT_TRUE(o.solidMode);
  EXPECT_FALSE(o.wireframeMode);
  EXPECT_FALSE(o.hiddenLineMode);
  EXPECT_TRUE(o.showAxes);
  EXPECT_TRUE(o.showBoundingBox);
  EXPECT_FALSE(o.showCenterOfMass);
  EXPECT_TRUE(o.pivotAtCenter);
  EXPECT_FALSE(o.pivotAtOrigin);
  EXPECT_TRUE(o.saveSettingsOnExit);
  EXPECT_FLOAT_EQ(o.depthCueLevel, 0.3f);
  EXPECT_EQ(o.foregroundColor.g, 1.0f);
  EXPECT_FLOAT_EQ(o.backgroundColor.g, 0.501961f);
  EXPECT_EQ(o.backgroundColor.b, 1.0f);
  EXPECT_EQ(windowGeometry.windowWidth, 400);
  EXPECT_EQ(headlessRecord.messageBoxCount, 0);
}

TEST(SettingsFile, DefaultsCarryTheCurrentGeometry) {
  IsolatedState state;
  windowGeometry = {10, 20, 640, 480, 3};
  writeDefaultSettings(settingsFile());
  const std::string text = readTextFile(settingsFile());
  EXPECT_EQ(text.substr(text.rfind('\n', text.size() - 2) + 1), "10 20 640 480 1\n");
}

TEST(SettingsFile, OtherVersionIsSilentlyReplaced) {
  IsolatedState state;
  for (const char* header : {"1.0 Tessera", "1.1_BETAX Tessera", "", "1.1_beta Tessera"}) {
    writeTextFile(settingsFile(), std::string(header) + "\n1\n0\n1\n1\n0.9\n");
    resetViewOptions();
    readSettings("Tessera.ini");
    EXPECT_EQ(readTextFile(settingsFile()), kDefaultFile) << header;
    EXPECT_TRUE(viewOptions.showAxes) << header;
  }
}

TEST(SettingsFile, WrongNameTokenEndsTheProgramAndKeepsTheFile) {
  IsolatedState state;
  const std::string corrupt = "1.1_BETA Tesserax\n0\n";
  writeTextFile(settingsFile(), corrupt);
  EXPECT_EXIT(readSettings("Tessera.ini"), testing::ExitedWithCode(255),
              "Tessera initialization file is corrupt!");
  EXPECT_EQ(readTextFile(settingsFile()), corrupt);
}

TEST(SettingsFile, FlagsOtherThanZeroOrOneKeepTheirValue) {
  IsolatedState state;
  writeTextFile(settingsFile(),
                "1.1_BETA Tessera\n1\n7\n1\n1\n0.25\n1\n0\n1\n0\n1\n0\n0\n"
                "0.5 0.25 0.125\n1 0 0\n10 20 300 200 2\n");
  readSettings("Tessera.ini");
  EXPECT_TRUE(viewOptions.showCenterOfMass);
  EXPECT_FALSE(viewOptions.showAxes);  // 7: stays as it was
  EXPECT_TRUE(viewOptions.zoomDependentRotation);
  EXPECT_FLOAT_EQ(viewOptions.depthCueLevel, 0.25f);
  EXPECT_TRUE(viewOptions.hiddenLineMode);
  EXPECT_TRUE(viewOptions.wireframeMode);
  EXPECT_FALSE(viewOptions.solidMode);
  EXPECT_EQ(viewOptions.foregroundColor.b, 0.125f);
  EXPECT_EQ(viewOptions.backgroundColor.r, 1.0f);
  EXPECT_EQ(windowGeometry.windowX, 10);
  EXPECT_EQ(windowGeometry.windowHeight, 200);
  EXPECT_EQ(windowGeometry.windowShowState, 2);
}

TEST(SettingsFile, UnreadableValuesLeaveTheRestAsItWas) {
  IsolatedState state;
  writeTextFile(settingsFile(), "1.1_BETA Tessera\n1\n1\n0\n1\nlots\n1\n1\n1\n1\n1\n1\n1\n");
  viewOptions.depthCueLevel = 0.5f;
  readSettings("Tessera.ini");
  EXPECT_TRUE(viewOptions.showCenterOfMass);
  EXPECT_TRUE(viewOptions.inertialRotation);
  EXPECT_FLOAT_EQ(viewOptions.depthCueLevel, 0.5f);
  EXPECT_FALSE(viewOptions.hiddenLineMode);
  EXPECT_FALSE(viewOptions.solidMode);
  EXPECT_EQ(windowGeometry.windowX, 150);

  // The file ends early, and a level that is not a finite number.
  writeTextFile(settingsFile(), "1.1_BETA Tessera\n0\n1\n1\n0\nnan\n1");
  resetViewOptions();
  readSettings("Tessera.ini");
  EXPECT_TRUE(viewOptions.zoomDependentRotation);
  EXPECT_EQ(viewOptions.depthCueLevel, 0.0f);
  EXPECT_FALSE(viewOptions.hiddenLineMode);
}

TEST(SettingsFile, WrittenValuesReadBack) {
  IsolatedState state;
  viewOptions.wireframeMode = true;
  viewOptions.depthCueLevel = 0.99f;
  viewOptions.pivotAtOrigin = true;
  viewOptions.inertialRotation = true;
  viewOptions.foregroundColor = {0.2f, 0.4f, 0.6f};
  viewOptions.backgroundColor = {1.0f / 3.0f, 0.0f, 0.75f};
  windowGeometry = {33, 44, 1024, 768, 5};
  const ViewOptions saved = viewOptions;
  writeSettings("Tessera.ini");
  resetViewOptions();
  readSettings("Tessera.ini");
  EXPECT_EQ(viewOptions.wireframeMode, saved.wireframeMode);
  EXPECT_FALSE(viewOptions.solidMode);
  EXPECT_TRUE(viewOptions.pivotAtOrigin);
  EXPECT_TRUE(viewOptions.inertialRotation);
  EXPECT_NEAR(viewOptions.depthCueLevel, 0.99f, 1e-6);
  EXPECT_NEAR(viewOptions.backgroundColor.r, 1.0f / 3.0f, 1e-6);
  EXPECT_NEAR(viewOptions.foregroundColor.b, 0.6f, 1e-6);
  EXPECT_EQ(windowGeometry.windowWidth, 1024);
  EXPECT_EQ(windowGeometry.windowShowState, 1);  // always written as 1
}

TEST(SettingsFile, UncreatableFileEndsTheProgram) {
  IsolatedState state;
  writeTextFile(state.dir().file("tessera"), "");
  EXPECT_EXIT(readSettings("Tessera.ini"), testing::ExitedWithCode(255), "");
  EXPECT_EXIT(writeSettings("Tessera.ini"), testing::ExitedWithCode(255), "");
}
