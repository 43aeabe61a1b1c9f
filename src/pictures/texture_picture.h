#pragma once
// Pictures that a model's materials map onto its faces, decoded from the
// bytes a file or a model's buffer holds: PNG (with its alpha), JPEG and PCX.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "pictures/rgb_image.h"

// The picture (rows bottom first), told apart by its first bytes; nothing, and why, for another
// kind, damage, or a size beyond what this program shows.
std::optional<RgbaImage> decodeTexturePicture(std::span<const std::uint8_t> bytes, std::string* reason = nullptr);
