#pragma once
// The viewer's start-up and end, apart from main() so tests can run them.

#include <string>

// The program's arguments joined by single blanks: the command-line text.
std::string commandLineText(int argc, char** argv);

// Start-up up to the event loop: the recent list, the settings, the model
// named on the command line (before any window), the window, its first
// showing and refresh. Needs a QApplication.
void startViewer(const std::string& commandLine);

// After the event loop: the settings are written when Save Settings on Exit
// is on. Returns the exit status.
int finishViewer(int quitCode);
