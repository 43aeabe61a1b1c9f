#include "pictures/image_resample.h"

namespace {

// A channel value times a weight, exactly, truncated toward zero.
int term(std::uint8_t value, float weight) {
  return static_cast<int>(static_cast<double>(value) * static_cast<double>(weight));
}

std::uint8_t channel(int value) { return static_cast<std::uint8_t>(value > 255 ? 255 : value); }

}  // namespace

int textureSide(int pictureSide) {
  if (pictureSide <= 96) return 64;
  if (pictureSide <= 192) return 128;
  if (pictureSide <= 384) return 256;
  return 512;
}

// The remainders are 32-bit floats, rounded after every step, so a walk can
// end with a sliver left; it stops when either line is used up. A partial
// step that would need the pixel after the last one uses the last one.
void walkLine(const std::uint8_t* source, int n, int sourceStep, std::uint8_t* target, int m,
              int targetStep) {
  if (n <= 0 || m <= 0) return;
  auto s = [&](int i, int c) { return source[static_cast<std::ptrdiff_t>(i) * sourceStep + c]; };
  auto t = [&](int j, int c) -> std::uint8_t& {
    return target[static_cast<std::ptrdiff_t>(j) * targetStep + c];
  };
  const float r = static_cast<float>(m) / static_cast<float>(n);
  if (m == n) {
    for (int k = 0; k < n; ++k) {
      for (int c = 0; c < 3; ++c) t(k, c) = s(k, c);
    }
    return;
  }
  int i = 0, j = 0;
  if (r > 1.0f) {
    float rem = r;
    while (i < n && j < m) {
      while (rem >= 1.0f && j < m) {
        for (int c = 0; c < 3; ++c) t(j, c) = s(i, c);
        ++j;
        rem = rem - 1.0f;
      }
      if (j >= m) break;
      if (rem == 0.0f) {
        ++i;
        rem = r;
        continue;
      }
      const int next = i + 1 < n ? i + 1 : n - 1;
      const float rest = 1.0f - rem;
      for (int c = 0; c < 3; ++c) t(j, c) = channel(term(s(i, c), rem) + term(s(next, c), rest));
      ++i;
      ++j;
      rem = r - rest;
    }
    return;
  }
  const float S = static_cast<float>(n) / static_cast<float>(m);
  float rem = S;
  while (i < n && j < m) {
    while (rem >= 1.0f && i < n) {
      for (int c = 0; c < 3; ++c) t(j, c) = channel(t(j, c) + term(s(i, c), r));
      ++i;
      rem = rem - 1.0f;
    }
    if (i >= n) break;
    if (rem == 0.0f) {
      ++j;
      rem = S;
      continue;
    }
    const float first = rem / S;
    for (int c = 0; c < 3; ++c) t(j, c) = channel(t(j, c) + term(s(i, c), first));
    ++j;
    const float rest = 1.0f - rem;
    if (j < m) {
      const float second = rest / S;
      for (int c = 0; c < 3; ++c) t(j, c) = channel(t(j, c) + term(s(i, c), second));
    }
    ++i;
    rem = S - rest;
  }
}

RgbImage rescaleImage(const RgbImage& picture, int targetWidth, int targetHeight) {
  const int sw = picture.width, sh = picture.height;
  RgbImage middle{targetWidth, sh, std::vector<std::uint8_t>(
                                       static_cast<std::size_t>(targetWidth) * static_cast<std::size_t>(sh) * 3, 0)};
  for (int y = 0; y < sh; ++y) {
    walkLine(&picture.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(sw) * 3], sw, 3,
             &middle.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(targetWidth) * 3],
             targetWidth, 3);
  }
  RgbImage result{targetWidth, targetHeight,
                  std::vector<std::uint8_t>(
                      static_cast<std::size_t>(targetWidth) * static_cast<std::size_t>(targetHeight) * 3, 0)};
  for (int x = 0; x < targetWidth; ++x) {
    walkLine(&middle.pixels[static_cast<std::size_t>(x) * 3], sh, targetWidth * 3,
             &result.pixels[static_cast<std::size_t>(x) * 3], targetHeight, targetWidth * 3);
  }
  return result;
}
