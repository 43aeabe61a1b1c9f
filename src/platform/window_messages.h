#pragma once
// The messages the window system delivers to the shell's one handler.

#include <string>

enum WindowMessage : int {
  msgCreate = 1,
  msgDestroy = 2,
  msgMove = 3,
  msgSize = 5,
  msgPaint = 15,
  msgNotify = 78,
  msgCommand = 273,
  msgDropFiles = 563,
  msgMouseMove = 512,
  msgLeftButtonDown = 513,
  msgLeftButtonUp = 514,
  msgRightButtonDown = 516,
  msgRightButtonUp = 517,
  msgMiddleButtonDown = 519,
  msgMiddleButtonUp = 520,
  msgWheel = 522,    // y: the wheel's turn in eighths of a degree (120 a notch), forward positive
  msgKeyDown = 256,  // command: a ViewKey
  msgDrawingAreaReady = 1024,  // the drawing area's GL context was made
  WM_SPIN = 31337,             // the loop's nudge while the model spins on
};

// The keys the view answers that no menu item carries.
enum ViewKey : int { keyLeft = 1, keyRight, keyUp, keyDown, keyZoomIn, keyZoomOut, keyEscape };

struct Message {
  explicit Message(WindowMessage which) : id(which) {}

  WindowMessage id;
  int command = 0;  // msgCommand, msgNotify: the command number
  // The mouse messages: the point in device pixels; msgSize: the drawing
  // area's width and height in device pixels.
  int x = 0, y = 0;
  int fileCount = 0;  // msgDropFiles; the paths come from droppedFilePath
  // msgDrawingAreaReady: whether a context was had and could be made current.
  bool contextValid = false, contextCurrent = false;
  std::string reply;  // msgNotify: the tooltip, filled in by the handler
};

using WindowHandler = int (*)(Message& message);
// The shell's handler; the window system sends it every message.
void windowSetHandler(WindowHandler handler);
