#pragma once
// Textures a reader adds to its model: from a picture file beside the model
// or from bytes the model file holds. A picture that cannot be had costs one
// debug line and leaves its material with its colour; it never refuses the
// model.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "model/mesh_object.h"

// Adds the picture `name` names beside the model and returns its index among
// the model's textures; the same name twice gives the same texture. -1 when
// it cannot be found or read.
std::int32_t addTextureFile(Model& model, const char* modelPath, std::string_view name);

// Adds a picture held in the model file (`label` names it in messages).
std::int32_t addTextureBytes(Model& model, const char* modelPath, std::span<const std::uint8_t> bytes,
                             const std::string& label);
