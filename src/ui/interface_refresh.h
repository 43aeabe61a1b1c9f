#pragma once
// Menu, toolbar, title and status bar brought in line with the state.

void refreshInterface();
void rebuildRecentMenu();
