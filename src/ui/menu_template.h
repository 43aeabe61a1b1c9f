#pragma once
// The menu bar and the toolbar as tables, from which the window system
// builds them.

#include <span>

#include "platform/window_system.h"

// The menu bar in order, popups before their items.
std::span<const MenuItem> menuTemplate();

std::span<const ToolbarButton> toolbarTemplate();

// The tooltip of a toolbar command (1 .. 11); empty for any other number.
const char* toolbarTooltip(int command);

// The menu command a toolbar command stands for (40007 for 1, ...), else 0.
int menuCommandOfButton(int buttonCommand);
// The toolbar command of a menu command, else 0.
int buttonOfMenuCommand(int menuCommand);
