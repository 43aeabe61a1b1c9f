#include "ui/animation_playback.h"

#include <chrono>
#include <cmath>

#include <cstdio>
#include <vector>

#include "model/mesh_object.h"
#include "platform/platform.h"
#include "platform/window_system.h"
#include "render/shown_pose.h"
#include "ui/command_numbers.h"
#include "ui/shell.h"

namespace {

double secondsNow() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

const Model& modelShown() { return shell.shown.model; }

// A frame on (+1) or back (-1) from the one shown, the playing paused.
void stepFrame(int step) {
  const AnimationInfo info = animationInfo(modelShown(), shell.playback.run);
  if (info.frames == 0) return;
  shell.playback.playing = false;
  const auto count = static_cast<long long>(info.frames);
  const long long next = ((static_cast<long long>(playbackFrame()) + step) % count + count) % count;
  shell.playback.seconds = secondsOfFrame(modelShown(), static_cast<std::size_t>(next));
  showPlaybackPose();
}

}  // namespace

namespace {

// The slider at the frame shown, the time beside it.
void showTime() {
  const AnimationInfo info = animationInfo(modelShown(), shell.playback.run);
  char label[64];
  std::snprintf(label, sizeof label, "%.2f / %.2f s", shell.playback.seconds, info.seconds);
  timeSliderSet(static_cast<int>(playbackFrame()), static_cast<int>(info.frames > 0 ? info.frames - 1 : 0), label);
}

}  // namespace

void showPlaybackPose() {
  if (!isAnimated(modelShown())) return;
  // The pose's arrays belong to the drawing area's context.
  drawingAreaMakeCurrent();
  poseShownAt(shell.shown, shell.playback.run, shell.playback.seconds);
  drawingAreaDoneCurrent();
  showTime();
  platformRequestRedraw();
}

int onTimeSlider(int position) {
  if (!isAnimated(modelShown())) return 0;
  shell.playback.playing = false;
  shell.playback.seconds = secondsOfFrame(modelShown(), static_cast<std::size_t>(std::max(position, 0)));
  showPlaybackPose();
  showAnimationMenuState();
  return 0;
}

void playbackModelShown() {
  shell.playback = Playback{};
  for (int k = 0; k < kAnimationCapacity; ++k) menuDelete(cmdAnimationFirst + k);
  const std::vector<AnimationInfo> all = animationsOf(modelShown());
  for (std::size_t k = 0; k < all.size() && k < static_cast<std::size_t>(kAnimationCapacity); ++k) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f s", all[k].seconds);
    menuInsertBefore(cmdAllFrames, cmdAnimationFirst + static_cast<int>(k),
                     all[k].name + " (" + (modelShown().frames.empty() ? std::string(seconds)
                                                                        : std::to_string(all[k].frames) + (all[k].frames == 1 ? " frame" : " frames")) +
                         ")");
  }
  timeSliderShow(isAnimated(modelShown()));
  if (isAnimated(modelShown())) showTime();
  showAnimationMenuState();
}

bool handlePlaybackCommand(int command) {
  const bool animated = isAnimated(modelShown());
  if (command == cmdPlayPause) {
    if (!animated) return true;
    shell.playback.playing = !shell.playback.playing;
    shell.playback.lastTick = secondsNow();
    if (shell.playback.playing) platformPostSpin();
  } else if (command == cmdNextFrame || command == cmdPreviousFrame) {
    if (animated) stepFrame(command == cmdNextFrame ? 1 : -1);
  } else if (command == cmdAllFrames || (command >= cmdAnimationFirst && command < cmdAnimationFirst + kAnimationCapacity)) {
    if (!animated) return true;
    shell.playback.run = command == cmdAllFrames ? -1 : command - cmdAnimationFirst;
    shell.playback.seconds = 0.0;
    shell.playback.lastTick = secondsNow();
    showPlaybackPose();
  } else {
    return false;
  }
  showAnimationMenuState();
  return true;
}

void advancePlayback() {
  Playback& p = shell.playback;
  if (!p.playing || !isAnimated(modelShown())) return;
  const double now = secondsNow();
  p.seconds += now - p.lastTick;
  p.lastTick = now;
  // Kept within one round of the animation, so that the clock never loses precision.
  const double length = animationInfo(modelShown(), p.run).seconds;
  if (length > 0.0) p.seconds = std::fmod(p.seconds, length);
  showPlaybackPose();
}

std::size_t playbackFrame() { return frameAt(modelShown(), shell.playback.run, shell.playback.seconds); }

void showAnimationMenuState() {
  const bool animated = isAnimated(modelShown());
  for (int command : {cmdPlayPause, cmdNextFrame, cmdPreviousFrame, cmdAllFrames}) menuEnable(command, animated);
  menuCheck(cmdPlayPause, shell.playback.playing);
  menuCheck(cmdAllFrames, animated && shell.playback.run < 0);
  for (int k = 0; k < kAnimationCapacity && menuHasItem(cmdAnimationFirst + k); ++k) {
    menuCheck(cmdAnimationFirst + k, shell.playback.run == k);
  }
}
