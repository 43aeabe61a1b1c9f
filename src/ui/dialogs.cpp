#include "ui/dialogs.h"

#include "formats/reader_support.h"
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
  // open by their last three characters too.
  return choose({false, "*.*",
                 {{"(*.*) All Files", "*"},
                  {"(.3ds) 3D Studio Object", "*.3ds"},
                  {"(.cob) Truespace Object", "*.cob"},
                  {"(.dxf) Autodesk's DXF format", "*.dxf"},
                  {"(.lwo) Lightwave", "*.lwo"},
                  {"(.md2) Quake 2 model", "*.md2"},
                  {"(.mdl) Quake 1 model", "*.mdl"},
                  {"(.obj) Wavefront", "*.obj"},
                  {"(.off) OFF", "*.off"},
                  {"(.vtk) Visualization Toolkit", "*.vtk"}}},
                destination);
}

int chooseOffSavePath(std::string& destination) {
  return choose({true, "untitled.off", {{"(.off) OFF format", "*.off"}}}, destination);
}

int chooseBackgroundPath(std::string& destination) {
  return choose({false, "*.bmp", {{"(.bmp) Windows bitmap", "*.bmp"}}}, destination);
}

int chooseImageSavePath(std::string& destination) {
  return choose({true, "untitled.bmp", {{"(.bmp) Windows bitmap (24 bit)", "*.bmp"}}}, destination);
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

void showAboutBox() {
  int x = 0, y = 0;
  noticePosition(x, y);
  platformShowNotice(NoticeKind::About, x, y);
}
