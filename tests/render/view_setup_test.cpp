#include "render/view_setup.h"

#include <gtest/gtest.h>

TEST(ViewSetup, ContrastColourDiffersByHalfInEveryChannel) {
  const struct {
    Color background, contrast;
  } cases[] = {{{0, 0, 0}, {0.5f, 0.5f, 0.5f}},
               {{1, 1, 1}, {0.5f, 0.5f, 0.5f}},
               {{0.5f, 0.2f, 0.9f}, {0.0f, 0.7f, 0.4f}}};
  for (const auto& c : cases) {
    viewOptions.backgroundColor = c.background;
    updateContrastColor();
    EXPECT_FLOAT_EQ(contrastColor.r, c.contrast.r);
    EXPECT_FLOAT_EQ(contrastColor.g, c.contrast.g);
    EXPECT_NEAR(contrastColor.b, c.contrast.b, 1e-6);
  }
}
