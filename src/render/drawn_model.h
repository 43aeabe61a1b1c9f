#pragma once
// Everything drawing makes from one model, kept with it (Shown::drawn) and
// freed with it: made the first time a frame needs each part.

#include <memory>
#include <vector>

#include "render/model_arrays.h"
#include "render/model_textures.h"
#include "render/stand_in.h"
#include "render/stand_in_maker.h"
#include "model/shown.h"
#include "render/surface_arrays.h"

struct DrawnObject {
  ObjectArrays fill;
  bool hasAppearance = false;
  // The solid style's arrays with colours, textures or smooth normals, and
  // the choice they were made for.
  std::unique_ptr<SurfaceArrays> surface;
  SurfaceChoice surfaceChoice;
  // Which corners smooth together, kept from pose to pose of a model that moves.
  std::shared_ptr<const SmoothingPlan> smoothing;
  // Two vertex indices a segment, from the object's polylines.
  std::vector<std::uint32_t> lineSegments;
};

struct DrawnModel {
  std::vector<DrawnObject> objects;
  ModelTextures textures;
  // The stand-in's levels, finest first, once made, and the level each
  // display style draws with the frames in a row it drew too slowly;
  // whether a full frame has been timed to decide on one.
  std::vector<StandIn> standIns;
  std::size_t levelOfStyle[3] = {0, 0, 0};
  int slowFramesOfStyle[3] = {0, 0, 0};
  bool weighed = false;
  double standInSeconds = 0.0;  // how long it took to make
  // Last, so that it ends first: its thread reads the arrays above.
  std::unique_ptr<StandInMaker> maker;
};

// What drawing has made from the shown model so far; null before its first frame.
inline DrawnModel* drawnModelOf(const Shown& shown) { return static_cast<DrawnModel*>(shown.drawn.get()); }
