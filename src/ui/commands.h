#pragma once
// The menu and toolbar commands, the toolbar tooltips and dropped files.

#include <cstdint>

// Runs one command (menu number, toolbar number 1..11, or recent item);
// every command ends with a redraw.
int handleCommand(int command);
// Copies the tooltip of a toolbar command into a 128-character buffer.
int handleNotify(int command, char* buffer);
int handleDrop(int fileCount);
