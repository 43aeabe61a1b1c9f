#pragma once
// The aggregate over all objects of a model: its bounds and centre.

#include "model/mesh_object.h"

struct World {
  float xCenMass = 0.0f, yCenMass = 0.0f, zCenMass = 0.0f;
  float xMin = -1.0f, xMax = -1.0f;
  float yMin = -1.0f, yMax = -1.0f;
  float zMin = -1.0f, zMax = -1.0f;
};

// Objects without vertices take no part; a model without positioned
// objects has centre (0, 0, 0) and bounds -1.
World computeWorld(const Model& objects);
