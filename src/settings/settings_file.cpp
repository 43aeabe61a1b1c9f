#include "settings/settings_file.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/text_scanner.h"
#include "platform/file_handle.h"
#include "platform/platform.h"
#include "settings/view_options.h"

namespace {

constexpr const char* kVersionToken = "1.1_BETA";
constexpr const char* kNameToken = "Tessera";

// 0 clears a flag, 1 sets it, any other number leaves it alone.
bool readFlag(TextScanner& scan, bool& flag) {
  std::int32_t value = 0;
  if (!scan.readInt(value)) return false;
  if (value == 0) flag = false;
  if (value == 1) flag = true;
  return true;
}

// A number outside what the value can mean (NaN, a level of 5, a colour
// channel of -3) would black out the view: the value's default stands in.
bool readValue(TextScanner& scan, float& value, float low, float high, float fallback) {
  float read = 0.0f;
  if (!scan.readFloat(read)) return false;
  value = read >= low && read <= high ? read : fallback;
  return true;
}

bool readColor(TextScanner& scan, Color& color, const Color& fallback) {
  return readValue(scan, color.r, 0, 1, fallback.r) && readValue(scan, color.g, 0, 1, fallback.g) &&
         readValue(scan, color.b, 0, 1, fallback.b);
}

// The options as the file keeps them: a flag a menu item, the style and
// the pivot among them, as earlier versions wrote and read them.
struct StoredFlags {
  bool showCenterOfMass, showAxes, zoomDependentRotation, inertialRotation;
  bool hiddenLineMode, pivotAtCenter, pivotAtOrigin, showBoundingBox, wireframeMode, solidMode, saveSettingsOnExit;
};

StoredFlags storedFlags(const ViewOptions& o) {
  return {o.showCenterOfMass,
          o.showAxes,
          o.zoomDependentRotation,
          o.inertialRotation,
          o.style == DisplayStyle::HiddenLine,
          o.pivot == Pivot::Center,
          o.pivot == Pivot::Origin,
          o.showBoundingBox,
          o.style == DisplayStyle::Wireframe,
          o.style == DisplayStyle::Solid,
          o.saveSettingsOnExit};
}

// A hand-edited file may set several styles or pivots, or none: the first
// set in the order solid, hidden-line, wireframe (centre, origin) wins, and
// none set is solid (about the centre).
void takeStoredFlags(const StoredFlags& f, ViewOptions& o) {
  o.showCenterOfMass = f.showCenterOfMass;
  o.showAxes = f.showAxes;
  o.zoomDependentRotation = f.zoomDependentRotation;
  o.inertialRotation = f.inertialRotation;
  o.style = f.solidMode        ? DisplayStyle::Solid
            : f.hiddenLineMode ? DisplayStyle::HiddenLine
            : f.wireframeMode  ? DisplayStyle::Wireframe
                               : DisplayStyle::Solid;
  o.pivot = !f.pivotAtCenter && f.pivotAtOrigin ? Pivot::Origin : Pivot::Center;
  o.showBoundingBox = f.showBoundingBox;
  o.saveSettingsOnExit = f.saveSettingsOnExit;
}

// The flags in file order: four before the depth level, seven after it.
using Flag = bool StoredFlags::*;
constexpr Flag kFlagsBeforeLevel[] = {&StoredFlags::showCenterOfMass, &StoredFlags::showAxes,
                                      &StoredFlags::zoomDependentRotation, &StoredFlags::inertialRotation};
constexpr Flag kFlagsAfterLevel[] = {&StoredFlags::hiddenLineMode, &StoredFlags::pivotAtCenter,
                                     &StoredFlags::pivotAtOrigin,  &StoredFlags::showBoundingBox,
                                     &StoredFlags::wireframeMode,  &StoredFlags::solidMode,
                                     &StoredFlags::saveSettingsOnExit};

template <std::size_t N>
bool readFlags(TextScanner& scan, StoredFlags& stored, const Flag (&flags)[N]) {
  for (Flag flag : flags) {
    if (!readFlag(scan, stored.*flag)) return false;
  }
  return true;
}

// A size outside 1 to 10 pixels is the default's.
bool readPointSize(TextScanner& scan, std::int32_t& size) {
  std::int32_t read = 0;
  if (!scan.readInt(read)) return false;
  if (read >= 1 && read <= 10) size = read;
  return true;
}

// A count, then that many pairs of a format's name ending and "y" or "z".
// Pairs with another axis are passed over; a count beyond any format list
// is not read at all.
bool readUpAxisChoices(TextScanner& scan, std::map<std::string, UpAxis>& choices) {
  std::int32_t count = 0;
  if (!scan.readInt(count) || count < 0 || count > 64) return false;
  std::string format, axis;
  for (std::int32_t k = 0; k < count; ++k) {
    if (!scan.readToken(format) || !scan.readToken(axis)) return false;
    if (format.size() > 16) continue;
    if (axis == "y" || axis == "z") choices[format] = axis == "z" ? UpAxis::Z : UpAxis::Y;
  }
  return true;
}

// The show states a window system knows (0 to 11); any other is the plain one.
bool readShowState(TextScanner& scan, std::int32_t& state) {
  if (!scan.readInt(state)) return false;
  if (state < 0 || state > 11) state = 1;
  return true;
}

// A rectangle far beyond any screen is brought back within reach before the
// window system or the notice placement adds anything to it.
void clampGeometry(WindowGeometry& g) {
  constexpr std::int32_t kFar = 1 << 20;
  g.windowX = std::clamp(g.windowX, -kFar, kFar);
  g.windowY = std::clamp(g.windowY, -kFar, kFar);
  g.windowWidth = std::clamp(g.windowWidth, 0, kFar);
  g.windowHeight = std::clamp(g.windowHeight, 0, kFar);
}

// Reads the values after the header. Stops at the first that cannot be read,
// so everything from there on keeps its default.
void readValues(TextScanner& scan, ViewOptions& o, WindowGeometry& g) {
  const ViewOptions defaults = firstRunViewOptions();
  StoredFlags stored = storedFlags(o);
  readFlags(scan, stored, kFlagsBeforeLevel) &&
      readValue(scan, o.depthCueLevel, 0.0f, 0.99f, defaults.depthCueLevel) &&
      readFlags(scan, stored, kFlagsAfterLevel) && readColor(scan, o.foregroundColor, defaults.foregroundColor) &&
      readColor(scan, o.backgroundColor, defaults.backgroundColor) && scan.readInt(g.windowX) &&
      scan.readInt(g.windowY) && scan.readInt(g.windowWidth) && scan.readInt(g.windowHeight) &&
      readShowState(scan, g.windowShowState) && readFlag(scan, o.lighting) && readFlag(scan, o.modelColors) &&
      readFlag(scan, o.smoothShading) && readPointSize(scan, o.pointSize) && readFlag(scan, o.orthographic) &&
      readUpAxisChoices(scan, o.upAxisChoices) && readFlag(scan, o.simplifyWhileMoving);
  takeStoredFlags(stored, o);
  clampGeometry(g);
}

WriteResult writeAll(const std::string& path, const ViewOptions& o, const WindowGeometry& g) {
  FileReplacement output(path);
  std::FILE* f = output.file();
  if (f == nullptr) return output.commit();
  const StoredFlags stored = storedFlags(o);
  std::fprintf(f, "%s %s\n", kVersionToken, kNameToken);
  for (Flag flag : kFlagsBeforeLevel) std::fprintf(f, "%d\n", stored.*flag);
  std::fprintf(f, "%f\n", o.depthCueLevel);
  for (Flag flag : kFlagsAfterLevel) std::fprintf(f, "%d\n", stored.*flag);
  std::fprintf(f, "%f %f %f\n", o.foregroundColor.r, o.foregroundColor.g, o.foregroundColor.b);
  std::fprintf(f, "%f %f %f\n", o.backgroundColor.r, o.backgroundColor.g, o.backgroundColor.b);
  std::fprintf(f, "%d %d %d %d %d\n", g.windowX, g.windowY, g.windowWidth, g.windowHeight, 1);
  // Added after the sixteen lines that earlier versions read, which stop there.
  std::fprintf(f, "%d\n", o.lighting);
  std::fprintf(f, "%d\n%d\n%d\n", o.modelColors, o.smoothShading, o.pointSize);
  std::fprintf(f, "%d\n", o.orthographic);
  std::fprintf(f, "%zu", o.upAxisChoices.size());
  for (const auto& [format, axis] : o.upAxisChoices) std::fprintf(f, " %s %c", format.c_str(), axis == UpAxis::Z ? 'z' : 'y');
  std::fprintf(f, "\n");
  std::fprintf(f, "%d\n", o.simplifyWhileMoving);
  return output.commit();
}

}  // namespace

std::string settingsPath(const char* fileName) {
  const std::string dir = platformConfigDirectory();
  return dir.empty() ? dir : dir + fileName;
}

std::string settingsFolderProblem() {
  const std::string dir = platformConfigDirectory();
  if (dir.empty()) return "the configuration folder cannot be made";
  if (access(dir.c_str(), W_OK) != 0) return dir + ": " + std::strerror(errno);
  return "";
}

WriteResult writeDefaultSettings(const std::string& path, const WindowGeometry& geometry) {
  return writeAll(path, firstRunViewOptions(), geometry);
}

WriteResult writeSettings(const char* fileName, const ViewOptions& options, const WindowGeometry& geometry) {
  return writeAll(settingsPath(fileName), options, geometry);
}

void readSettings(const char* fileName, ViewOptions& options, WindowGeometry& geometry) {
  // Starts over from the defaults, keeping the window geometry read so far.
  const auto useDefaults = [&] { options = firstRunViewOptions(); };
  const std::string path = settingsPath(fileName);
  FileHandle file(std::fopen(path.c_str(), "r"));
  if (!file) {
    // No file yet (or none that can be read): the defaults, kept for next time when possible.
    writeDefaultSettings(path, geometry);
    useDefaults();
    return;
  }
  TextScanner scan(file.get());
  std::string token;
  if (!scan.readToken(token) || token != kVersionToken) {
    // Another version's file: replaced by the defaults, without a word.
    file.reset();
    writeDefaultSettings(path, geometry);
    useDefaults();
    return;
  }
  if (!scan.readToken(token) || token != kNameToken) {
    // Said once; the file stays for the user to look at, the view starts plain.
    platformMessageBox("Tessera initialization file is corrupt!", "Tessera");
    useDefaults();
    return;
  }
  useDefaults();  // what cannot be read keeps its default, never zero
  // A file from before the Lighting line keeps the unlit view it showed;
  // only a first run starts lit.
  options.lighting = false;
  readValues(scan, options, geometry);
}
