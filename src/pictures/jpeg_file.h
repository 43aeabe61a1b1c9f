#pragma once
// JPEG pictures through libjpeg: read for the background and textures,
// written for the exported view.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/file_replacement.h"
#include "pictures/rgb_image.h"

// The picture as RGB, bottom row first (grey and CMYK pictures in colour);
// nothing, and why, when the file is damaged, cut short or too large.
std::optional<RgbImage> loadJpeg(const char* path, std::string* reason = nullptr);

// The same from a JPEG file's bytes held in memory.
std::optional<RgbImage> decodeJpeg(std::span<const std::uint8_t> bytes, std::string* reason = nullptr);

// The quality the exported view is written at: no blocks to be seen, a
// fraction of the PNG's size.
constexpr int kJpegQuality = 92;

// Writes width x height pixels given as B, G, R rows, bottom row first, each
// `stride` bytes apart, as a baseline JPEG file; whole or not at all.
WriteResult writeJpeg(const char* path, int width, int height, const std::uint8_t* bgrRows, std::size_t stride,
                      int quality = kJpegQuality);
