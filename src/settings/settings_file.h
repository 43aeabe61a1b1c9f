#pragma once
// The view options, colours and window geometry persisted in "Tessera.ini"
// in the configuration directory.

#include <string>

#include "platform/file_replacement.h"
#include "settings/view_options.h"

std::string settingsPath(const char* fileName);

// Reads the settings. A missing file, or one of another version, gives the
// defaults (written for next time where the folder allows); a file of this
// version with the wrong name token gives them too, after a message box, and
// is left as it is. Values out of their range read as their defaults.
void readSettings(const char* fileName, ViewOptions& options, WindowGeometry& geometry);
// Writes the default options with the geometry given, whole or not at all.
WriteResult writeDefaultSettings(const std::string& path, const WindowGeometry& geometry = {});
// Writes the values given, whole or not at all.
WriteResult writeSettings(const char* fileName, const ViewOptions& options, const WindowGeometry& geometry);

// Why settings cannot be saved in the configuration folder; empty when they can.
std::string settingsFolderProblem();
