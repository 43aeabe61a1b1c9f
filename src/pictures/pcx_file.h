#pragma once
// PCX pictures, the skins of Quake 2 models among them: 8 bits a pixel with
// a 256-colour palette at the end, or 24 bits in three planes, run-length
// coded, read from bytes in memory.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "pictures/texture_picture.h"

// True when the bytes start as a PCX picture does (maker 0x0A, a known
// version, run-length coding).
bool looksLikePcx(std::span<const std::uint8_t> bytes);

// The picture, bottom row first and opaque; nothing, and why, for another
// layout, damage, or a size beyond what this program shows.
std::optional<RgbaImage> decodePcx(std::span<const std::uint8_t> bytes, std::string* reason = nullptr);
