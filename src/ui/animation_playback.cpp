#include "ui/animation_playback.h"

#include <chrono>
#include <cmath>

#include "model/vertex_frames.h"
#include "platform/platform.h"
#include "platform/window_system.h"
#include "render/shown_pose.h"
#include "ui/command_numbers.h"
#include "ui/shell.h"

namespace {

double secondsNow() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

const VertexFrames& framesShown() { return shell.shown.model.frames; }

FrameRun chosenRun() {
  const VertexFrames& frames = framesShown();
  const int run = shell.playback.run;
  if (run >= 0 && static_cast<std::size_t>(run) < frames.runs.size()) return frames.runs[static_cast<std::size_t>(run)];
  return allFrames(frames);
}

}  // namespace

void showPlaybackPose() {
  if (framesShown().empty()) return;
  // The pose's arrays belong to the drawing area's context.
  drawingAreaMakeCurrent();
  poseShown(shell.shown, placeInRun(framesShown(), chosenRun(), shell.playback.seconds));
  drawingAreaDoneCurrent();
  platformRequestRedraw();
}

namespace {

// A frame on (+1) or back (-1) from the one shown, the playing paused.
void stepFrame(int step) {
  const FrameRun run = chosenRun();
  if (run.count == 0) return;
  shell.playback.playing = false;
  const auto count = static_cast<long long>(run.count);
  const long long next = ((static_cast<long long>(playbackFrame()) + step) % count + count) % count;
  shell.playback.seconds = static_cast<double>(next) / static_cast<double>(framesShown().framesPerSecond);
  showPlaybackPose();
}

}  // namespace

void playbackModelShown() {
  shell.playback = Playback{};
  for (int k = 0; k < kAnimationCapacity; ++k) menuDelete(cmdAnimationFirst + k);
  const VertexFrames& frames = framesShown();
  if (!frames.empty()) {
    for (std::size_t k = 0; k < frames.runs.size() && k < static_cast<std::size_t>(kAnimationCapacity); ++k) {
      const FrameRun& run = frames.runs[k];
      menuInsertBefore(cmdAllFrames, cmdAnimationFirst + static_cast<int>(k),
                       run.name + " (" + std::to_string(run.count) + (run.count == 1 ? " frame)" : " frames)"));
    }
  }
  showAnimationMenuState();
}

bool handlePlaybackCommand(int command) {
  const bool animated = !framesShown().empty();
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
  if (!p.playing || framesShown().empty()) return;
  const double now = secondsNow();
  p.seconds += now - p.lastTick;
  p.lastTick = now;
  // Kept within one round of the animation, so that the clock never loses precision.
  const FrameRun run = chosenRun();
  const double length = static_cast<double>(run.count) / static_cast<double>(framesShown().framesPerSecond);
  if (length > 0.0) p.seconds = std::fmod(p.seconds, length);
  showPlaybackPose();
}

std::size_t playbackFrame() {
  const FrameRun run = chosenRun();
  if (run.count == 0) return 0;
  return placeInRun(framesShown(), run, shell.playback.seconds).a - run.first;
}

void showAnimationMenuState() {
  const bool animated = !framesShown().empty();
  for (int command : {cmdPlayPause, cmdNextFrame, cmdPreviousFrame, cmdAllFrames}) menuEnable(command, animated);
  menuCheck(cmdPlayPause, shell.playback.playing);
  menuCheck(cmdAllFrames, animated && shell.playback.run < 0);
  for (int k = 0; k < kAnimationCapacity && menuHasItem(cmdAnimationFirst + k); ++k) {
    menuCheck(cmdAnimationFirst + k, shell.playback.run == k);
  }
}
