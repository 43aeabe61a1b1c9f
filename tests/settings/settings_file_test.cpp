#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

#include "platform/headless/headless_platform.h"
#include "platform/platform.h"
#include "settings/recent_files.h"
#include "settings/view_options.h"
#include "support/temp_dir.h"

namespace {

// The sixteen lines earlier versions read, then Lighting, Model Colours,
// Smooth Shading, Point Size, Orthographic and the up axes chosen.
const std::string kSixteenLines =
    "1.1_BETA Tessera\n0\n1\n0\n0\n0.300000\n0\n1\n0\n1\n0\n1\n1\n"
    "1.000000 1.000000 1.000000\n0.000000 0.501961 1.000000\n150 150 400 400 1\n";
const std::string kDefaultFile = kSixteenLines + "1\n1\n1\n2\n0\n0\n1\n";

std::string settingsFile() { return settingsPath("Tessera.ini"); }

// Every option and the window in one line, so that a case states all it
// expects. Flags: centre of mass, axes, zoom-dependent and inertial
// rotation, bounding box, save on exit, lighting; then model colours and
// smooth shading, and the point size; then the parallel view and each up
// axis chosen, where there are any.
std::string describe(const ViewOptions& o, const WindowGeometry& g) {
  char text[256];
  std::snprintf(text, sizeof text,
                "style %d pivot %d flags %d%d%d%d%d%d%d level %g fg %g %g %g bg %g %g %g window %d %d %d %d %d look %d%d %d",
                static_cast<int>(o.style), static_cast<int>(o.pivot), o.showCenterOfMass, o.showAxes,
                o.zoomDependentRotation, o.inertialRotation, o.showBoundingBox, o.saveSettingsOnExit, o.lighting,
                o.depthCueLevel, o.foregroundColor.r, o.foregroundColor.g, o.foregroundColor.b, o.backgroundColor.r,
                o.backgroundColor.g, o.backgroundColor.b, g.windowX, g.windowY, g.windowWidth, g.windowHeight,
                g.windowShowState, o.modelColors, o.smoothShading, o.pointSize);
  std::string described = text;
  if (o.orthographic) described += " orthographic";
  if (!o.simplifyWhileMoving) described += " unsimplified";
  for (const auto& [format, axis] : o.upAxisChoices) described += " " + format + (axis == UpAxis::Z ? ":z" : ":y");
  return described;
}

// A first run's options: lit.
const char* const kDefaults = "style 0 pivot 0 flags 0100111 level 0.3 fg 1 1 1 bg 0 0.501961 1 window 150 150 400 400 1 look 11 2";
// A file of the sixteen lines (before Lighting) keeps the unlit view it showed.
const char* const kSixteenRead =
    "style 0 pivot 0 flags 0100110 level 0.3 fg 1 1 1 bg 0 0.501961 1 window 150 150 400 400 1 look 11 2";

// A file whose depth level, foreground colour and show state are given.
std::string withRanges(const char* level, const char* foreground, const char* showState) {
  return std::string("1.1_BETA Tessera\n0\n1\n0\n0\n") + level + "\n1\n1\n0\n1\n0\n0\n1\n" + foreground +
         "\n0 0 0\n10 20 300 200 " + showState + "\n";
}

}  // namespace

TEST(SettingsFile, WhatIsReadFromAFile) {
  const std::string lightingOn = kSixteenLines + "1\n", lightingOff = kSixteenLines + "0\n";
  const std::string everyLine = kSixteenLines + "1\n0\n1\n7\n1\n4 stl y obj z md2 x 3ds Z\n0\n";
  const std::string pointsTooLarge = kSixteenLines + "1\n1\n1\n11\n";
  const std::string upAxesBeyondCount = kSixteenLines + "1\n1\n1\n2\n0\n65 stl y\n";
  const struct {
    const char* what;
    std::optional<std::string> file;
    const char* read;
    bool replaced;  // by the defaults; else kept as it was
    int messages;
  } cases[] = {
      {"no file", std::nullopt, kDefaults, true, 0},
      {"an older version", "1.0 Tessera\n1\n0\n1\n1\n0.9\n", kDefaults, true, 0},
      {"a longer version", "1.1_BETAX Tessera\n1\n0\n1\n1\n0.9\n", kDefaults, true, 0},
      {"no version", "\n1\n0\n1\n1\n0.9\n", kDefaults, true, 0},
      {"the version in other case", "1.1_beta Tessera\n1\n0\n1\n1\n0.9\n", kDefaults, true, 0},
      // Said once; the file stays for the user to look at, the view starts plain.
      {"a wrong name", "1.1_BETA Tesserax\n1\n", kDefaults, false, 1},
      // Lighting is the line after the sixteen: without it, off; then the look and the point size.
      {"the sixteen lines", kSixteenLines.c_str(), kSixteenRead, false, 0},
      {"lighting off", lightingOff.c_str(), kSixteenRead, false, 0},
      {"lighting on", lightingOn.c_str(), kDefaults, false, 0},
      {"every line", everyLine.c_str(),
       "style 0 pivot 0 flags 0100111 level 0.3 fg 1 1 1 bg 0 0.501961 1 window 150 150 400 400 1 look 01 7 "
       "orthographic unsimplified obj:z stl:y", false, 0},
      {"a point size beyond 10", pointsTooLarge.c_str(), kDefaults, false, 0},
      {"more up axes than formats", upAxesBeyondCount.c_str(), kDefaults, false, 0},
      // Values in file order; 7 leaves the axes at their default; hidden-line
      // and wireframe both set, solid cleared: the first of them holds.
      {"values in file order",
       "1.1_BETA Tessera\n1\n7\n1\n1\n0.25\n1\n0\n1\n0\n1\n0\n0\n0.5 0.25 0.125\n1 0 0\n10 20 300 200 2\n",
       "style 1 pivot 1 flags 1111000 level 0.25 fg 0.5 0.25 0.125 bg 1 0 0 window 10 20 300 200 2 look 11 2", false, 0},
      // The first unreadable value leaves it and every later one at its default, never at zero.
      {"an unreadable level", "1.1_BETA Tessera\n0\n0\n1\n0\nlots\n1",
       "style 0 pivot 0 flags 0010110 level 0.3 fg 1 1 1 bg 0 0.501961 1 window 150 150 400 400 1 look 11 2", false, 0},
      // Positions and sizes far beyond any screen are brought within reach.
      {"a window beyond any screen",
       "1.1_BETA Tessera\n0\n1\n0\n0\n0.3\n0\n1\n0\n1\n0\n1\n1\n1 1 1\n0 0 0\n2147483647 -2147483648 2147483647 -5 1\n",
       "style 0 pivot 0 flags 0100110 level 0.3 fg 1 1 1 bg 0 0 0 window 1048576 -1048576 1048576 0 1 look 11 2", false, 0},
      // A value out of its range reads as its default; the values around it read on as usual.
      {"a level, colour and show state too high", withRanges("5.0", "2 0 0", "99"),
       "style 1 pivot 0 flags 0100110 level 0.3 fg 1 0 0 bg 0 0 0 window 10 20 300 200 1 look 11 2", false, 0},
      {"not numbers", withRanges("nan", "nan 0 0", "-1"),
       "style 1 pivot 0 flags 0100110 level 0.3 fg 1 0 0 bg 0 0 0 window 10 20 300 200 1 look 11 2", false, 0},
      {"too low", withRanges("-0.1", "-3 0 0", "12"),
       "style 1 pivot 0 flags 0100110 level 0.3 fg 1 0 0 bg 0 0 0 window 10 20 300 200 1 look 11 2", false, 0},
      {"the highest", withRanges("0.99", "0.5 0 0", "3"),
       "style 1 pivot 0 flags 0100110 level 0.99 fg 0.5 0 0 bg 0 0 0 window 10 20 300 200 3 look 11 2", false, 0},
      {"infinite", withRanges("inf", "0 0 0", "7"),
       "style 1 pivot 0 flags 0100110 level 0.3 fg 0 0 0 bg 0 0 0 window 10 20 300 200 7 look 11 2", false, 0},
  };
  for (const auto& c : cases) {
    IsolatedState state;
    platformConfigDirectory();
    if (c.file) writeTextFile(settingsFile(), *c.file);
    ViewOptions options;
    options.lighting = true;  // whatever the file does not set starts over from the defaults
    WindowGeometry geometry;
    readSettings("Tessera.ini", options, geometry);
    EXPECT_EQ(describe(options, geometry), c.read) << c.what;
    EXPECT_EQ(readTextFile(settingsFile()), c.replaced ? kDefaultFile : *c.file) << c.what;
    EXPECT_EQ(headlessRecord.messageBoxCount, c.messages) << c.what;
  }
}

TEST(SettingsFile, WrittenFilesReadBack) {
  IsolatedState state;
  // The defaults keep the window's place, always with the plain show state.
  ASSERT_TRUE(writeDefaultSettings(settingsFile(), {10, 20, 640, 480, 3}));
  std::string defaults = kDefaultFile;
  defaults.replace(defaults.find("150 150 400 400 1"), 17, "10 20 640 480 1");
  EXPECT_EQ(readTextFile(settingsFile()), defaults);
  // Written with Lighting off and a point size, the first sixteen lines are what they were.
  ViewOptions options = firstRunViewOptions();
  options.lighting = false;
  options.pointSize = 10;
  ASSERT_TRUE(writeSettings("Tessera.ini", options, WindowGeometry{}));
  EXPECT_EQ(readTextFile(settingsFile()), kSixteenLines + "0\n1\n1\n10\n0\n0\n1\n");
  options.modelColors = false;
  options.smoothShading = false;

  options.style = DisplayStyle::Wireframe;
  options.depthCueLevel = 0.99f;
  options.pivot = Pivot::Origin;
  options.orthographic = true;
  options.simplifyWhileMoving = false;
  options.upAxisChoices = {{"stl", UpAxis::Y}, {"gltf", UpAxis::Z}};
  options.foregroundColor = {0.2f, 0.4f, 0.6f};
  options.backgroundColor = {1.0f / 3.0f, 0.0f, 0.75f};
  ASSERT_TRUE(writeSettings("Tessera.ini", options, {33, 44, 1024, 768, 5}));
  const std::string written = describe(options, {33, 44, 1024, 768, 1});  // the show state is always written as 1
  ViewOptions read;
  WindowGeometry geometry;
  readSettings("Tessera.ini", read, geometry);
  EXPECT_EQ(describe(read, geometry), written);
}

TEST(SettingsFile, WithoutAFolderTheDefaultsServeAndNothingIsWritten) {
  ViewOptions viewOptions;
  WindowGeometry windowGeometry;
  RecentList list;
  IsolatedState state;
  writeTextFile(state.dir().file("tessera"), "");  // a plain file where the folder should be
  readSettings("Tessera.ini", viewOptions, windowGeometry);
  EXPECT_EQ(describe(viewOptions, windowGeometry), kDefaults);
  EXPECT_FALSE(writeSettings("Tessera.ini", viewOptions, windowGeometry));
  EXPECT_FALSE(settingsFolderProblem().empty());
  // The recent list alike: empty, and not written.
  readRecentList(list);
  EXPECT_EQ(list.count, 0);
  EXPECT_FALSE(writeRecentList(list));
}
