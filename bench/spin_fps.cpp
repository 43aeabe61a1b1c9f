// Frames per second of the viewer window while a model spins on, in each
// display style: a 100,352-triangle grid in an 800x600 drawing area.
// Run under a display: xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/spin_fps [MODEL]
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <clocale>
#include <cstdio>
#include <filesystem>

#include "app/viewer_startup.h"
#include "platform/qt/qt_window.h"
#include "render/scene.h"
#include "render/view_setup.h"
#include "bench_models.h"
#include "ui/shell.h"
#include "ui/trackball.h"
#include "ui/command_numbers.h"
#include "ui/main_window.h"
#include "ui/model_opening.h"

namespace {

void mouse(WindowMessage id, int x, int y) {
  Message message(id);
  message.x = x;
  message.y = y;
  mainWindowProc(message);
}

void command(int number) {
  Message message(WindowMessage::Command);
  message.command = number;
  mainWindowProc(message);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  const std::filesystem::path scratch = std::filesystem::temp_directory_path() / "tessera-spin-fps";
  std::filesystem::create_directories(scratch);
  setenv("XDG_CONFIG_HOME", scratch.c_str(), 1);
  // A model file given on the command line spins instead of the grid.
  const std::string model = argc > 1 ? std::string(argv[1]) : (scratch / "grid.off").string();
  if (argc <= 1) {
    std::FILE* file = std::fopen(model.c_str(), "w");
    const std::string text = offText(makeTriangleGrid(224));  // 100,352 triangles
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
  std::filesystem::remove(scratch / "tessera" / "Tessera.ini");
  startViewer({model});
  if (!QTest::qWaitForWindowExposed(qtWindow.mainWindow)) return 1;
  while (modelReadInProgress()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  // An 800x600 drawing area.
  const QSize extra = qtWindow.mainWindow->size() - qtWindow.mainWindow->view->size();
  qtWindow.mainWindow->resize(QSize(800, 600) + extra);
  QTest::qWait(200);
  std::printf("drawing area %dx%d\n", shell.camera.viewWidth, shell.camera.viewHeight);

  const struct {
    const char* name;
    int command;
  } styles[] = {{"solid", cmdSolid}, {"hidden-line", cmdHiddenLine}, {"wireframe", cmdWireframe}};
  command(cmdInertialRotation);
  for (const auto& style : styles) {
    command(style.command);
    const int cx = shell.camera.viewWidth / 2, cy = shell.camera.viewHeight / 2;
    mouse(WindowMessage::LeftButtonDown, cx, cy);
    mouse(WindowMessage::MouseMove, cx + 8, cy + 3);
    mouse(WindowMessage::LeftButtonUp, cx + 8, cy + 3);
    QTest::qWait(300);  // settle into the spin
    const unsigned long long start = windowFramesDrawn();
    QElapsedTimer timer;
    timer.start();
    QTest::qWait(3000);
    const double seconds = static_cast<double>(timer.elapsed()) / 1000.0;
    std::printf("%-12s %6.1f frames/s while spinning\n", style.name,
                static_cast<double>(windowFramesDrawn() - start) / seconds);
    mouse(WindowMessage::LeftButtonDown, cx, cy);  // stop
    QTest::qWait(5);
    mouse(WindowMessage::LeftButtonUp, cx, cy);
  }
  return shell.trackball.spinning ? 1 : 0;
}
