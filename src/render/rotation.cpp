#include "render/rotation.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

void resetRotation(Camera& camera) {
  for (int k = 0; k < 16; ++k) camera.rotationMatrix[k] = (k % 5 == 0) ? 1.0f : 0.0f;
}

void turnModel(Camera& camera, float degrees, float x, float y, float z) {
  float* rotationMatrix = camera.rotationMatrix;
  const float length = std::sqrt(x * x + y * y + z * z);
  if (!(length > 0.0f)) return;
  camera.fitted = false;
  x /= length, y /= length, z /= length;
  const float radians = degrees * 3.14159265f / 180.0f;
  const float c = std::cos(radians), s = std::sin(radians), t = 1.0f - c;
  // Column-major, as glRotatef makes it.
  const float turn[16] = {t * x * x + c,     t * x * y + s * z, t * x * z - s * y, 0,
                          t * x * y - s * z, t * y * y + c,     t * y * z + s * x, 0,
                          t * x * z + s * y, t * y * z - s * x, t * z * z + c,     0,
                          0,                 0,                 0,                 1};
  float product[16];
  for (int column = 0; column < 4; ++column) {
    for (int row = 0; row < 4; ++row) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += turn[k * 4 + row] * rotationMatrix[column * 4 + k];
      product[column * 4 + row] = sum;
    }
  }
  std::copy(product, product + 16, rotationMatrix);
}

void applyRotation(const Camera& camera) { glMultMatrixf(camera.rotationMatrix); }

void turnModelWithGl(Camera& camera, float degrees, float x, float y, float z) {
  GLint mode = GL_MODELVIEW;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glRotatef(degrees, x, y, z);
  glMultMatrixf(camera.rotationMatrix);
  glGetFloatv(GL_MODELVIEW_MATRIX, camera.rotationMatrix);
  glPopMatrix();
  glMatrixMode(static_cast<GLenum>(mode));
}
