#pragma once
// What the shell asks of the window system, by command number and part
// number, so that src/ui reads like the design and tests can drive it.
// Implemented in src/platform/qt.

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The menu bar and the toolbar as tables, from which the window is built.
struct MenuItem {
  int depth;            // 0: on the menu bar, 1: in its popup, 2, 3: nested popups
  const char* caption;  // nullptr: a separator
  int command;          // 0 for a popup
  bool greyed;
  const char* shortcut = nullptr;  // as Qt writes keys: "Ctrl+O", "F11", "Home"
};
struct ToolbarButton {
  int image;    // -1: a separator
  int command;  // 1 .. 11
  bool check;   // stays pressed until clicked again
};
struct WindowLayout {
  std::span<const MenuItem> menu;  // popups before their items
  std::span<const ToolbarButton> toolbar;
  const char* (*tooltip)(int command);
};

// The main window and its children (menu bar, toolbar, status bar, GL
// drawing area) at the given outer rectangle. False when no window could be
// made.
bool createWindowWidgets(const WindowLayout& layout, int x, int y, int width, int height);
// Shows the main window maximised, minimised or as it was made.
void showMainWindow(bool maximized, bool minimized);
void destroyWindowWidgets();

void windowSetTitle(std::string_view title);
// Full screen on or off; true when it is on.
bool windowToggleFullScreen();
bool windowIsFullScreen();
void windowOuterRect(int& x, int& y, int& width, int& height);
int windowClientWidth();
// Ends the event loop with this exit code.
void windowPostQuit(int code);
// Sends WindowMessage::Spin to the main window once the event loop has the
// control back, no sooner than the display's next refresh after the last frame.
void platformPostSpin();
// Sends the command to the main window once the event loop has the control back.
void platformPostCommand(int command);
// Sends WindowMessage::SettleCheck to the main window after `milliseconds`.
void platformPostSettleCheck(int milliseconds);

// A fresh copy of the menu template on the menu bar.
void menuAttachFresh();
void menuCheck(int command, bool checked);
bool menuIsChecked(int command);
void menuEnable(int command, bool enabled);
bool menuIsEnabled(int command);
bool menuHasItem(int command);
void menuDelete(int command);
// A text item, or a separator when text is empty, before item `before`.
void menuInsertBefore(int before, int command, std::string_view text);
// The commands of a popup's items in order (0 for separators without a number).
std::vector<int> menuItemsOfPopup(std::string_view caption);

void toolbarCheck(int command, bool pressed);
// The animation's time slider, shown for a model that moves: at `position`
// of `steps`, with the time it stands for beside it. Moving it sends
// WindowMessage::TimeSlider.
void timeSliderShow(bool shown);
void timeSliderSet(int position, int steps, std::string_view label);
bool toolbarIsChecked(int command);
void toolbarEnable(int command, bool enabled);

// Runs `work` on a thread of its own while the window goes on as usual, one
// piece of work at a time. `work` may touch only what it holds itself (by
// shared_ptr): dropped work runs on alone, detached, for as long as it takes.
// `finished` runs on this thread once the work has returned, `tick` about ten
// times a second until then. Starting work drops the work in progress.
void startBackgroundWork(std::function<void()> work, std::function<void()> tick, std::function<void()> finished);
// Its thread runs on by itself; neither `tick` nor `finished` is called again.
void dropBackgroundWork();

// A read's progress at the right of the status bar: a bar at `percent`
// (busy when it is -1) saying `text`, and a Cancel button that sends
// WindowMessage::CancelRead.
void statusShowProgress(std::string_view text, int percent);
void statusHideProgress();

// Part 0 ends at edge0; part 1 takes the rest of the bar.
void statusSetParts(int edge0);
void statusSetText(int part, std::string_view text);
std::string statusText(int part);

// File choosers: 0 with `path` set (and, when `filter` is given, the index
// of the filter chosen), -1 when cancelled.
struct FileFilter {
  const char* text;
  const char* pattern;
  const char* ending = nullptr;  // a save chooser gives it to a name typed without one
};
struct FileChooser {
  bool save;
  std::string initialText;  // the name proposed, or a pattern
  std::vector<FileFilter> filters;
  std::string folder = {};  // where the chooser opens; empty: where it likes
  std::string title = {};   // empty: the window system's own
};
int chooseFile(const FileChooser& chooser, std::string& path, int* filter = nullptr);
// The colour chooser: 8-bit channels; false when cancelled.
// The colour chooser opens at the colour given and under the title given.
bool chooseColorChannels(int& red, int& green, int& blue, std::string_view title);

// Tests put these in place of the modal dialogs (in the window system's state).
using FileChooserHook = int (*)(const FileChooser& chooser, std::string& path, int* filter);
using ColorChooserHook = bool (*)(int& red, int& green, int& blue, std::string_view title);

// The paths of the files in the drop being handled.
std::string droppedFilePath(int index);

// A line shown over the middle of the drawing area (none when empty); it is
// never part of the frame that is exported.
void drawingAreaSetHint(std::string_view text);

// The drawing area's GL context, for work outside a paint (a background
// texture, a clear colour, reading the view back).
void drawingAreaMakeCurrent();
void drawingAreaDoneCurrent();

// Tests record message boxes through this instead of meeting a modal box.
using MessageBoxHook = void (*)(std::string_view text, std::string_view caption);

// Frames the drawing area has drawn since the start (for frame-rate figures).
unsigned long long windowFramesDrawn();
