#pragma once
// What is on display: the model, its World, how its faces are drawn, the
// file it came from, and whether a picture stands behind it. Empty when
// nothing is shown. Handed down to drawing, which only reads it.

#include <cstdint>
#include <memory>
#include <string>

#include "model/mesh_object.h"
#include "model/world.h"

struct Shown {
  Model model;
  World world;
  std::int32_t format = -1;     // the format table's id; -1: no model on display
  bool drawsTriangles = false;  // draw the first three corners of every face
  std::string path;             // the model file, absolute; kept whole at any length
  bool backgroundShown = false;
  // What drawing made from this model (its arrays), kept with the model and
  // freed with it; drawing fills it the first time it needs it.
  mutable std::shared_ptr<void> drawn;

  bool hasModel() const { return format >= 0; }
  std::int32_t objectCount() const { return static_cast<std::int32_t>(model.size()); }
};

// A model put on display: its World computed, nothing drawn from it yet.
void showOn(Shown& shown, Model model, std::int32_t format, bool drawsTriangles, std::string path);
// Nothing on display: the model and what was drawn from it are freed; the
// background stays.
void clearShown(Shown& shown);
