#include "ui/dialogs.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "formats/format_table.h"
#include "formats/model_dispatch.h"
#include "platform/platform.h"
#include "platform/window_system.h"
#include "ui/shell.h"

namespace {

int choose(const FileChooser& chooser, std::string& destination, int* filter = nullptr) {
  std::string path;
  if (chooseFile(chooser, path, filter) != 0 || path.empty()) return -1;
  destination = path;
  shell.lastFolder = std::filesystem::path(path).parent_path().string();
  return 0;
}

// Choosers open by the model on display, else where the last one left off,
// else in the home folder.
std::string startingFolder() {
  if (shell.shown.hasModel() && !shell.shown.path.empty()) return std::filesystem::path(shell.shown.path).parent_path().string();
  if (!shell.lastFolder.empty()) return shell.lastFolder;
  const char* home = std::getenv("HOME");
  return home != nullptr ? home : "";
}

// The model's name with another ending, or "untitled" with it.
std::string proposedName(const char* ending) {
  if (!shell.shown.hasModel() || shell.shown.path.empty()) return std::string("untitled") + ending;
  return std::filesystem::path(shell.shown.path).stem().string() + ending;
}

}  // namespace

int chooseModelPath(std::string& destination) {
  // "All Files" matches every name: names without a dot (such as "handoff")
  // open by their endings too.
  static const std::vector<std::string> patterns = [] {
    std::vector<std::string> list;
    for (const FormatInfo& format : formatTable()) list.push_back(std::string("*.") + format.ending);
    return list;
  }();
  static const std::string allModels = [] {
    std::string all;
    for (const std::string& pattern : patterns) all += (all.empty() ? "" : " ") + pattern;
    return all;
  }();
  FileChooser chooser{false, "", {{"All supported models", allModels.c_str()}, {"(*.*) All Files", "*"}},
                      startingFolder()};
  // Rows in turn that share a filter are one entry with all their endings.
  static const std::vector<std::pair<const char*, std::string>> entries = [] {
    std::vector<std::pair<const char*, std::string>> list;
    for (std::size_t k = 0; k < formatTable().size(); ++k) {
      const char* filter = formatTable()[k].chooserFilter;
      if (filter == nullptr) continue;
      if (!list.empty() && std::strcmp(list.back().first, filter) == 0) list.back().second += " " + patterns[k];
      else list.push_back({filter, patterns[k]});
    }
    return list;
  }();
  for (const auto& [filter, entryPatterns] : entries) chooser.filters.push_back({filter, entryPatterns.c_str()});
  return choose(chooser, destination);
}

int chooseOffSavePath(std::string& destination) {
  return choose({true, proposedName(".off"), {{"(.off) OFF format", "*.off"}}, startingFolder()}, destination);
}

int chooseGifSavePath(std::string& destination) {
  if (choose({true, proposedName(".gif"), {{"(.gif) Animated GIF", "*.gif", ".gif"}}, startingFolder(), "Export Animated GIF"},
             destination) != 0) {
    return -1;
  }
  if (std::filesystem::path(destination).extension().empty()) destination += ".gif";
  return 0;
}

int chooseBackgroundPath(std::string& destination) {
  return choose({false, "", {{"(.bmp .png .jpg) Pictures", "*.bmp *.png *.jpg *.jpeg"},
                                  {"(.bmp) Windows bitmap", "*.bmp"},
                                  {"(.png) PNG picture", "*.png"},
                                  {"(.jpg) JPEG picture", "*.jpg *.jpeg"}},
                 startingFolder()},
                destination);
}

int chooseImageSavePath(std::string& destination) {
  const std::vector<FileFilter> filters = {{"(.png) PNG picture", "*.png", ".png"},
                                           {"(.bmp) Windows bitmap (24 bit)", "*.bmp", ".bmp"},
                                           {"(.jpg) JPEG picture", "*.jpg *.jpeg", ".jpg"}};
  int filter = 0;
  if (choose({true, proposedName(".png"), filters, startingFolder(), "Export Image"}, destination, &filter) != 0) {
    return -1;
  }
  // The name's ending says what is written; a name without one (no dot, as
  // the chooser itself reads names) takes the filter's.
  if (std::filesystem::path(destination).filename().string().find('.') == std::string::npos) {
    destination += filters[static_cast<std::size_t>(std::clamp(filter, 0, static_cast<int>(filters.size()) - 1))].ending;
  }
  return 0;
}

int chooseColor(Color& destination, std::string_view title) {
  // The chooser opens at the colour in use.
  const auto channel = [](float c) { return static_cast<int>(std::lround(std::clamp(c, 0.0f, 1.0f) * 255.0f)); };
  int red = channel(destination.r), green = channel(destination.g), blue = channel(destination.b);
  if (!chooseColorChannels(red, green, blue, title)) return 0;
  // The single-precision value nearest 1/255: a channel of 255 gives
  // 0.99999994, as the settings file has always stored it.
  constexpr float kScale = 0.003921569f;
  destination = {static_cast<float>(red) * kScale, static_cast<float>(green) * kScale,
                 static_cast<float>(blue) * kScale};
  return 1;
}

void showAboutBox() { platformShowNotice(NoticeKind::About); }
