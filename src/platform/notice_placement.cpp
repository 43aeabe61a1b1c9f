#include "platform/platform.h"

namespace {

int anchor[4] = {0, 0, 0, 0};

}  // namespace

void platformSetNoticeAnchor(int x, int y, int width, int height) {
  anchor[0] = x;
  anchor[1] = y;
  anchor[2] = width;
  anchor[3] = height;
}

// Centred on the anchor, as the boxes have always stood.
void noticePosition(int& x, int& y) {
  x = anchor[0] + anchor[2] / 2 - 125;
  y = anchor[1] + anchor[3] / 2 - 100;
}
