#pragma once
// The shown model posed at a time of one of its animations: its vertex
// frames (game models) or its scene's animations (nodes, morph targets and
// skins). The pose is what is drawn; the model keeps its frames and rest
// pose as read. What drawing made from the old places is let go, so the
// next frame draws the new ones.

#include <cstddef>
#include <string>
#include <vector>

#include "model/shown.h"

// Scene animations are stepped, and written frame by frame, at this rate.
constexpr double kSceneFramesPerSecond = 30.0;

struct AnimationInfo {
  std::string name;
  double seconds = 0.0;    // one round
  std::size_t frames = 0;  // its frames, as stepping and writing them go
};

bool isAnimated(const Model& model);
// The model's animations by name, in file order.
std::vector<AnimationInfo> animationsOf(const Model& model);
// One of them; -1: all the frames in order, or every scene animation at once.
AnimationInfo animationInfo(const Model& model, int which);
// The animation of that name; -2 when there is none.
int animationNamed(const Model& model, const std::string& name);

// Where frame `frame` of any of the model's animations stands, in seconds
// from its start: all step at the same rate.
double secondsOfFrame(const Model& model, std::size_t frame);
std::size_t frameAt(const Model& model, int which, double seconds);

// Posed at `seconds` into the animation, looping.
void poseShownAt(Shown& shown, int which, double seconds);
// Back to the pose the model was read in.
void restShown(Shown& shown);

// Every place one round of the animation takes the model's vertices to
// (sampled at most `samples` times), as one object of points: what Fit
// takes in while the model plays.
Model sweptModel(const Shown& shown, int which, std::size_t samples = 120);
