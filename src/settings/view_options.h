#pragma once
// The choices that shape the view, and the main window's geometry stored
// beside them.

#include <cstdint>
#include <map>
#include <string>

struct Color {
  float r = 0.0f, g = 0.0f, b = 0.0f;
};

// How the model is drawn: one style at a time.
enum class DisplayStyle { Solid, HiddenLine, Wireframe };
// What the model turns about: its centre of mass, or its origin (which the
// view then moves to the centre).
enum class Pivot { Center, Origin };
// Which of the model's own axes points up the screen in its first view.
enum class UpAxis { Y, Z };

struct ViewOptions {
  DisplayStyle style = DisplayStyle::Solid;
  float depthCueLevel = 0.0f;
  bool showAxes = false;
  bool showBoundingBox = false;
  bool showCenterOfMass = false;
  Pivot pivot = Pivot::Center;
  bool zoomDependentRotation = false;
  bool inertialRotation = false;
  bool saveSettingsOnExit = false;
  bool lighting = false;  // the filled passes lit by a light at the eye
  bool modelColors = true;     // the file's colours, materials and textures; off: the foreground colour
  bool smoothShading = true;   // lit faces shaded with smooth normals; off: each face flat
  std::int32_t pointSize = 2;  // pixels across a point of a point cloud, 1 to 10
  bool orthographic = false;   // parallel projection; off: perspective
  bool simplifyWhileMoving = true;  // a large model's lighter stand-in drawn while the view moves
  // The up axis the user chose for a format, by the format's name ending;
  // a format not listed keeps the one its writers use.
  std::map<std::string, UpAxis> upAxisChoices;
  Color foregroundColor;
  Color backgroundColor;
};

// How the main window first shows.
enum class ShowState { Normal, Minimized, Maximized };

// Outer rectangle of the main window in screen pixels, and its first show
// state as the settings file keeps it (a window system's number, 0 to 11;
// showState() tells what it means).
struct WindowGeometry {
  std::int32_t windowX = 150;
  std::int32_t windowY = 150;
  std::int32_t windowWidth = 400;
  std::int32_t windowHeight = 400;
  std::int32_t windowShowState = 1;
};

// The stored show state's meaning: 3 maximised, 2, 6 and 7 minimised (as
// the numbers were kept by earlier versions), any other the plain window.
inline ShowState showState(const WindowGeometry& g) {
  const std::int32_t n = g.windowShowState;
  return n == 3 ? ShowState::Maximized : (n == 2 || n == 6 || n == 7) ? ShowState::Minimized : ShowState::Normal;
}

// The up axis chosen for the format kept under `formatKey`, else `usual`.
UpAxis chosenUpAxis(const ViewOptions& options, const std::string& formatKey, UpAxis usual);

// The levels the Depth Cueing items set, from "OFF" to "99%".
constexpr float kDepthCueLevels[11] = {0.0f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f,
                                       0.6f, 0.7f, 0.8f, 0.9f, 0.99f};

// What a fresh settings file holds: solid style, lit, in the model's own
// colours with smooth shading, axes and box, pivot at the centre of mass,
// 30% depth cueing, white on the (0, 128, 255) blue.
ViewOptions firstRunViewOptions();


