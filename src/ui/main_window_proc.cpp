// The one handler of the main window's messages: creation, move, size,
// paint and destroy here; commands, drops and the mouse in their own files.
#include <GL/gl.h>

#include <cstdlib>

#include "platform/platform.h"
#include "platform/window_system.h"
#include "render/rotation.h"
#include "render/scene.h"
#include "render/view_setup.h"
#include "settings/view_options.h"
#include "ui/commands.h"
#include "ui/main_window.h"
#include "ui/menu_template.h"
#include "ui/model_opening.h"
#include "ui/trackball.h"
#include "ui/shell.h"
#include "ui/view_motion.h"
#include "ui/gif_export.h"
#include "ui/command_numbers.h"
#include "render/view_fit.h"

Shell shell;

namespace {

int onCreate() {
  statusSetParts(shell.statusParts[0]);
  statusSetText(0, "");
  statusSetText(1, "Polygons: 0 Vertices: 0");
  statusSetText(0, "No file loaded");
  return 0;
}

// Notices stand centred on the window wherever it goes.
void anchorNotices() {
  const WindowGeometry& g = shell.windowGeometry;
  platformSetNoticeAnchor(g.windowX, g.windowY, g.windowWidth, g.windowHeight);
}

int onMove() {
  int x = 0, y = 0, width = 0, height = 0;
  windowOuterRect(x, y, width, height);
  shell.windowGeometry.windowX = x;
  shell.windowGeometry.windowY = y;
  anchorNotices();
  return 0;
}

// The outer size is what the settings file keeps; the drawing area in
// device pixels is what the view draws into.
int onSize(int drawingWidth, int drawingHeight) {
  int x = 0, y = 0, outerWidth = 0, outerHeight = 0;
  windowOuterRect(x, y, outerWidth, outerHeight);
  const int clientWidth = windowClientWidth();
  shell.statusParts[0] = clientWidth - outerWidth / 2;
  shell.statusParts[1] = clientWidth;
  statusSetParts(shell.statusParts[0]);
  shell.windowGeometry.windowWidth = outerWidth;
  shell.windowGeometry.windowHeight = outerHeight;
  anchorNotices();
  resizeView(shell.camera, drawingWidth, drawingHeight);
  // The first picture stays whole at the new shape until the user moves the view.
  if (shell.camera.fitted) fitModelToView(shell.shown, shell.viewOptions, shell.camera);
  platformRequestRedraw();
  return 0;
}

int onPaint() {
  // The window system may have set its own viewport since the last frame.
  glViewport(0, 0, shell.camera.viewWidth, shell.camera.viewHeight);
  drawViewFrame();
  // While spinning, each frame asks for the next tick, which turns the model
  // by the time that has passed: drawing itself never turns it.
  if (shell.trackball.spinning || shell.playback.playing) platformPostSpin();
  return 0;
}

// Called once the drawing area's GL context exists: the fixed GL state.
// Either failure shows its message and ends the program (status -1).
int onDrawingAreaReady(bool contextValid, bool current) {
  if (!contextValid) {
    platformMessageBox("ChoosePixelFormat failed", "Error");
    std::exit(-1);
  }
  if (!current) {
    platformMessageBox("SetPixelFormat failed", "Error");
    std::exit(-1);
  }
  resetRotation(shell.camera);
  initGL(shell.viewOptions);
  return 0;
}

}  // namespace

bool createMainWindow() {
  windowSetHandler(mainWindowProc);
  const WindowGeometry& g = shell.windowGeometry;
  if (!createWindowWidgets({menuTemplate(), toolbarTemplate(), toolbarTooltip}, g.windowX, g.windowY,
                           g.windowWidth, g.windowHeight)) {
    return false;
  }
  Message create{WindowMessage::Create};
  mainWindowProc(create);
  return true;
}

int mainWindowProc(Message& message) {
  switch (message.id) {
    case WindowMessage::Create: return onCreate();
    case WindowMessage::Move: return onMove();
    case WindowMessage::Size: return onSize(message.x, message.y);
    case WindowMessage::Paint: return onPaint();
    case WindowMessage::DrawingAreaReady: return onDrawingAreaReady(message.contextValid, message.contextCurrent);
    case WindowMessage::Destroy:
      cancelModelRead();  // the window does not wait for a read
      windowPostQuit(0);
      return 0;
    case WindowMessage::CancelRead: return cancelModelRead() || cancelGifExport(), 0;
    case WindowMessage::Command: return handleCommand(message.command);
    case WindowMessage::Notify:
      message.reply = handleNotify(message.command);
      return 0;
    case WindowMessage::DropFiles: return handleDrop(message.fileCount);
    case WindowMessage::LeftButtonDown: return onLeftButtonDown(message.x, message.y);
    case WindowMessage::LeftButtonUp: return onLeftButtonUp(message.x, message.y);
    case WindowMessage::RightButtonDown: return onRightButtonDown(message.x, message.y);
    case WindowMessage::RightButtonUp: return onRightButtonUp(message.x, message.y);
    case WindowMessage::MouseMove: return onMouseMove(message.x, message.y, message.shift);
    case WindowMessage::MiddleButtonDown: return onMiddleButtonDown(message.x, message.y);
    case WindowMessage::MiddleButtonUp: return onMiddleButtonUp();
    case WindowMessage::Wheel: return onWheel(message.turn, message.shift, ZoomPoint{message.x, message.y});
    case WindowMessage::KeyDown:
      // Escape stops a read first; without one it leaves full screen.
      if (message.key == ViewKey::Escape && (cancelModelRead() || cancelGifExport())) return 0;
      return onViewKey(message.key);
    case WindowMessage::Spin: return onSpin();
    case WindowMessage::SettleCheck: return onSettleCheck();
    case WindowMessage::TimeSlider: return onTimeSlider(message.x);
    default: return 0;
  }
}
