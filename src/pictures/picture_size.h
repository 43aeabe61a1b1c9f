#pragma once
// How large a picture this program reads: checked from a file's header,
// before any pixel is held.

#include <cstdint>
#include <string>

// No picture is shown that is more than this many pixels across or that
// would take more than this much colour.
constexpr std::int64_t kLargestPictureSide = 32768;
constexpr std::int64_t kLargestPictureBytes = std::int64_t{256} << 20;

// The reason a picture of width x height is not shown, or empty when it can be.
std::string pictureSizeProblem(std::int64_t width, std::int64_t height);
