#pragma once
// Fit: the pan and zoom that make the whole model fill the drawing area at
// its current orientation.

// Sets panX, panY and zoomOffset so that every vertex of the current model,
// turned as it is drawn now, lies inside `fill` of the drawing area's width
// and height, centred. Nothing changes without a model or a drawing area.
void fitModelToView(float fill = 0.9f);
