#include "render/background.h"

#include <new>

#include "pictures/picture_file.h"
#include "pictures/image_resample.h"

namespace {

bool makeTexture(const char* path, std::string* reason) {
  std::optional<RgbImage> picture = loadPicture(path, reason);
  if (!picture) return false;
  const int width = textureSide(picture->width);
  const int height = textureSide(picture->height);
  const RgbImage texture = rescaleImage(*picture, width, height);

  glNewList(backgroundList, GL_COMPILE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  // Unpacking state acts at once and is not recorded in the list.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE,
               texture.pixels.data());
  glEndList();
  return true;
}

}  // namespace

bool makeBackgroundTexture(const char* path, std::string* reason) {
  try {
    return makeTexture(path, reason);
  } catch (const std::bad_alloc&) {
    if (reason != nullptr) *reason = "needs more memory than there is";
    return false;
  }
}

void drawBackground(int viewWidth, int viewHeight) {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, viewWidth, 0.0, viewHeight, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();

  glDepthMask(GL_FALSE);
  glDisable(GL_DEPTH_TEST);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glEnable(GL_TEXTURE_2D);
  glCallList(backgroundList);
  glBegin(GL_QUADS);
  glTexCoord2i(0, 0);
  glVertex2i(0, 0);
  glTexCoord2i(1, 0);
  glVertex2i(viewWidth, 0);
  glTexCoord2i(1, 1);
  glVertex2i(viewWidth, viewHeight);
  glTexCoord2i(0, 1);
  glVertex2i(0, viewHeight);
  glEnd();
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
  glDepthMask(GL_TRUE);

  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}
