// Long work off the window's thread, so that the window keeps drawing (and
// can say how far the work has come) instead of freezing.
#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <thread>

#include "platform/qt/qt_window.h"
#include "platform/window_system.h"

void runWhileWindowDraws(const std::function<void()>& work, const std::function<void()>& tick) {
  QEventLoop loop;
  std::atomic<bool> done{false};
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
    if (done) {
      loop.quit();
      return;
    }
    tick();
  });
  std::thread worker([&] {
    work();
    done = true;
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  timer.start(100);
  // Clicks, keys and drops would reach a shell that is in the middle of
  // its work.
  qtWindow.windowBusy = true;
  while (!done) loop.exec(QEventLoop::ExcludeUserInputEvents);
  worker.join();
  qtWindow.windowBusy = false;
  if (qtWindow.closeWhenIdle && qtWindow.mainWindow != nullptr) {
    qtWindow.closeWhenIdle = false;
    QMetaObject::invokeMethod(qtWindow.mainWindow, &QWidget::close, Qt::QueuedConnection);
  }
}
