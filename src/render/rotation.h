#pragma once
// The model's accumulated rotation. Drawing only reads it: every turn (a
// drag, a key, a spin's tick, the tool's --turn) is folded in when it
// happens.

extern float rotationMatrix[16];  // column-major, as GL keeps it

void resetRotation();
// Multiplies the current GL matrix by rotationMatrix.
void applyRotation();
// The same turn as turnModel, multiplied out by GL (glRotatef) as the
// pictures of tessera-tool's --turn always were, so that they keep their
// last bit. Needs a current context.
void turnModelWithGl(float degrees, float x, float y, float z);
// rotationMatrix := R(degrees, axis) x rotationMatrix at once, the axis in
// eye space: a turn from the keyboard.
void turnModel(float degrees, float x, float y, float z);
