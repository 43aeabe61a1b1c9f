#pragma once
// The narrow layer through which the rest of the program reaches the operating
// system and the window system. Two implementations are chosen at link time:
// headless (tests, tessera-tool) and qt (the viewer).

#include <cstdint>
#include <string>
#include <string_view>

enum class NoticeKind {
  FileNotFound,      // a model file that is not there
  FileNotSupported,  // a name no reader fits
  FileNotRead,       // there but unreadable: a folder, no permission
  FileRefused,       // a header the reader refuses
  FileDamaged,       // content the reader cannot use
  FileEmpty,         // a model without anything to draw
  FileNotSaved,      // a model, picture or list that could not be written
  PictureNotUsed,    // a background picture that cannot be shown
  SettingsNotSaved,  // the configuration folder cannot be written
  OneFileAtATime,    // several files named on the command line
  About,
};

// One diagnostic line for developers (standard error on Linux).
void platformDebugOutput(std::string_view text);

// A notice, placed by the notice anchor, above the main window (one asked
// for before the window exists shows once it does): an entry in the one
// modeless notice window, which gathers every notice of the same turn of the
// event loop and takes later ones while it is open. `details` are lines
// below the kind's own words: the file it is about, the reason.
void platformShowNotice(NoticeKind kind, std::string_view details = {});

// Notices raised while one of these lives are shown together once the last
// of them goes: several files dropped or named at start-up give one window
// with an entry for each failure.
class NoticeGathering {
 public:
  NoticeGathering();
  ~NoticeGathering();
  NoticeGathering(const NoticeGathering&) = delete;
  NoticeGathering& operator=(const NoticeGathering&) = delete;
};

// The rectangle (screen pixels) notices are placed by: the main window's
// frame, or before it exists, where it will appear.
void platformSetNoticeAnchor(int x, int y, int width, int height);

// Where a notice's top-left corner stands for the present anchor.
void noticePosition(int& x, int& y);
// The anchor (x, y, width, height), kept by each platform in its own state.
int* noticeAnchor();

// A modal message box with an OK button.
void platformMessageBox(std::string_view text, std::string_view caption);

// The folder that holds the program's two text files, ending in '/'.
// Created on first use; empty when it cannot be made.
std::string platformConfigDirectory();

// Ask for the whole drawing area to be repainted (nothing before the window
// exists). Requests coalesce: at most one frame a display refresh.
void platformRequestRedraw();

void platformSwapBuffers();

// The words a notice box shows first, one line, shared by every implementation.
std::string_view noticeText(NoticeKind kind);
// The heading and the sentence of that line ("FILE NOT FOUND", "It may ...").
std::string_view noticeHeading(NoticeKind kind);
std::string_view noticeSentence(NoticeKind kind);
