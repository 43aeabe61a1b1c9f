#pragma once
// The choices that shape the view, and the main window's geometry stored
// beside them.

#include <cstdint>

struct Color {
  float r = 0.0f, g = 0.0f, b = 0.0f;
};

struct ViewOptions {
  bool wireframeMode = false;
  bool hiddenLineMode = false;
  bool solidMode = false;
  float depthCueLevel = 0.0f;
  bool showAxes = false;
  bool showBoundingBox = false;
  bool showCenterOfMass = false;
  bool pivotAtCenter = false;
  bool pivotAtOrigin = false;
  bool zoomDependentRotation = false;
  bool inertialRotation = false;
  bool saveSettingsOnExit = false;
  Color foregroundColor;
  Color backgroundColor;
};

// Outer rectangle of the main window in screen pixels, and its first show state.
struct WindowGeometry {
  std::int32_t windowX = 150;
  std::int32_t windowY = 150;
  std::int32_t windowWidth = 400;
  std::int32_t windowHeight = 400;
  std::int32_t windowShowState = 1;
};

extern ViewOptions viewOptions;
extern WindowGeometry windowGeometry;

// Back to the values before any settings file was read.
void resetViewOptions();
