// Long work off the window's thread, so that the window goes on as usual
// (and can say how far the work has come) instead of freezing.
#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include <memory>
#include <mutex>
#include <thread>

#include "platform/qt/qt_window.h"
#include "platform/window_system.h"

// What the work's thread shares with the window: whether its end is still
// awaited. The thread holds it, so it outlives the window's interest.
struct WorkEnd {
  std::mutex mutex;
  bool awaited = true;
};

struct BackgroundWork {
  std::shared_ptr<WorkEnd> end;
  std::function<void()> tick, finished;
  QTimer ticker;
};

namespace {

void workEnded(const std::shared_ptr<WorkEnd>& end) {
  // Dropped after the thread had posted this: nobody waits for it.
  if (qtWindow.work == nullptr || qtWindow.work->end != end) return;
  const std::function<void()> finished = std::move(qtWindow.work->finished);
  qtWindow.work.reset();
  finished();
}

}  // namespace

void startBackgroundWork(std::function<void()> work, std::function<void()> tick, std::function<void()> finished) {
  dropBackgroundWork();
  static const bool droppedAtQuit = [] {
    // The thread posts to the application: never after it has gone.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [] { dropBackgroundWork(); });
    return true;
  }();
  (void)droppedAtQuit;
  qtWindow.work = std::make_unique<BackgroundWork>();
  BackgroundWork& running = *qtWindow.work;
  running.end = std::make_shared<WorkEnd>();
  running.tick = std::move(tick);
  running.finished = std::move(finished);
  QObject::connect(&running.ticker, &QTimer::timeout, [&running] { running.tick(); });
  running.ticker.start(100);
  std::thread([end = running.end, work = std::move(work)]() mutable {
    work();
    work = nullptr;  // what the work held goes here, on its own thread
    const std::lock_guard<std::mutex> lock(end->mutex);
    if (end->awaited) QMetaObject::invokeMethod(qApp, [end] { workEnded(end); }, Qt::QueuedConnection);
  }).detach();
}

void dropBackgroundWork() {
  if (qtWindow.work == nullptr) return;
  {
    const std::lock_guard<std::mutex> lock(qtWindow.work->end->mutex);
    qtWindow.work->end->awaited = false;
  }
  qtWindow.work.reset();
}

namespace {

// The bar and its button, made the first time a read is slow.
QProgressBar* progressBar(bool make) {
  if (qtWindow.mainWindow == nullptr) return nullptr;
  QStatusBar* bar = qtWindow.mainWindow->statusBar();
  auto* progress = bar->findChild<QProgressBar*>("readProgress");
  if (progress != nullptr || !make) return progress;
  progress = new QProgressBar;
  progress->setObjectName("readProgress");
  progress->setMaximumWidth(260);
  auto* cancel = new QPushButton("Cancel");
  cancel->setObjectName("cancelRead");
  cancel->setFocusPolicy(Qt::NoFocus);  // Escape and the keys stay with the window
  QObject::connect(cancel, &QPushButton::clicked, [] { postMessage(WindowMessage::CancelRead, 0); });
  bar->addPermanentWidget(progress);
  bar->addPermanentWidget(cancel);
  return progress;
}

}  // namespace

void statusShowProgress(std::string_view text, int percent) {
  QProgressBar* progress = progressBar(true);
  if (progress == nullptr) return;
  // A range of nothing is Qt's busy bar.
  progress->setRange(0, percent < 0 ? 0 : 100);
  if (percent >= 0) progress->setValue(percent);
  progress->setFormat(qtText(text) + (percent >= 0 ? " %p%" : ""));
  progress->setTextVisible(true);
  progress->show();
  qtWindow.mainWindow->statusBar()->findChild<QPushButton*>("cancelRead")->show();
}

void statusHideProgress() {
  QProgressBar* progress = progressBar(false);
  if (progress == nullptr) return;
  progress->hide();
  qtWindow.mainWindow->statusBar()->findChild<QPushButton*>("cancelRead")->hide();
}
