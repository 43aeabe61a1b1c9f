#pragma once
// The model on display.

#include <cstdint>

#include "model/mesh_object.h"

extern Model currentModel;

inline std::int32_t objectCount() { return static_cast<std::int32_t>(currentModel.size()); }

void resetCurrentModel();
