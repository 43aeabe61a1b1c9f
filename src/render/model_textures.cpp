#include "render/model_textures.h"

#include <GL/glu.h>

ModelTextures::~ModelTextures() {
  if (!names_.empty()) glDeleteTextures(static_cast<GLsizei>(names_.size()), names_.data());
}

GLuint ModelTextures::name(const Model& model, std::int32_t index) {
  if (!made_) {
    made_ = true;
    names_.assign(model.textures.size(), 0);
    if (!names_.empty()) glGenTextures(static_cast<GLsizei>(names_.size()), names_.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (std::size_t k = 0; k < names_.size(); ++k) {
      const Texture& t = model.textures[k];
      if (t.rgba.empty()) continue;
      glBindTexture(GL_TEXTURE_2D, names_[k]);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
      // Scales a picture of any size to powers of two within the GL's
      // limit (all that GL 1.1 takes), once, with its smaller levels.
      if (gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, t.width, t.height, GL_RGBA, GL_UNSIGNED_BYTE, t.rgba.data()) != 0) {
        glDeleteTextures(1, &names_[k]);
        names_[k] = 0;
      }
    }
    glBindTexture(GL_TEXTURE_2D, 0);
  }
  return index >= 0 && static_cast<std::size_t>(index) < names_.size() ? names_[static_cast<std::size_t>(index)] : 0;
}
