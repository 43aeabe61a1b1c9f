#include "ui/dialogs.h"

#include "formats/format_table.h"
#include "platform/platform.h"
#include "platform/window_system.h"

namespace {

int choose(const FileChooser& chooser, std::string& destination) {
  std::string path;
  if (chooseFile(chooser, path) != 0 || path.empty()) return -1;
  destination = path;
  return 0;
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
  FileChooser chooser{false, "*.*", {{"(*.*) All Files", "*"}}};
  for (std::size_t k = 0; k < formatTable().size(); ++k) {
    const FormatInfo& format = formatTable()[k];
    if (format.chooserFilter != nullptr) chooser.filters.push_back({format.chooserFilter, patterns[k].c_str()});
  }
  return choose(chooser, destination);
}

int chooseOffSavePath(std::string& destination) {
  return choose({true, "untitled.off", {{"(.off) OFF format", "*.off"}}}, destination);
}

int chooseBackgroundPath(std::string& destination) {
  return choose({false, "*.bmp", {{"(.bmp .png .jpg) Pictures", "*.bmp *.png *.jpg *.jpeg"},
                                  {"(.bmp) Windows bitmap", "*.bmp"},
                                  {"(.png) PNG picture", "*.png"},
                                  {"(.jpg) JPEG picture", "*.jpg *.jpeg"}}},
                destination);
}

int chooseImageSavePath(std::string& destination) {
  // The name chosen says what is written: ".png" a PNG picture, else BMP.
  return choose({true, "untitled.bmp", {{"(.bmp) Windows bitmap (24 bit)", "*.bmp"}, {"(.png) PNG picture", "*.png"}}},
                destination);
}

int chooseColor(Color& destination) {
  int red = 0, green = 0, blue = 0;
  if (!chooseColorChannels(red, green, blue)) return 0;
  // The single-precision value nearest 1/255: a channel of 255 gives
  // 0.99999994, as the settings file has always stored it.
  constexpr float kScale = 0.003921569f;
  destination = {static_cast<float>(red) * kScale, static_cast<float>(green) * kScale,
                 static_cast<float>(blue) * kScale};
  return 1;
}

void showAboutBox() { platformShowNotice(NoticeKind::About); }
