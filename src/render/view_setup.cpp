#include "render/view_setup.h"

#include <GL/gl.h>

Color contrastColor(const Color& b) {
  auto opposite = [](float c) { return c < 0.5f ? c + 0.5f : c - 0.5f; };
  return {opposite(b.r), opposite(b.g), opposite(b.b)};
}

void applyBackgroundColor(const ViewOptions& options) {
  const Color& b = options.backgroundColor;
  glClearColor(b.r, b.g, b.b, 1.0f);
}

void initGL(const ViewOptions& options) {
  applyBackgroundColor(options);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
  glEnable(GL_DEPTH_TEST);
}

void resizeView(Camera& camera, int width, int height) {
  camera.viewWidth = width;
  camera.viewHeight = height;
  glViewport(0, 0, width, height);
}
