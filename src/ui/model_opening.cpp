#include "ui/model_opening.h"

#include <chrono>
#include <filesystem>
#include <memory>

#include "formats/model_dispatch.h"
#include "platform/platform.h"
#include "platform/read_progress.h"
#include "platform/window_system.h"
#include "settings/recent_files.h"
#include "ui/interface_refresh.h"
#include "ui/shell.h"
#include "render/standard_views.h"
#include "render/view_fit.h"
#include "ui/view_commands.h"

using Clock = std::chrono::steady_clock;

// All a read's thread touches, shared with it: once the window stops
// waiting (a cancel, a pipe that never ends, a stalled network file) the
// thread runs on alone and this goes when it ends.
struct ModelRead {
  std::string path;
  ReadProgress progress;
  const FormatInfo* format = nullptr;
  ReadResult result{ReadFailure::None};
  Clock::time_point start = Clock::now();
  // Several files at once: the ones to try in turn should this one not be shown.
  std::vector<std::string> after;
};

namespace {

// The list and the title must work from any folder the viewer starts in.
std::string absolutePath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}

// Faces, lines or points: any vertex draws as one of them.
bool holdsSomethingToDraw(const Model& model) {
  for (const MeshObject& object : model) {
    if (object.numVertices() > 0) return true;
  }
  return false;
}

void tell(NoticeKind kind, const std::string& path, const std::string& reason = {}) {
  platformShowNotice(kind, reason.empty() ? path : path + "\n" + reason);
}

void tellWhyNot(const ReadResult& read, const std::string& path) {
  switch (read.failure) {
    case ReadFailure::None: tell(NoticeKind::FileEmpty, path); break;
    case ReadFailure::UnknownFormat: tell(NoticeKind::FileNotSupported, path); break;
    case ReadFailure::NotOpened: {
      std::error_code error;
      const bool there = std::filesystem::exists(path, error);
      tell(there ? NoticeKind::FileNotRead : NoticeKind::FileNotFound, path, read.userReason);
      break;
    }
    // The notice names the kind; the reader's reason (never the path again) says more where it has one.
    case ReadFailure::Damaged: tell(NoticeKind::FileDamaged, path, read.userReason); break;
    case ReadFailure::Refused: tell(NoticeKind::FileRefused, path, read.userReason); break;
  }
}

std::string fileName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A read says how far it has come once it has taken this long.
constexpr auto kQuietRead = std::chrono::milliseconds(500);

void tickRead(const ModelRead& read) {
  if (Clock::now() - read.start < kQuietRead) return;
  statusShowProgress("Reading " + fileName(read.path) + "...", read.progress.percent());
}

void showRead(ModelRead& read) {
  shell.reading.reset();
  statusHideProgress();
  const bool shown = read.result && holdsSomethingToDraw(read.result.model);
  if (shown) {
    drawingAreaMakeCurrent();  // the textures of the model it replaces go with their context
    showModel(shell.shown, std::move(read.result.model), read.format->id, read.path);
    drawingAreaDoneCurrent();
    // Every open starts at the model's first view, framed afresh and whole.
    shell.trackball.spinning = false;
    showFirstView(shell.camera, shell.shown, shell.viewOptions, shownUpAxis());
    // Only a model shown enters the list (or, opened from it, moves to its top).
    addRecentFile(shell.recent, read.path);
    keepRecentList();
    if (!read.after.empty()) {
      std::string details = "Opened: " + read.path;
      for (const std::string& rest : read.after) details += "\nNot opened: " + rest;
      platformShowNotice(NoticeKind::OneFileAtATime, details);
    }
  } else if (!read.after.empty()) {
    // The next of several: its failure, if it fails, joins this one's in the notice window.
    tellWhyNot(read.result, read.path);
    openFirstOf(read.after);
    return;
  } else {
    tellWhyNot(read.result, read.path);
    // A failed open frames the model on display afresh, whole as it stands turned.
    frameWorld(shell.camera, shell.shown.world);
    fitModelToView(shell.shown, shell.viewOptions, shell.camera);
  }
  refreshInterface();
  platformRequestRedraw();
}

}  // namespace

void openModel(std::string path) {
  stripSurroundingQuotes(path);
  cancelModelRead();
  auto read = std::make_shared<ModelRead>();
  read->path = absolutePath(path);
  shell.reading = read;
  startBackgroundWork(
      [read] {
        const ReadingFor reading(read->progress);
        read->result = readModelFile(read->path.c_str(), read->format);
      },
      [read] { tickRead(*read); }, [read] { showRead(*read); });
}

bool cancelModelRead() {
  if (shell.reading == nullptr) return false;
  shell.reading->progress.cancelled = true;  // the reader stops where it counts its progress
  shell.reading.reset();
  dropBackgroundWork();
  statusHideProgress();
  return true;
}

bool modelReadInProgress() { return shell.reading != nullptr; }

void openFirstOf(const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  openModel(paths.front());
  shell.reading->after.assign(paths.begin() + 1, paths.end());
}

void keepRecentList() {
  if (const WriteResult written = writeRecentList(shell.recent); !written) tellSettingsNotSaved(written.reason);
}

void tellSettingsNotSaved(const std::string& reason) {
  if (shell.settingsProblemTold) return;
  shell.settingsProblemTold = true;
  platformShowNotice(NoticeKind::SettingsNotSaved, reason);
}
