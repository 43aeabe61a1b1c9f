#pragma once
// The shell's own state beside the window.

#include <string>

// The model file most recently opened or tried; empty after Close. Kept
// whole at any length.
extern std::string currentPath;
// Right edges of the two status-bar parts.
extern int statusParts[2];
// The user has been told that settings cannot be saved this session.
extern bool settingsProblemTold;

void resetShellState();
