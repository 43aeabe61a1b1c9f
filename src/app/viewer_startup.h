#pragma once
// The viewer's start-up and end, apart from main() so tests can run them.

#include <string>
#include <vector>

// The options a viewer answers without a window: --help and --version
// print to standard output and give the exit status 0; otherwise -1, and
// `files` holds the arguments, each a path as the shell gave it.
int viewerOptions(int argc, char** argv, std::vector<std::string>& files);

// Start-up up to the event loop: the recent list, the settings, the first
// of `files` opened (before any window; more than one brings a notice), the
// window, its first showing and refresh. Needs a QApplication.
void startViewer(const std::vector<std::string>& files);

// After the event loop: the settings are written when Save Settings on Exit
// is on and they can be. Returns the exit status.
int finishViewer(int quitCode);
