#pragma once
// JPEG pictures through libjpeg, read for the background.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "pictures/rgb_image.h"

// The picture as RGB, bottom row first (grey and CMYK pictures in colour);
// nothing, and why, when the file is damaged, cut short or too large.
std::optional<RgbImage> loadJpeg(const char* path, std::string* reason = nullptr);

// The same from a JPEG file's bytes held in memory.
std::optional<RgbImage> decodeJpeg(std::span<const std::uint8_t> bytes, std::string* reason = nullptr);
