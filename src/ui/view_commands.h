#pragma once
// The Options > View commands: the named views, the projection and the up
// axis of the shown model's format.

#include "settings/view_options.h"

// The up axis the shown model's format is seen with; y without a model.
UpAxis shownUpAxis();
// Runs the command if it is one of the View menu's; false for any other.
bool runViewCommand(int command);
// The View menu's check marks and the items that need a model.
void showViewMenuState();
