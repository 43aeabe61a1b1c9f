// From process start to the first frame that shows a model: the viewer is
// started the way its main() starts it, in an 800x600 drawing area, on a
// fresh settings folder. Prints the times at which the window was first
// drawn, the model was read and the first frame with the model was drawn,
// and the last progress the status bar showed while reading.
//   first_frame MODEL START-NS  (START-NS: `date +%s%N` taken just before;
//   under a display, e.g. xvfb-run -a -s "-screen 0 1280x1024x24")
#include <QApplication>
#include <QProgressBar>
#include <QTimer>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/viewer_startup.h"
#include "formats/model_dispatch.h"
#include "platform/window_system.h"
#include "render/scene.h"
#include "render/view_setup.h"
#include "settings/settings_file.h"
#include "settings/view_options.h"
#include "ui/model_opening.h"
#include "ui/shell.h"

namespace {

long long startNs = 0;

double msSinceStart() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() - startNs) / 1e6;
}

// Window chrome around the drawing area on the test display (menu bar,
// toolbar, status bar, frame); the drawing area found is printed to check.
constexpr int kChromeWidth = 0, kChromeHeight = 71;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: first_frame MODEL START-NS\n", stderr);
    return 2;
  }
  startNs = std::atoll(argv[2]);
  const std::filesystem::path scratch = std::filesystem::temp_directory_path() / "tessera-first-frame";
  std::filesystem::create_directories(scratch);
  setenv("XDG_CONFIG_HOME", scratch.c_str(), 1);
  const WindowGeometry geometry{100, 100, 800 + kChromeWidth, 600 + kChromeHeight, 1};
  if (!writeSettings("Tessera.ini", firstRunViewOptions(), geometry)) return 1;

  QApplication application(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  // The window is drawn while the model is read: note when it first is.
  double windowDrawn = -1;
  std::string progress = "none";
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (windowFramesDrawn() > 0 && windowDrawn < 0) windowDrawn = msSinceStart();
    for (const QWidget* widget : QApplication::allWidgets()) {
      const auto* bar = qobject_cast<const QProgressBar*>(widget);
      if (bar != nullptr && bar->isVisible()) progress = bar->text().toStdString();
    }
  });
  watch.start(1);
  startViewer({argv[1]});
  while (modelReadInProgress()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  const double read = msSinceStart();
  if (!shell.shown.hasModel()) return 1;
  // The next frame is the first that holds the model.
  const unsigned long long before = windowFramesDrawn();
  while (windowFramesDrawn() == before) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  const double firstFrame = msSinceStart();
  std::printf("drawing area %dx%d  window drawn %.0f ms  model read %.0f ms  first frame with it %.0f ms"
              "  (last progress shown: %s)\n",
              shell.camera.viewWidth, shell.camera.viewHeight, windowDrawn, read, firstFrame, progress.c_str());
  return 0;
}
