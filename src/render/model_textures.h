#pragma once
// A model's textures as GL texture objects: made once, at the first frame
// that draws them, and deleted with the model's other drawing arrays.

#include <GL/gl.h>

#include <vector>

#include "model/mesh_object.h"

class ModelTextures {
 public:
  ModelTextures() = default;
  ModelTextures(const ModelTextures&) = delete;
  ModelTextures& operator=(const ModelTextures&) = delete;
  ~ModelTextures();

  // The GL name of the model's texture `index`, made on first use; 0 for a
  // texture that could not be made. Needs the current GL context.
  GLuint name(const Model& model, std::int32_t index);

 private:
  std::vector<GLuint> names_;
  bool made_ = false;
};
