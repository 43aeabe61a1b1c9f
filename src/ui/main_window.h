#pragma once
// The main window: its creation and its one message handler.

#include "platform/window_messages.h"

// Makes the window with its menu, toolbar, status bar and drawing area at
// the saved geometry; false when no window could be made.
bool createMainWindow();

// The handler of every message the window system sends: creation, move,
// size, paint, the drawing area's set-up and destroy here; commands, drops
// and the mouse in their own files.
int mainWindowProc(Message& message);
