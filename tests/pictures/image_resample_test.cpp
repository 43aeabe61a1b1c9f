#include "pictures/image_resample.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Walks one channel line, all three channels equal.
std::vector<int> walk(const std::vector<int>& line, int m) {
  std::vector<std::uint8_t> source;
  for (int v : line) source.insert(source.end(), 3, static_cast<std::uint8_t>(v));
  std::vector<std::uint8_t> target(static_cast<std::size_t>(m) * 3, 0);
  walkLine(source.data(), static_cast<int>(line.size()), 3, target.data(), m, 3);
  std::vector<int> result;
  for (int j = 0; j < m; ++j) {
    EXPECT_EQ(target[3 * j], target[3 * j + 1]);
    EXPECT_EQ(target[3 * j], target[3 * j + 2]);
    result.push_back(target[3 * j]);
  }
  return result;
}

}  // namespace

TEST(Resample, TextureSides) {
  const int sides[][2] = {{10, 64},   {96, 64},   {97, 128},  {100, 128}, {192, 128},
                          {193, 256}, {384, 256}, {385, 512}, {480, 512}, {2000, 512}};
  for (const auto& s : sides) EXPECT_EQ(textureSide(s[0]), s[1]) << s[0];
}

TEST(Resample, TheWalksExamples) {
  EXPECT_EQ(walk({255, 255, 255}, 4), (std::vector<int>{255, 254, 254, 255}));
  EXPECT_EQ(walk({0, 90, 255}, 4), (std::vector<int>{0, 59, 144, 255}));
  EXPECT_EQ(walk({10, 20, 30, 40}, 2), (std::vector<int>{15, 35}));
  EXPECT_EQ(walk({0, 255, 0, 255, 0, 255}, 4), (std::vector<int>{85, 85, 170, 170}));
  std::vector<int> line(64);
  for (int k = 0; k < 64; ++k) line[static_cast<std::size_t>(k)] = k * 4;
  std::vector<int> doubled;
  for (int k = 0; k < 128; ++k) doubled.push_back((k / 2) * 4);
  EXPECT_EQ(walk(line, 128), doubled);
  EXPECT_EQ(walk(line, 64), line);
  EXPECT_EQ(walk(std::vector<int>(1024, 255), 512), std::vector<int>(512, 254));
  // 100 to 128 ends on a partial step whose second pixel would be one past the line (ASan sees a read there).
  std::vector<int> edge(100, 200);
  edge.back() = 100;
  const std::vector<int> ends = walk(edge, 128);
  EXPECT_TRUE(ends.front() == 200 && ends.back() >= 99 && ends.back() <= 100) << ends.front() << " " << ends.back();
}

TEST(Resample, PicturesKeepTheirRowsAndColumns) {
  RgbImage picture{64, 64, std::vector<std::uint8_t>(64 * 64 * 3)};
  for (std::size_t k = 0; k < picture.pixels.size(); ++k) picture.pixels[k] = static_cast<std::uint8_t>(k * 7);
  EXPECT_EQ(rescaleImage(picture, 64, 64).pixels, picture.pixels);

  // A picture red in its bottom row only (row 0) keeps the red at row 0.
  RgbImage stripe{10, 10, std::vector<std::uint8_t>(10 * 10 * 3, 0)};
  for (int x = 0; x < 10; ++x) stripe.pixels[static_cast<std::size_t>(x) * 3] = 255;
  const RgbImage texture = rescaleImage(stripe, 64, 64);
  EXPECT_EQ(texture.pixels[0], 255);
  EXPECT_EQ(texture.pixels[(63 * 64) * 3], 0);
}
