#include "ui/model_opening.h"

#include <chrono>
#include <filesystem>

#include "formats/model_dispatch.h"
#include "platform/platform.h"
#include "platform/read_progress.h"
#include "platform/window_system.h"
#include "settings/recent_files.h"
#include "ui/shell.h"
#include "render/view_fit.h"

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

// Reads while the window goes on drawing; a read that takes longer than half
// a second says how far it has come in the status bar.
ReadResult readShowingProgress(const std::string& path, const FormatInfo*& format) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  const std::string before = statusText(1);
  bool told = false;
  ReadResult read(ReadFailure::None);
  readProgress.reset();
  runWhileWindowDraws([&] { read = readModelFile(path.c_str(), format); },
                      [&] {
                        if (Clock::now() - start < std::chrono::milliseconds(500)) return;
                        std::string text = "Reading " + fileName(path) + "...";
                        if (const int percent = readProgress.percent(); percent >= 0) {
                          text += " " + std::to_string(percent) + "%";
                        }
                        statusSetText(1, text);
                        told = true;
                      });
  if (told) statusSetText(1, before);
  return read;
}

}  // namespace

bool openModel(std::string path) {
  stripSurroundingQuotes(path);
  path = absolutePath(path);
  const FormatInfo* format = nullptr;
  ReadResult read = readShowingProgress(path, format);
  const bool shown = read && holdsSomethingToDraw(read.model);
  if (shown) {
    drawingAreaMakeCurrent();  // the textures of the model it replaces go with their context
    showModel(shell.shown, std::move(read.model), format->id, path);
    drawingAreaDoneCurrent();
    // Every open frames the new World afresh: no zoom, no pan.
    frameWorld(shell.camera, shell.shown.world);
    fitModelToView(shell.shown, shell.viewOptions, shell.camera);  // the whole model in the first picture
  } else {
    tellWhyNot(read, path);
  }
  if (read.failure == ReadFailure::UnknownFormat) return false;
  // Only a model shown enters the list (or, opened from it, moves to its top);
  // a failed open says why and leaves the list as it was.
  if (shown) {
    addRecentFile(shell.recent, path);
    keepRecentList();
  }
  platformRequestRedraw();
  return shown;
}

bool openFirstOf(const std::vector<std::string>& paths) {
  const NoticeGathering gathering;
  for (std::size_t k = 0; k < paths.size(); ++k) {
    if (!openModel(paths[k])) continue;
    if (k + 1 < paths.size()) {
      std::string details = "Opened: " + paths[k];
      for (std::size_t rest = k + 1; rest < paths.size(); ++rest) details += "\nNot opened: " + paths[rest];
      platformShowNotice(NoticeKind::OneFileAtATime, details);
    }
    return true;
  }
  return false;
}

void keepRecentList() {
  if (const WriteResult written = writeRecentList(shell.recent); !written) tellSettingsNotSaved(written.reason);
}

void tellSettingsNotSaved(const std::string& reason) {
  if (shell.settingsProblemTold) return;
  shell.settingsProblemTold = true;
  platformShowNotice(NoticeKind::SettingsNotSaved, reason);
}
