// The one handler of the main window's messages: creation, move, size,
// paint and destroy here; commands, drops and the mouse in their own files.
#include <GL/gl.h>

#include <cstdlib>

#include "platform/platform.h"
#include "platform/window_system.h"
#include "render/scene.h"
#include "render/view_setup.h"
#include "settings/view_options.h"
#include "ui/commands.h"
#include "ui/main_window.h"
#include "ui/trackball.h"
#include "ui/shell_state.h"
#include "ui/window_messages.h"

std::string currentPath;
int statusParts[2] = {0, 0};

void resetShellState() {
  currentPath.clear();
  statusParts[0] = statusParts[1] = 0;
}

namespace {

int onCreate() {
  statusSetParts(statusParts[0], statusParts[1]);
  statusSetText(0, "");
  statusSetText(1, "Polygons: 0 Vertices: 0");
  statusSetText(0, "No file loaded");
  return 0;
}

int onMove() {
  int x = 0, y = 0, width = 0, height = 0;
  windowOuterRect(x, y, width, height);
  windowGeometry.windowX = x;
  windowGeometry.windowY = y;
  return 0;
}

// The outer size is what the settings file keeps; the drawing area in
// device pixels is what the view draws into.
int onSize(int drawingWidth, int drawingHeight) {
  int x = 0, y = 0, outerWidth = 0, outerHeight = 0;
  windowOuterRect(x, y, outerWidth, outerHeight);
  const int clientWidth = windowClientWidth();
  statusParts[0] = clientWidth - outerWidth / 2;
  statusParts[1] = clientWidth;
  statusSetParts(statusParts[0], statusParts[1]);
  windowGeometry.windowWidth = outerWidth;
  windowGeometry.windowHeight = outerHeight;
  resizeView(drawingWidth, drawingHeight);
  platformRequestRedraw();
  return 0;
}

int onPaint() {
  // The window system may have set its own viewport since the last frame.
  glViewport(0, 0, viewWidth, viewHeight);
  drawScene();
  // While spinning, each frame asks for the next: one step per frame drawn,
  // at whatever rate the frames come.
  if (trackball.spinning) platformPostSpin();
  return 0;
}

// Positions travel as two signed 16-bit halves.
int pointX(std::intptr_t packed) { return static_cast<std::int16_t>(packed & 0xFFFF); }
int pointY(std::intptr_t packed) { return static_cast<std::int16_t>((packed >> 16) & 0xFFFF); }

}  // namespace

bool createMainWindow() {
  if (!createWindowWidgets()) return false;
  mainWindowProc(msgCreate, 0, 0);
  return true;
}

void setUpDrawingArea(bool contextValid, bool current) {
  if (!contextValid) {
    platformMessageBox("ChoosePixelFormat failed", "Error");
    std::exit(-1);
  }
  if (!current) {
    platformMessageBox("SetPixelFormat failed", "Error");
    std::exit(-1);
  }
  initGL();
}

int mainWindowProc(int message, std::intptr_t wParam, std::intptr_t lParam) {
  switch (message) {
    case msgCreate: return onCreate();
    case msgMove: return onMove();
    case msgSize: return onSize(static_cast<int>(wParam), static_cast<int>(lParam));
    case msgPaint: return onPaint();
    case msgDestroy:
      windowPostQuit(0);
      return 0;
    case msgCommand: return handleCommand(static_cast<int>(wParam));
    case msgNotify: return handleNotify(static_cast<int>(wParam), reinterpret_cast<char*>(lParam));
    case msgDropFiles: return handleDrop(static_cast<int>(wParam));
    case msgLeftButtonDown: return onLeftButtonDown(pointX(lParam), pointY(lParam));
    case msgLeftButtonUp: return onLeftButtonUp(pointX(lParam), pointY(lParam));
    case msgRightButtonDown: return onRightButtonDown(pointX(lParam), pointY(lParam));
    case msgRightButtonUp: return onRightButtonUp(pointX(lParam), pointY(lParam));
    case msgMouseMove: return onMouseMove(pointX(lParam), pointY(lParam));
    case WM_SPIN: return onSpin();
    default: return 0;
  }
}
