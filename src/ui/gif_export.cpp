#include "ui/gif_export.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>

#include "pictures/gif_file.h"
#include "platform/platform.h"
#include "platform/window_system.h"
#include "render/animation_recording.h"
#include "render/scene.h"
#include "render/shown_pose.h"
#include "ui/command_numbers.h"
#include "ui/dialogs.h"
#include "ui/shell.h"

namespace {

struct GifExport {
  std::string path;
  std::unique_ptr<GifWriter> writer;
  Recording recording;
  std::size_t next = 0;
  int width = 0, height = 0;
  bool wasPlaying = false;
};

std::unique_ptr<GifExport> exporting;

// Ends the export: the view and the playing as they were; true when every
// frame was written and the file put in place.
void finishExport(bool complete) {
  std::unique_ptr<GifExport> done = std::move(exporting);
  statusHideProgress();
  drawingAreaMakeCurrent();
  endRecording(shell.shown, shell.camera, done->recording);
  drawingAreaDoneCurrent();
  // Back to the place the playing had reached, playing on if it was.
  shell.playback.playing = done->wasPlaying;
  shell.playback.lastTick = std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
  showPlaybackPose();
  if (complete) {
    const WriteResult written = done->writer->finish();
    if (!written) platformShowNotice(NoticeKind::FileNotSaved, done->path + "\n" + written.reason);
  }
  if (shell.playback.playing) platformPostSpin();
  platformRequestRedraw();
}

}  // namespace

bool gifExportInProgress() { return exporting != nullptr; }

void exportAnimatedGif() {
  if (!shell.shown.hasModel() || exporting != nullptr) return;
  std::string path;
  if (chooseGifSavePath(path) != 0) return;
  auto e = std::make_unique<GifExport>();
  e->path = path;
  // At the drawing area's size, scaled down to fit 1024 pixels across.
  const double scale = std::min(1.0, static_cast<double>(kLargestGifWidth) / std::max(shell.camera.viewWidth, 1));
  e->width = std::max(1, static_cast<int>(std::lround(shell.camera.viewWidth * scale)));
  e->height = std::max(1, static_cast<int>(std::lround(shell.camera.viewHeight * scale)));
  e->writer = std::make_unique<GifWriter>(path, e->width, e->height);
  e->recording = planRecording(shell.shown, shell.playback.run, kGifFramesPerSecond, shell.camera);
  e->wasPlaying = shell.playback.playing;
  shell.playback.playing = false;
  shell.trackball.spinning = false;
  exporting = std::move(e);
  statusShowProgress("Writing " + path + "...", 0);
  platformPostCommand(cmdGifStep);
}

void writeNextGifFrame() {
  if (exporting == nullptr) return;
  GifExport& e = *exporting;
  drawingAreaMakeCurrent();
  stageRecordedFrame(shell.shown, shell.camera, e.recording, e.next);
  // Drawn at the GIF's size in the corner of the drawing area, then read back.
  const int width = shell.camera.viewWidth, height = shell.camera.viewHeight;
  shell.camera.viewWidth = e.width;
  shell.camera.viewHeight = e.height;
  glViewport(0, 0, e.width, e.height);
  drawScene(shell.shown, shell.camera, shell.viewOptions);
  const std::optional<RgbImage> frame = capturedFrame(e.width, e.height);
  shell.camera.viewWidth = width;
  shell.camera.viewHeight = height;
  glViewport(0, 0, width, height);
  drawingAreaDoneCurrent();
  const int centiseconds = static_cast<int>(std::lround(100.0 / e.recording.framesPerSecond));
  if (!frame || !e.writer->addFrame(*frame, centiseconds)) {
    platformShowNotice(NoticeKind::FileNotSaved, e.path + "\nits frames could not be written");
    finishExport(false);
    return;
  }
  ++e.next;
  if (e.next >= e.recording.frameCount) {
    finishExport(true);
    return;
  }
  statusShowProgress("Writing " + e.path + "...",
                     static_cast<int>(100 * e.next / std::max<std::size_t>(e.recording.frameCount, 1)));
  platformPostCommand(cmdGifStep);
}

bool cancelGifExport() {
  if (exporting == nullptr) return false;
  finishExport(false);
  return true;
}
