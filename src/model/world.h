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
extern float worldSize;     // sum of the three extents of the world box (6 when it has none)
extern float viewDistance;  // camera distance from the world centre
extern float viewRadius;    // radius about the world centre that holds all that is drawn
extern float axisLength;    // length of each drawn axis
extern float zoomOffset;    // camera displacement along the view axis
extern float panX, panY;    // camera displacement across it (in the view plane)
extern float zoomStep;      // divisor of a zoom gesture
extern bool worldBuilt;     // updateWorld has run since the start
// Counts rebuilds, so that drawing can tell when data it derived from the
// model must be made again.
extern std::uint64_t worldGeneration;

// Rebuilds world from currentModel and resets the view quantities.
void updateWorld();

// The eye's distance to the world centre along the view axis at the present zoom.
float eyeDistance();

void resetWorld();
