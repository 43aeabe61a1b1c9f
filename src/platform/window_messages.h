#pragma once
// The messages the window system delivers to the shell's one handler.

#include <string>

enum class WindowMessage {
  Create,
  Destroy,
  Move,
  Size,
  Paint,
  Notify,   // a tooltip is asked for: command is the toolbar command
  Command,  // command: the menu or toolbar command
  DropFiles,
  MouseMove,
  LeftButtonDown,
  LeftButtonUp,
  RightButtonDown,
  RightButtonUp,
  MiddleButtonDown,
  MiddleButtonUp,
  Wheel,             // turn: the wheel's turn in eighths of a degree (120 a notch), forward positive; x, y: the pointer
  KeyDown,           // key: the view key pressed
  DrawingAreaReady,  // the drawing area's GL context was made
  Spin,              // the loop's nudge while the model spins on
  CancelRead,        // the status bar's Cancel button
  SettleCheck,       // a while after the view last moved: has it come to rest?
  TimeSlider,        // x: where the user put the animation's time slider, 0 to its steps
};

// The keys the view answers that no menu item carries.
enum class ViewKey { None, Left, Right, Up, Down, ZoomIn, ZoomOut, Escape };

struct Message {
  explicit Message(WindowMessage which) : id(which) {}

  WindowMessage id;
  int command = 0;  // Command, Notify: the command number
  ViewKey key = ViewKey::None;  // KeyDown
  // The mouse messages: the point in device pixels; Size: the drawing
  // area's width and height in device pixels.
  int x = 0, y = 0;
  int fileCount = 0;  // DropFiles; the paths come from droppedFilePath
  int turn = 0;       // Wheel
  bool shift = false;  // MouseMove, Wheel: Shift held
  // DrawingAreaReady: whether a context was had and could be made current.
  bool contextValid = false, contextCurrent = false;
  std::string reply;  // Notify: the tooltip, filled in by the handler
};

using WindowHandler = int (*)(Message& message);
// The shell's handler; the window system sends it every message.
void windowSetHandler(WindowHandler handler);
