#pragma once
// An offscreen GL view of a small size with the program's state reset, and
// pixel reads from it.

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "formats/model_dispatch.h"
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
    // Solid, about the centre, white on black, no extras: each test turns on what it looks at.
    viewOptions.foregroundColor = {1.0f, 1.0f, 1.0f};
    viewOptions.backgroundColor = {0.0f, 0.0f, 0.0f};
    initGL(viewOptions);
    resizeView(camera, kSize, kSize);
  }

  // Shows a model of the given objects in the given format.
  void show(Model model, FormatId format = formatOff) {
    showModel(shown, std::move(model), format);
    frameWorld(camera, shown.world);
  }
  // A frame of what the fixture shows.
  void draw() { drawScene(shown, camera, viewOptions); }

  // A 2 x 2 square facing the viewer in the plane z = 0, centred on the origin.
  static MeshObject square() {
    return makeObject({-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0}, {{0, 1, 2, 3}});
  }

  // The drawing area's pixels, bottom row first, RGBA.
  std::vector<std::uint8_t> frame() const {
    std::vector<std::uint8_t> rgba(kSize * kSize * 4);
    glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
  }

 public:  // scene setups in tables reach these
  IsolatedState state;
  Shown shown;
  Camera camera;
  ViewOptions viewOptions;
};
