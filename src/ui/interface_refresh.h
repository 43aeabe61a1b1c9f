#pragma once
// Menu, toolbar, title and status bar brought in line with the state.

void refreshInterface();
// Check marks, pressed buttons and enabled items, all from the shell's
// options and what is shown: after every command and every refresh.
void showMenuState();
void rebuildRecentMenu();
