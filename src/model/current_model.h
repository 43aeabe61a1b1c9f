#pragma once
// The model on display and its number of objects.

#include <cstdint>

#include "model/mesh_object.h"

extern Model currentModel;
// Readers set this to the number of objects they return; the shell keeps it
// beside currentModel.
extern std::int32_t objectCount;

void resetCurrentModel();
