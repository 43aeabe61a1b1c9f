#include "ui/model_opening.h"

#include <filesystem>

#include "formats/model_dispatch.h"
#include "platform/platform.h"
#include "settings/recent_files.h"
#include "ui/shell_state.h"

namespace {

// The list and the title must work from any folder the viewer starts in.
std::string absolutePath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}

bool holdsFaces(const Model& model) {
  for (const MeshObject& object : model) {
    if (object.numFaces() > 0) return true;
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
      tell(there ? NoticeKind::FileNotRead : NoticeKind::FileNotFound, path, read.reason);
      break;
    }
    case ReadFailure::Damaged:
      tell(NoticeKind::FileDamaged, path, read.reason == "is damaged or truncated" ? "" : read.reason);
      break;
    case ReadFailure::Refused: tell(NoticeKind::FileRefused, path, read.reason); break;
  }
}

}  // namespace

bool openModel(std::string path, bool fromRecentList) {
  stripSurroundingQuotes(path);
  path = absolutePath(path);
  const FormatInfo* format = nullptr;
  ReadResult read = readModelFile(path.c_str(), format);
  const bool shown = read && holdsFaces(read.model);
  if (shown) {
    showModel(std::move(read.model), format->id);
    currentPath = path;
  } else {
    tellWhyNot(read, path);
  }
  if (read.failure == ReadFailure::UnknownFormat) return false;
  if (!fromRecentList) {
    addRecentFile(path);
    keepRecentList();
  }
  platformRequestRedraw();
  return shown;
}

void keepRecentList() {
  if (const WriteResult written = writeRecentList(); !written) tellSettingsNotSaved(written.reason);
}

void tellSettingsNotSaved(const std::string& reason) {
  if (settingsProblemTold) return;
  settingsProblemTold = true;
  platformShowNotice(NoticeKind::SettingsNotSaved, reason);
}
