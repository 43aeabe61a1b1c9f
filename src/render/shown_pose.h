#pragma once
// The shown model's animated vertices put at a place among its frames: the
// pose is what is drawn, while the model's frames stay as read. What drawing
// made from the old places is let go, so the next frame draws the new ones.

#include "model/shown.h"
#include "model/vertex_frames.h"

// The run of all the model's frames in order, for when none is chosen.
FrameRun allFrames(const VertexFrames& frames);

// The model's run of that name; null when it has none.
const FrameRun* runNamed(const VertexFrames& frames, const std::string& name);

void poseShown(Shown& shown, const FramePlace& place);
