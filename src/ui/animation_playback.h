#pragma once
// Playing a model's frames: Play/Pause, a frame on or back, and the choice
// of which named animation plays. The frame shown is the view's state; the
// model keeps its frames as read.

#include <cstddef>

struct Playback {
  bool playing = false;
  int run = -1;           // the chosen animation, by its place among the model's runs; -1: all frames
  double seconds = 0.0;   // how far into it
  double lastTick = 0.0;  // when the time was last moved on
};

// A model was put on display, or taken off: stopped, at its first frame,
// the Animation menu listing its animations.
void playbackModelShown();
// The Animation menu's commands; false for any other command.
bool handlePlaybackCommand(int command);
// The time slider moved by the user: paused at that frame.
int onTimeSlider(int position);
// The model posed at the playing's place, and a frame asked for.
void showPlaybackPose();
// While playing: the time moved on by the clock, the model posed and a frame asked for.
void advancePlayback();
// The Animation menu's items enabled and checked as the model and the playing stand.
void showAnimationMenuState();
// The playing's place as the number of the frame shown (within the chosen animation).
std::size_t playbackFrame();
