#include "ui/view_motion.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "platform/window_system.h"
#include "render/scene.h"
#include "render/stand_in_use.h"
#include "ui/shell.h"

namespace {

double secondsNow() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool frameTimesWanted() {
  static const bool wanted = [] {
    const char* value = std::getenv("TESSERA_FRAME_TIMES");
    return value != nullptr && std::strcmp(value, "1") == 0;
  }();
  return wanted;
}

void postCheck(double afterSeconds) {
  shell.motion.checkPosted = true;
  platformPostSettleCheck(static_cast<int>(afterSeconds * 1000.0 + 0.999));
}

}  // namespace

void noteViewMoved() {
  ViewMotion& m = shell.motion;
  m.moving = true;
  m.lastMoveAt = secondsNow();
  if (!m.checkPosted) postCheck(kSettleSeconds);
}

int onSettleCheck() {
  ViewMotion& m = shell.motion;
  m.checkPosted = false;
  if (!m.moving) return 0;
  const double still = secondsNow() - m.lastMoveAt;
  if (shell.trackball.spinning || still < kSettleSeconds) {
    postCheck(shell.trackball.spinning ? kSettleSeconds : kSettleSeconds - still);
    return 0;
  }
  m.moving = false;
  if (m.lastFrameSimplified) platformRequestRedraw();
  return 0;
}

int drawViewFrame() {
  ViewMotion& m = shell.motion;
  const bool simplify = shell.viewOptions.simplifyWhileMoving;
  const auto start = std::chrono::steady_clock::now();
  const FrameReport report = drawScene(shell.shown, shell.camera, shell.viewOptions, m.moving && simplify);
  // A frame is timed to its end, which GL may otherwise leave to run on
  // after the calls return.
  const bool weigh = simplify && !report.simplified && needsWeighing(shell.shown);
  if (weigh || report.simplified || frameTimesWanted()) glFinish();
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (weigh) weighFullFrame(shell.shown, ms - report.preparingMs, m.budget);
  if (report.simplified) timeStandInFrame(shell.shown, shell.viewOptions.style, ms - report.preparingMs, m.budget);
  m.lastFrameSimplified = report.simplified;
  ++(report.simplified ? m.simplifiedFrames : m.fullFrames);
  if (!report.simplified) m.lastFullFrameEndedAt = secondsNow();
  if (report.simplified) m.simplifiedMsTotal += ms;
  if (frameTimesWanted()) std::fprintf(stderr, "frame %.1f %s\n", ms, report.simplified ? "simplified" : "full");
  // A stand-in drawn after the view came to rest (a repaint the window
  // system asked for) is followed by the model itself.
  if (report.simplified && !m.moving) platformRequestRedraw();
  return 0;
}
