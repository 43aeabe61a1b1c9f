#pragma once
// The aggregate over all objects of the current model, and the view
// quantities derived from its size.

#include <cstdint>

#include "model/mesh_object.h"

struct World {
  float xCenMass = 0.0f, yCenMass = 0.0f, zCenMass = 0.0f;
  float xMin = -1.0f, xMax = -1.0f;
  float yMin = -1.0f, yMax = -1.0f;
  float zMin = -1.0f, zMax = -1.0f;
};

extern World world;
extern float viewDistance;       // camera distance from the world centre
extern std::int32_t axisLength;  // length of each drawn axis
extern float zoomOffset;         // camera displacement along the view axis
extern float zoomStep;           // divisor of a zoom gesture
extern bool worldBuilt;          // updateWorld has run since the start

// Rebuilds world from currentModel and objectCount and resets the view quantities.
void updateWorld();

void resetWorld();
