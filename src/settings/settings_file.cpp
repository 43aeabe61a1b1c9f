#include "settings/settings_file.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/text_scanner.h"
#include "platform/file_handle.h"
#include "platform/platform.h"
#include "settings/view_options.h"

namespace {

constexpr const char* kVersionToken = "1.1_BETA";
constexpr const char* kNameToken = "Tessera";

FileHandle openOrDie(const std::string& path, const char* mode) {
  FileHandle file(std::fopen(path.c_str(), mode));
  if (!file) std::exit(-1);
  return file;
}

// 0 clears a flag, 1 sets it, any other number leaves it alone.
bool readFlag(TextScanner& scan, bool& flag) {
  std::int32_t value = 0;
  if (!scan.readInt(value)) return false;
  if (value == 0) flag = false;
  if (value == 1) flag = true;
  return true;
}

// A value that is not a finite number cannot be used: it would reach the GL state.
bool readValue(TextScanner& scan, float& value) {
  float read = 0.0f;
  if (!scan.readFloat(read) || !std::isfinite(read)) return false;
  value = read;
  return true;
}

bool readColor(TextScanner& scan, Color& color) {
  return readValue(scan, color.r) && readValue(scan, color.g) && readValue(scan, color.b);
}

// The flags in file order: four before the depth level, seven after it.
using Flag = bool ViewOptions::*;
constexpr Flag kFlagsBeforeLevel[] = {&ViewOptions::showCenterOfMass, &ViewOptions::showAxes,
                                      &ViewOptions::zoomDependentRotation,
                                      &ViewOptions::inertialRotation};
constexpr Flag kFlagsAfterLevel[] = {&ViewOptions::hiddenLineMode, &ViewOptions::pivotAtCenter,
                                     &ViewOptions::pivotAtOrigin, &ViewOptions::showBoundingBox,
                                     &ViewOptions::wireframeMode, &ViewOptions::solidMode,
                                     &ViewOptions::saveSettingsOnExit};

template <std::size_t N>
bool readFlags(TextScanner& scan, const Flag (&flags)[N]) {
  for (Flag flag : flags) {
    if (!readFlag(scan, viewOptions.*flag)) return false;
  }
  return true;
}

// Reads the values after the header. Stops at the first that cannot be read,
// so everything from there on keeps the value it had.
void readValues(TextScanner& scan) {
  ViewOptions& o = viewOptions;
  WindowGeometry& g = windowGeometry;
  readFlags(scan, kFlagsBeforeLevel) && readValue(scan, o.depthCueLevel) &&
      readFlags(scan, kFlagsAfterLevel) && readColor(scan, o.foregroundColor) &&
      readColor(scan, o.backgroundColor) && scan.readInt(g.windowX) &&
      scan.readInt(g.windowY) && scan.readInt(g.windowWidth) && scan.readInt(g.windowHeight) &&
      scan.readInt(g.windowShowState);
}

void writeAll(const std::string& path, const ViewOptions& o) {
  FileHandle file = openOrDie(path, "w+");
  std::FILE* f = file.get();
  const WindowGeometry& g = windowGeometry;
  std::fprintf(f, "%s %s\n", kVersionToken, kNameToken);
  for (Flag flag : kFlagsBeforeLevel) std::fprintf(f, "%d\n", o.*flag);
  std::fprintf(f, "%f\n", o.depthCueLevel);
  for (Flag flag : kFlagsAfterLevel) std::fprintf(f, "%d\n", o.*flag);
  std::fprintf(f, "%f %f %f\n", o.foregroundColor.r, o.foregroundColor.g, o.foregroundColor.b);
  std::fprintf(f, "%f %f %f\n", o.backgroundColor.r, o.backgroundColor.g, o.backgroundColor.b);
  std::fprintf(f, "%d %d %d %d %d\n", g.windowX, g.windowY, g.windowWidth, g.windowHeight, 1);
}

}  // namespace

std::string settingsPath(const char* fileName) {
  const std::string dir = platformConfigDirectory();
  return dir.empty() ? dir : dir + fileName;
}

void writeDefaultSettings(const std::string& path) { writeAll(path, firstRunViewOptions()); }

void writeSettings(const char* fileName) { writeAll(settingsPath(fileName), viewOptions); }

void readSettings(const char* fileName) {
  const std::string path = settingsPath(fileName);
  FileHandle file(std::fopen(path.c_str(), "r"));
  if (!file) {
    writeDefaultSettings(path);
    file = openOrDie(path, "r");
  }
  auto scan = std::make_unique<TextScanner>(file.get());
  std::string token;
  if (!scan->readToken(token) || token != kVersionToken) {
    // Another version's file: replaced by the defaults, without a word.
    scan.reset();
    file.reset();
    writeDefaultSettings(path);
    file = openOrDie(path, "r");
    scan = std::make_unique<TextScanner>(file.get());
    scan->readToken(token);
    scan->readToken(token);
  } else if (!scan->readToken(token) || token != kNameToken) {
    platformMessageBox("Tessera initialization file is corrupt!", "Tessera");
    std::exit(-1);
  }
  readValues(*scan);
}
