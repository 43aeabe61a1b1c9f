#pragma once
// Files a model names beside it (material libraries, textures, skins),
// found as the model's author meant even where the name was written on
// another system.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The path of the regular file `name` names relative to the model's folder:
// backslashes are folder separators, a name given from the root or with a
// drive letter is looked for by its last part beside the model, and a part
// missing as spelled is matched without regard to case. Empty when there is
// no such regular file.
std::string findSideFile(const std::string& modelPath, std::string_view name);

// Reads a side file whole, refusing one larger than `largest` bytes; false
// (and why, in `reason`) when it cannot be read.
bool readSideFile(const std::string& path, std::uint64_t largest, std::vector<std::uint8_t>& bytes, std::string& reason);
