#pragma once
// The view options, colours and window geometry persisted in "Tessera.ini"
// in the configuration directory.

#include <string>

#include "platform/file_replacement.h"

std::string settingsPath(const char* fileName);

// Reads the settings. A missing file, or one of another version, gives the
// defaults (written for next time where the folder allows); a file of this
// version with the wrong name token gives them too, after a message box, and
// is left as it is. Values out of their range read as their defaults.
void readSettings(const char* fileName);
// Writes the default file, whole or not at all.
WriteResult writeDefaultSettings(const std::string& path);
// Writes the current values, whole or not at all.
WriteResult writeSettings(const char* fileName);

// Why settings cannot be saved in the configuration folder; empty when they can.
std::string settingsFolderProblem();
