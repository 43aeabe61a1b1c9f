#pragma once
// The menu bar and the toolbar as tables, from which the window system
// builds them.

#include <span>

struct MenuItem {
  int depth;            // 0: on the menu bar, 1: in its popup, 2, 3: nested popups
  const char* caption;  // nullptr: a separator
  int command;          // 0 for a popup
  bool greyed;
};

// The menu bar in order, popups before their items.
std::span<const MenuItem> menuTemplate();

struct ToolbarButton {
  int image;     // -1: a separator
  int command;   // 1 .. 11
  bool check;    // stays pressed until clicked again
};

std::span<const ToolbarButton> toolbarTemplate();

// The tooltip of a toolbar command (1 .. 11); empty for any other number.
const char* toolbarTooltip(int command);

// The menu command a toolbar command stands for (40007 for 1, ...), else 0.
int menuCommandOfButton(int buttonCommand);
// The toolbar command of a menu command, else 0.
int buttonOfMenuCommand(int menuCommand);
