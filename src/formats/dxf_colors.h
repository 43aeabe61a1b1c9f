#pragma once
// The colours a drawing's colour numbers (its colour index, 1 to 255) stand for.

#include <cstdint>
#include <optional>

#include "model/appearance.h"

// The colour of index 1 to 255; nothing for 7 (drawn in the foreground
// colour: white on dark, black on light) and for any other number.
std::optional<Rgba> dxfIndexColor(std::int32_t index);
