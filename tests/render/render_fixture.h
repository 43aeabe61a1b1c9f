#pragma once
// An offscreen GL view of a small size with the program's state reset, and
// pixel reads from it.

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <cstdlib>
#include <cstdint>
#include <string>
#include <vector>

#include "formats/model_dispatch.h"
#include "model/current_model.h"
#include "model/world.h"
#include "platform/headless/offscreen_context.h"
#include "render/background.h"
#include "render/rotation.h"
#include "render/scene.h"
#include "render/view_setup.h"
#include "support/mesh_builders.h"
#include "support/picture_files.h"
#include "support/temp_dir.h"


class RenderTest : public testing::Test {
 protected:
  static constexpr int kSize = 64;

  void SetUp() override {
    ASSERT_TRUE(makeOffscreenContextCurrent(kSize, kSize));
    backgroundShown = false;
    rotationAngle = 0.0f;
    rotationAxis[0] = rotationAxis[1] = rotationAxis[2] = 0.0f;
    // Plain colours, no extras: each test turns on what it looks at.
    viewOptions.solidMode = true;
    viewOptions.pivotAtCenter = true;
    viewOptions.foregroundColor = {1.0f, 1.0f, 1.0f};
    viewOptions.backgroundColor = {0.0f, 0.0f, 0.0f};
    initGL();
    resizeView(kSize, kSize);
  }

  // Shows a model of the given objects in the given format.
  void show(Model model, FormatId format = formatOff) { showModel(std::move(model), format); }

  // A 2 x 2 square facing the viewer in the plane z = 0, centred on the origin.
  static MeshObject square() {
    return makeObject({-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0}, {{0, 1, 2, 3}});
  }

  Rgb pixel(int x, int y) const {
    std::uint8_t rgba[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
  }
  Rgb centre() const { return pixel(kSize / 2, kSize / 2); }

  // Pixels within `tolerance` of the colour in every channel.
  int countPixels(const Rgb& colour, int tolerance = 0) const {
    std::vector<std::uint8_t> rgba(kSize * kSize * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    int count = 0;
    for (std::size_t k = 0; k < rgba.size(); k += 4) {
      bool near = true;
      for (int c = 0; c < 3; ++c) near = near && std::abs(rgba[k + static_cast<std::size_t>(c)] - colour[static_cast<std::size_t>(c)]) <= tolerance;
      count += near ? 1 : 0;
    }
    return count;
  }

  IsolatedState state;
};

inline Rgb toRgb(const Color& c) {
  return {static_cast<int>(c.r * 255.0f + 0.5f), static_cast<int>(c.g * 255.0f + 0.5f),
          static_cast<int>(c.b * 255.0f + 0.5f)};
}
