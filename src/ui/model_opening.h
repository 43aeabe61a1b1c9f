#pragma once
// The one way the shell opens a model file: the dialog, the Recent menu, a
// drop and the command line all come here.

#include <string>
#include <vector>

// Reads the file `path` names (surrounding quotes removed, made absolute) on
// a thread of its own while the window goes on as usual, and drops any read
// in progress. When the file gives a model with something to draw, it goes
// on display and becomes currentPath, and to the top of the recent list
// (listed once); until then the model on display, the title and the status
// bar stay as they are. Any other outcome shows a notice naming the file and
// the reason, frames the model on display afresh and leaves the list alone.
void openModel(std::string path);

// Stops the read in progress, if any, without a word: what is shown stays.
// True when there was one.
bool cancelModelRead();
bool modelReadInProgress();

// Several files at once (a drop, the command line): each is read in turn
// until one is shown, and the rest are named in a notice, not opened; every
// failure on the way has its entry in the same notice window.
void openFirstOf(const std::vector<std::string>& paths);

// Rewrites the recent list; a failure is told once a session.
void keepRecentList();

// Tells once a session that settings cannot be saved, and why.
void tellSettingsNotSaved(const std::string& reason);
