#pragma once
// The menu and toolbar commands, the toolbar tooltips and dropped files.

#include <string>

// Runs one command (menu number, toolbar number 1..11, or recent item);
// every command ends with a redraw.
int handleCommand(int command);
// The tooltip of a toolbar command.
std::string handleNotify(int command);
int handleDrop(int fileCount);
