#pragma once
// Pictures read for the background, whatever their kind: BMP, PNG or JPEG,
// told apart by their first bytes rather than their names.

#include <cstdint>
#include <optional>
#include <string>

#include "render/rgb_image.h"

// No picture is shown that is more than this many pixels across or that
// would take more than this much colour.
constexpr std::int64_t kLargestPictureSide = 32768;
constexpr std::int64_t kLargestPictureBytes = std::int64_t{256} << 20;

// The reason a picture of width x height is not shown, or empty when it can be.
std::string pictureSizeProblem(std::int64_t width, std::int64_t height);

// The picture as RGB, bottom row first; nothing, and why in `reason`, when
// the file cannot be read or is no picture this program shows.
std::optional<RgbImage> loadPicture(const char* path, std::string* reason = nullptr);

// True when the name ends in ".png", in any case: the exported view is
// written as PNG then, as BMP otherwise.
bool namesPng(const std::string& path);
