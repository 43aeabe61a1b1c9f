#pragma once
// Everything drawing makes from one model, kept with it (Shown::drawn) and
// freed with it: made the first time a frame needs each part.

#include <memory>
#include <vector>

#include "render/model_arrays.h"
#include "render/model_textures.h"
#include "render/surface_arrays.h"

struct DrawnObject {
  ObjectArrays fill;
  bool hasAppearance = false;
  // The solid style's arrays with colours, textures or smooth normals, and
  // the choice they were made for.
  std::unique_ptr<SurfaceArrays> surface;
  SurfaceChoice surfaceChoice;
  // Two vertex indices a segment, from the object's polylines.
  std::vector<std::uint32_t> lineSegments;
};

struct DrawnModel {
  std::vector<DrawnObject> objects;
  ModelTextures textures;
};
