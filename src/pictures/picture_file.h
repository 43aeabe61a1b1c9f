#pragma once
// Pictures read for the background, whatever their kind: BMP, PNG or JPEG,
// told apart by their first bytes rather than their names.

#include <optional>
#include <string>

#include "pictures/rgb_image.h"

// The picture as RGB, bottom row first; nothing, and why in `reason`, when
// the file cannot be read or is no picture this program shows.
std::optional<RgbImage> loadPicture(const char* path, std::string* reason = nullptr);

// The kinds of picture the program writes.
enum class PictureKind { Png, Bmp, Jpeg };

// The kind a name's ending says, in any case: ".png", ".bmp", ".jpg" or
// ".jpeg"; nothing for any other name.
std::optional<PictureKind> pictureKindOfName(const std::string& path);
// The ending a picture of that kind is given, ".png", ".bmp" or ".jpg".
const char* pictureEnding(PictureKind kind);
