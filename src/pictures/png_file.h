#pragma once
// PNG pictures through libpng: the exported view written as PNG, and PNG
// pictures read for the background.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/file_replacement.h"
#include "pictures/rgb_image.h"

// The picture as RGB, bottom row first, any kind of PNG (palette, grey,
// 16-bit; transparent parts over black); nothing, and why, otherwise.
std::optional<RgbImage> loadPng(const char* path, std::string* reason = nullptr);
// A PNG file's bytes held in memory as RGBA (a texture keeps its alpha).
std::optional<RgbaImage> decodePngWithAlpha(std::span<const std::uint8_t> bytes, std::string* reason = nullptr);

// Writes width x height pixels given as B, G, R rows, bottom row first, each
// `stride` bytes apart; whole or not at all.
WriteResult writePng(const char* path, int width, int height, const std::uint8_t* bgrRows, std::size_t stride);
// The same from R, G, B, A pixels, rows bottom first and tightly packed.
WriteResult writePngWithAlpha(const char* path, int width, int height, const std::uint8_t* rgbaRows);
