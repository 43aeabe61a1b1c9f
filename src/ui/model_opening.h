#pragma once
// The one way the shell opens a model file: the dialog, the Recent menu, a
// drop and the command line all come here.

#include <string>

// Reads the file `path` names (surrounding quotes removed, made absolute)
// and, when it gives a model with faces, puts it on display and makes it
// currentPath. Any other outcome shows a notice naming the file and the
// reason and leaves the model on display as it was. Every name with a known
// ending enters the recent list unless it came from there. True when a
// model was opened.
bool openModel(std::string path, bool fromRecentList);

// Rewrites the recent list; a failure is told once a session.
void keepRecentList();

// Tells once a session that settings cannot be saved, and why.
void tellSettingsNotSaved(const std::string& reason);
