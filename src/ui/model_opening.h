#pragma once
// The one way the shell opens a model file: the dialog, the Recent menu, a
// drop and the command line all come here.

#include <string>
#include <vector>

// Reads the file `path` names (surrounding quotes removed, made absolute)
// and, when it gives a model with faces, puts it on display and makes it
// currentPath. Any other outcome shows a notice naming the file and the
// reason and leaves the model on display as it was. A model shown goes to the
// top of the recent list (listed once); a failed open leaves the list alone. True when a
// model was opened.
bool openModel(std::string path);

// Several files at once (a drop, the command line): each is opened in turn
// until one is shown, and the rest are named in a notice, not opened; every
// failure on the way has its entry in the same notice window. True when a
// model was shown.
bool openFirstOf(const std::vector<std::string>& paths);

// Rewrites the recent list; a failure is told once a session.
void keepRecentList();

// Tells once a session that settings cannot be saved, and why.
void tellSettingsNotSaved(const std::string& reason);
