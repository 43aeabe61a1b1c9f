#pragma once
// The view on the move: turning, panning, zooming or spinning. While it
// moves a large model's frames draw its lighter stand-in; a short while
// after the last move the model itself is drawn again.

#include "render/stand_in.h"

struct ViewMotion {
  bool moving = false;
  double lastMoveAt = 0.0;  // seconds, steady clock
  bool checkPosted = false;  // a settle check is on its way
  bool lastFrameSimplified = false;
  // Frames drawn of each kind, and when the last full one ended, for
  // whoever measures.
  unsigned long long fullFrames = 0, simplifiedFrames = 0;
  double lastFullFrameEndedAt = 0.0;
  double simplifiedMsTotal = 0.0;  // the simplified frames' draw times added up
  // What makes a stand-in worth having; tests lower it.
  StandInBudget budget;
};

// How long the view stays still before the model itself is drawn again.
constexpr double kSettleSeconds = 0.12;

// The view moved just now.
void noteViewMoved();
// The settle check: at rest long enough (and not spinning), the model
// itself is drawn; else another check is posted.
int onSettleCheck();

// Draws a frame (the paint message): the stand-in while moving, where one
// is made; the first full frame of a model timed to decide on one. With
// TESSERA_FRAME_TIMES=1 each frame's time goes to standard error.
int drawViewFrame();
