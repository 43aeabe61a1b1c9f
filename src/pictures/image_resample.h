#pragma once
// Resampling a picture to a power-of-two texture by an area-weighted walk
// along rows, then along columns.

#include <cstdint>

#include "pictures/rgb_image.h"

// The texture side for a picture side: 64, 128, 256 or 512.
int textureSide(int pictureSide);

// One line of n pixels (3 bytes each, `sourceStep` bytes apart) into m pixels
// (`targetStep` bytes apart). The targets must start at 0.
void walkLine(const std::uint8_t* source, int n, int sourceStep, std::uint8_t* target, int m,
              int targetStep);

// The picture resampled to tw x th pixels.
RgbImage rescaleImage(const RgbImage& picture, int targetWidth, int targetHeight);
