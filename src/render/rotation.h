#pragma once
// The model's accumulated rotation and the increment every drawn frame
// folds into it.

extern float rotationMatrix[16];  // column-major, as GL keeps it
extern float rotationAngle;       // degrees
extern float rotationAxis[3];

void resetRotation();
// rotationMatrix := R(rotationAngle, rotationAxis) x rotationMatrix, then
// the current GL matrix is multiplied by it. Needs a current context and the
// modelview matrix mode.
void applyRotation();
// rotationMatrix := R(degrees, axis) x rotationMatrix at once, the axis in
// eye space: a turn from the keyboard.
void turnModel(float degrees, float x, float y, float z);
