#include "settings/settings_file.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "formats/text_scanner.h"
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

// Reads the values after the header. Stops at the first that cannot be read,
// so everything from there on keeps the value it had.
void readValues(TextScanner& scan) {
  ViewOptions& o = viewOptions;
  WindowGeometry& g = windowGeometry;
  readFlag(scan, o.showCenterOfMass) && readFlag(scan, o.showAxes) &&
      readFlag(scan, o.zoomDependentRotation) && readFlag(scan, o.inertialRotation) &&
      readValue(scan, o.depthCueLevel) && readFlag(scan, o.hiddenLineMode) &&
      readFlag(scan, o.pivotAtCenter) && readFlag(scan, o.pivotAtOrigin) &&
      readFlag(scan, o.showBoundingBox) && readFlag(scan, o.wireframeMode) &&
      readFlag(scan, o.solidMode) && readFlag(scan, o.saveSettingsOnExit) &&
      readColor(scan, o.foregroundColor) && readColor(scan, o.backgroundColor) &&
      scan.readInt(g.windowX) && scan.readInt(g.windowY) && scan.readInt(g.windowWidth) &&
      scan.readInt(g.windowHeight) && scan.readInt(g.windowShowState);
}

void writeAll(const std::string& path, const ViewOptions& o) {
  FileHandle file = openOrDie(path, "w+");
  std::FILE* f = file.get();
  const WindowGeometry& g = windowGeometry;
  std::fprintf(f, "%s %s\n", kVersionToken, kNameToken);
  std::fprintf(f, "%d\n", o.showCenterOfMass);
  std::fprintf(f, "%d\n", o.showAxes);
  std::fprintf(f, "%d\n", o.zoomDependentRotation);
  std::fprintf(f, "%d\n", o.inertialRotation);
  std::fprintf(f, "%f\n", o.depthCueLevel);
  std::fprintf(f, "%d\n", o.hiddenLineMode);
  std::fprintf(f, "%d\n", o.pivotAtCenter);
  std::fprintf(f, "%d\n", o.pivotAtOrigin);
  std::fprintf(f, "%d\n", o.showBoundingBox);
  std::fprintf(f, "%d\n", o.wireframeMode);
  std::fprintf(f, "%d\n", o.solidMode);
  std::fprintf(f, "%d\n", o.saveSettingsOnExit);
  std::fprintf(f, "%f %f %f\n", o.foregroundColor.r, o.foregroundColor.g, o.foregroundColor.b);
  std::fprintf(f, "%f %f %f\n", o.backgroundColor.r, o.backgroundColor.g, o.backgroundColor.b);
  std::fprintf(f, "%d %d %d %d %d\n", g.windowX, g.windowY, g.windowWidth, g.windowHeight, 1);
}

}  // namespace

std::string settingsPath(const char* fileName) {
  const std::string dir = platformConfigDirectory();
  return dir.empty() ? dir : dir + fileName;
}

void writeDefaultSettings(const std::string& path) {
  ViewOptions defaults;
  defaults.showAxes = true;
  defaults.depthCueLevel = 0.3f;
  defaults.pivotAtCenter = true;
  defaults.showBoundingBox = true;
  defaults.solidMode = true;
  defaults.saveSettingsOnExit = true;
  defaults.foregroundColor = {1.0f, 1.0f, 1.0f};
  defaults.backgroundColor = {0.0f, 128.0f / 255.0f, 1.0f};
  writeAll(path, defaults);
}

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
