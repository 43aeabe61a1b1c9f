#include "formats/dxf_colors.h"

#include <cmath>

namespace {

Rgba bytes(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f, 1.0f}; }

}  // namespace

std::optional<Rgba> dxfIndexColor(std::int32_t index) {
  // The first nine are named colours and greys.
  static constexpr int kNamed[10][3] = {{0, 0, 0},     {255, 0, 0},   {255, 255, 0}, {0, 255, 0},     {0, 255, 255},
                                        {0, 0, 255},   {255, 0, 255}, {0, 0, 0},     {128, 128, 128}, {192, 192, 192}};
  if (index < 1 || index > 255 || index == 7) return std::nullopt;
  if (index < 10) return bytes(kNamed[index][0], kNamed[index][1], kNamed[index][2]);
  if (index >= 250) {
    const int grey = 51 + (index - 250) * 204 / 5;
    return bytes(grey, grey, grey);
  }
  // 10 to 249: 24 hues 15 degrees apart, each in five brightnesses, full
  // and half saturated in turn.
  static constexpr float kBrightness[5] = {1.0f, 0.65f, 0.5f, 0.3f, 0.15f};
  const float hue = static_cast<float>(index / 10 - 1) * 15.0f;
  const float value = kBrightness[(index % 10) / 2] * 255.0f;
  const float low = index % 2 == 0 ? 0.0f : value * 0.5f;
  const float sector = hue / 60.0f;
  const float rising = low + (value - low) * (sector - std::floor(sector));
  const float falling = value - (value - low) * (sector - std::floor(sector));
  float rgb[3];
  switch (static_cast<int>(sector)) {
    case 0: rgb[0] = value, rgb[1] = rising, rgb[2] = low; break;
    case 1: rgb[0] = falling, rgb[1] = value, rgb[2] = low; break;
    case 2: rgb[0] = low, rgb[1] = value, rgb[2] = rising; break;
    case 3: rgb[0] = low, rgb[1] = falling, rgb[2] = value; break;
    case 4: rgb[0] = rising, rgb[1] = low, rgb[2] = value; break;
    default: rgb[0] = value, rgb[1] = low, rgb[2] = falling; break;
  }
  return bytes(static_cast<int>(rgb[0]), static_cast<int>(rgb[1]), static_cast<int>(rgb[2]));
}
