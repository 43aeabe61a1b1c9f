#pragma once
// The model's accumulated rotation, kept in the Camera. Drawing only reads
// it: every turn (a drag, a key, a spin's tick, the tool's --turn) is
// folded in when it happens.

#include "render/camera.h"

void resetRotation(Camera& camera);
// Multiplies the current GL matrix by the camera's rotation.
void applyRotation(const Camera& camera);
// rotation := R(degrees, axis) x rotation, the axis in eye space; a zero
// axis turns nothing.
void turnModel(Camera& camera, float degrees, float x, float y, float z);
// The same turn multiplied out by GL (glRotatef), as the pictures of
// tessera-tool's --turn always were, so that they keep their last bit.
// Needs a current context.
void turnModelWithGl(Camera& camera, float degrees, float x, float y, float z);
