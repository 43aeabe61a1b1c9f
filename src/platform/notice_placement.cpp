#include "platform/platform.h"

#include <algorithm>
#include <cstdint>

void platformSetNoticeAnchor(int x, int y, int width, int height) {
  int* anchor = noticeAnchor();
  anchor[0] = x;
  anchor[1] = y;
  anchor[2] = width;
  anchor[3] = height;
}

// Centred on the anchor, as the boxes have always stood; summed wide, so a
// hand-edited position near the integer limit cannot overflow.
void noticePosition(int& x, int& y) {
  const auto place = [](std::int64_t at, std::int64_t size, std::int64_t half) {
    const std::int64_t value = at + size / 2 - half;
    return static_cast<int>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
  };
  const int* anchor = noticeAnchor();
  x = place(anchor[0], anchor[2], 125);
  y = place(anchor[1], anchor[3], 100);
}
