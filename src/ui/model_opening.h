#pragma once
// The one way the shell opens a model file: the dialog, the Recent menu, a
// drop and the command line all come here.

#include <string>

// Reads the file `path` names (surrounding quotes removed in place) and, when
// it gives a model, puts it on display. Every name with a known ending enters
// the recent list unless it came from there. A header the reader refuses ends
// the program. True when a model was opened.
bool openModel(std::string& path, bool fromRecentList);
