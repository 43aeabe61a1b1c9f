#pragma once
// The main window: its creation and the GL set-up of its drawing area.

// Makes the window with its menu, toolbar, status bar and drawing area at
// the saved geometry; false when no window could be made.
bool createMainWindow();

// Called by the window system once the drawing area's GL context exists:
// the fixed GL state. `contextValid` false: no context could be had;
// `current` false: it could not be made current. Either failure shows its
// message and ends the program (status -1).
void setUpDrawingArea(bool contextValid, bool current);
