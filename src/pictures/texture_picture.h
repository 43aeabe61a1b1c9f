#pragma once
// Pictures that a model's materials map onto its faces, decoded from the
// bytes a file or a model's buffer holds: PNG (with its alpha), JPEG and PCX.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// R, G, B, A bytes, rows bottom first, tightly packed.
struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
};

// The picture, told apart by its first bytes; nothing, and why, for another
// kind, damage, or a size beyond what this program shows.
std::optional<RgbaImage> decodeTexturePicture(std::span<const std::uint8_t> bytes, std::string* reason = nullptr);
