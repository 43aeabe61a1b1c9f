#pragma once
// What an animated picture of the view shows, frame by frame: the model's
// run of frames at their own pace, or, for a model that does not move by
// itself, one full turn about the view's vertical axis.

#include <cstddef>
#include <optional>

#include "model/shown.h"
#include "pictures/rgb_image.h"
#include "render/camera.h"

// A turning model goes round once in this many seconds.
constexpr double kTurnSeconds = 4.0;

struct Recording {
  bool turning = false;
  int animation = -1;             // the animation played, when not turning (-1: all frames, or all at once)
  double framesPerSecond = 20.0;  // of the recording
  std::size_t frameCount = 0;
  float startRotation[16] = {};   // the view's rotation at the start
};

// The recording of the animation at `framesPerSecond`, starting from the
// camera's rotation.
Recording planRecording(const Shown& shown, int animation, double framesPerSecond, const Camera& camera);

// Sets the model's pose or the view's turn for frame `k` of the recording.
void stageRecordedFrame(Shown& shown, Camera& camera, const Recording& recording, std::size_t k);

// Puts the model and the view back as they were before the recording.
void endRecording(Shown& shown, Camera& camera, const Recording& recording);

// The drawn width x height frame, top row first.
std::optional<RgbImage> capturedFrame(int width, int height);
