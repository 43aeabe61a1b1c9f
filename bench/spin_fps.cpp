// Frames per second of the viewer window while a model is dragged round,
// in each display style, and how long after the last move the model itself
// is on screen again: 1, 5 and 10 million triangles in an 800x600 drawing
// area, with Simplify While Moving on and off (the baseline) in one run.
// Run under a display: xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/spin_fps [MODEL...]
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/viewer_startup.h"
#include "platform/qt/qt_window.h"
#include "render/drawn_model.h"
#include "render/stand_in_use.h"
#include "bench_models.h"
#include "ui/shell.h"
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

void waitFor(const std::function<bool()>& done, int limitMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < limitMs) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

struct Drag {
  double framesPerSecond = 0.0;
  double restMs = 0.0;  // from the last move to the end of the full frame after it
  double simplifiedMs = 0.0;  // a simplified frame's draw time, on average
  unsigned long long fullFramesWhileDragged = 0;
};

// Drags the model round a circle for `seconds`, a mouse move every 8 ms as
// a quick hand gives, then lets go and waits for the model itself.
Drag drag(double seconds) {
  const int cx = shell.camera.viewWidth / 2, cy = shell.camera.viewHeight / 2;
  mouse(WindowMessage::LeftButtonDown, cx, cy);
  QElapsedTimer clock;
  clock.start();
  const unsigned long long start = windowFramesDrawn(), simplifiedBefore = shell.motion.simplifiedFrames;
  const double msBefore = shell.motion.simplifiedMsTotal;
  const unsigned long long fullAtStart = shell.motion.fullFrames;
  int step = 0;
  QTimer mover;
  QObject::connect(&mover, &QTimer::timeout, [&] {
    ++step;
    const double a = step * 0.05;
    mouse(WindowMessage::MouseMove, cx + static_cast<int>(std::lround(120 * std::cos(a))),
          cy + static_cast<int>(std::lround(90 * std::sin(a))));
  });
  mover.start(8);
  waitFor([&] { return clock.elapsed() >= static_cast<qint64>(seconds * 1000); }, 600000);
  mover.stop();
  Drag d;
  d.framesPerSecond = static_cast<double>(windowFramesDrawn() - start) / (static_cast<double>(clock.elapsed()) / 1000.0);
  d.fullFramesWhileDragged = shell.motion.fullFrames - fullAtStart;
  if (shell.motion.simplifiedFrames > simplifiedBefore) {
    d.simplifiedMs = (shell.motion.simplifiedMsTotal - msBefore) / static_cast<double>(shell.motion.simplifiedFrames - simplifiedBefore);
  }
  // Until nothing more is drawn: the last full frame then shows the last move.
  unsigned long long frames = windowFramesDrawn();
  QElapsedTimer quiet;
  quiet.start();
  waitFor([&] {
    if (windowFramesDrawn() != frames) frames = windowFramesDrawn(), quiet.restart();
    return quiet.elapsed() > 1500;
  }, 60000);
  d.restMs = (shell.motion.lastFullFrameEndedAt - shell.motion.lastMoveAt) * 1000.0;
  mouse(WindowMessage::LeftButtonUp, cx, cy);
  QTest::qWait(50);
  return d;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  const std::filesystem::path scratch = std::filesystem::temp_directory_path() / "tessera-spin-fps";
  std::filesystem::create_directories(scratch);
  setenv("XDG_CONFIG_HOME", scratch.c_str(), 1);
  std::vector<std::string> models;
  for (int i = 1; i < argc; ++i) models.emplace_back(argv[i]);
  if (models.empty()) {
    for (std::size_t millions : {1, 5, 10}) {
      const std::string path = (scratch / ("sphere-" + std::to_string(millions) + "m.ply")).string();
      if (!std::filesystem::exists(path) && !writeBinaryPly(makeBumpySphere(millions * 1'000'000), path)) return 1;
      models.push_back(path);
    }
  }
  std::filesystem::remove(scratch / "tessera" / "Tessera.ini");
  if (const char* budget = std::getenv("SPIN_FPS_BUDGET_MS")) shell.motion.budget.frameMs = std::atof(budget);
  startViewer({});
  if (!QTest::qWaitForWindowExposed(qtWindow.mainWindow)) return 1;
  const QSize extra = qtWindow.mainWindow->size() - qtWindow.mainWindow->view->size();
  qtWindow.mainWindow->resize(QSize(800, 600) + extra);
  QTest::qWait(200);
  std::printf("drawing area %dx%d\n", shell.camera.viewWidth, shell.camera.viewHeight);
  const struct {
    const char* name;
    int command;
  } styles[] = {{"solid", cmdSolid}, {"hidden-line", cmdHiddenLine}, {"wireframe", cmdWireframe}};

  for (const std::string& model : models) {
    command(cmdSolid);
    if (!shell.viewOptions.simplifyWhileMoving) command(cmdSimplifyWhileMoving);
    QElapsedTimer opening;
    opening.start();
    openFirstOf({model});
    const std::string wanted = std::filesystem::absolute(model).string();
    waitFor([&] {
      return !modelReadInProgress() && shell.shown.path == wanted && drawnModelOf(shell.shown) != nullptr &&
             !needsWeighing(shell.shown);
    }, 600000);
    const double shownAt = static_cast<double>(opening.elapsed()) / 1000.0;
    waitFor([] { return !standInInMaking(shell.shown); }, 60000);
    const StandIn* standIn = readyStandIn(shell.shown, DisplayStyle::Solid);
    std::printf("\n%s: %d polygons, shown after %.1f s\n", std::filesystem::path(model).filename().c_str(),
                shell.shown.model.empty() ? 0 : shell.shown.model[0].numFaces(), shownAt);
    if (standIn != nullptr) {
      const DrawnModel& drawn = *drawnModelOf(shell.shown);
      std::size_t bytes = 0;
      std::string levels;
      for (const StandIn& level : drawn.standIns) {
        bytes += level.bytes();
        levels += (levels.empty() ? "" : ", ") + std::to_string(level.triangles + level.points);
      }
      std::printf("stand-in: levels of %s triangles and points, %.1f MB (model %.1f MB), made in %.2f s\n",
                  levels.c_str(), static_cast<double>(bytes) / 1e6,
                  static_cast<double>(modelArrayBytes(shell.shown.model)) / 1e6, drawn.standInSeconds);
    } else {
      std::printf("stand-in: none (the model draws within the budget)\n");
    }
    for (const bool simplify : {true, false}) {
      if (shell.viewOptions.simplifyWhileMoving != simplify) command(cmdSimplifyWhileMoving);
      for (const auto& style : styles) {
        command(style.command);
        QTest::qWait(100);
        const Drag d = drag(simplify ? 3.0 : 4.0);
        const DrawnModel* drawn = drawnModelOf(shell.shown);
        const std::size_t level = drawn->levelOfStyle[static_cast<std::size_t>(shell.viewOptions.style)];
        std::printf("%-9s %-12s %6.1f frames/s while dragged (level %zu drawn in %4.1f ms; %llu full), model itself %5.0f ms after the last move\n",
                    simplify ? "simplify" : "baseline", style.name, d.framesPerSecond, simplify ? level : 0, d.simplifiedMs,
                    d.fullFramesWhileDragged, d.restMs);
        std::fflush(stdout);
      }
    }
  }
  return 0;
}
