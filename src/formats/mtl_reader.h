#pragma once
// Wavefront material libraries (.mtl), read from text in memory: each
// material's name, colour, opacity and colour picture, which is all the
// viewer draws of them.

#include <string>
#include <string_view>
#include <vector>

#include "model/appearance.h"

struct MtlMaterial {
  std::string name;
  Rgba color;           // Kd, with d (or 1 - Tr) as alpha
  std::string texture;  // the file map_Kd names; empty for none
};

// The materials the text defines, in its order. Statements before the first
// newmtl, and any the viewer has no use for, are passed over; nothing in the
// text is ever refused.
std::vector<MtlMaterial> readMtlText(std::string_view text);
