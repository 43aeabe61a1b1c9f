#include "render/rotation.h"

#include <GL/gl.h>

float rotationMatrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
float rotationAngle = 0.0f;
float rotationAxis[3] = {0.0f, 0.0f, 0.0f};

void resetRotation() {
  for (int k = 0; k < 16; ++k) rotationMatrix[k] = (k % 5 == 0) ? 1.0f : 0.0f;
}

void applyRotation() {
  glPushMatrix();
  glLoadIdentity();
  glRotatef(rotationAngle, rotationAxis[0], rotationAxis[1], rotationAxis[2]);
  glMultMatrixf(rotationMatrix);
  glGetFloatv(GL_MODELVIEW_MATRIX, rotationMatrix);
  glPopMatrix();
  glMultMatrixf(rotationMatrix);
}
