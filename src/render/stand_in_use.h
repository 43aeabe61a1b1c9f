#pragma once
// Whether the frames drawn while the view moves draw a stand-in in the
// model's place: decided once per model from how long a full frame took,
// the stand-in then made on a thread of its own; each display style then
// draws the finest of its levels that its frames allow.

#include <cstddef>

#include "model/shown.h"
#include "render/stand_in.h"
#include "settings/view_options.h"

// True while the shown model's full frames have not yet been timed.
bool needsWeighing(const Shown& shown);

// A full frame of the shown model took `drawMs` to draw (its arrays made
// already): the first such frame decides whether the model is too slow to
// move smoothly, and if so starts making its stand-in.
void weighFullFrame(const Shown& shown, double drawMs, const StandInBudget& budget = {});

// The stand-in level the style draws, taken from its maker once finished;
// null while it is being made or when the model draws fast enough without.
const StandIn* readyStandIn(const Shown& shown, DisplayStyle style);

// A frame of the style's stand-in took `drawMs`: two in a row slower than
// the budget's moving frame move the style to the next coarser level.
void timeStandInFrame(const Shown& shown, DisplayStyle style, double drawMs, const StandInBudget& budget = {});

// True while the stand-in is being made.
bool standInInMaking(const Shown& shown);
