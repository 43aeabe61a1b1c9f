#pragma once
// The view options, colours and window geometry persisted in "Tessera.ini"
// in the configuration directory.

#include <string>

std::string settingsPath(const char* fileName);

// Reads the settings; a missing file, or one of another version, is first
// replaced by the defaults. A file of this version with the wrong name token
// ends the program (status -1) after a message box.
void readSettings(const char* fileName);
// Writes the default file; status -1 when it cannot be created.
void writeDefaultSettings(const std::string& path);
// Writes the current values; status -1 when the file cannot be created.
void writeSettings(const char* fileName);
