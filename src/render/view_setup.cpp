#include "render/view_setup.h"

#include <GL/gl.h>

#include "render/rotation.h"

int viewWidth = 400;
int viewHeight = 400;
GLUquadric* sphereQuadric = nullptr;
Color contrastColor;

void updateContrastColor() {
  auto opposite = [](float c) { return c < 0.5f ? c + 0.5f : c - 0.5f; };
  const Color& b = viewOptions.backgroundColor;
  contrastColor = {opposite(b.r), opposite(b.g), opposite(b.b)};
}

void applyBackgroundColor() {
  const Color& b = viewOptions.backgroundColor;
  glClearColor(b.r, b.g, b.b, 1.0f);
  updateContrastColor();
}

void initGL() {
  // The quadric lives as long as the context: one per run.
  if (sphereQuadric == nullptr) sphereQuadric = gluNewQuadric();
  resetRotation();
  applyBackgroundColor();
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
  glEnable(GL_DEPTH_TEST);
}

void resizeView(int width, int height) {
  viewWidth = width;
  viewHeight = height;
  glViewport(0, 0, width, height);
}

void resetViewSetup() {
  viewWidth = viewHeight = 400;
  contrastColor = Color{};
}
