#pragma once
// Pictures read for the background, whatever their kind: BMP, PNG or JPEG,
// told apart by their first bytes rather than their names.

#include <optional>
#include <string>

#include "pictures/rgb_image.h"

// The picture as RGB, bottom row first; nothing, and why in `reason`, when
// the file cannot be read or is no picture this program shows.
std::optional<RgbImage> loadPicture(const char* path, std::string* reason = nullptr);

// True when the name ends in ".png", in any case: the exported view is
// written as PNG then, as BMP otherwise.
bool namesPng(const std::string& path);
