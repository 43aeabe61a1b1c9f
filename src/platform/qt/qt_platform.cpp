// The platform layer for the viewer.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

#include "platform/platform.h"
#include "platform/qt/qt_window.h"
#include "platform/window_system.h"

void platformDebugOutput(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  if (text.empty() || text.back() != '\n') std::fputc('\n', stderr);
}

void platformMessageBox(std::string_view text, std::string_view caption) {
  if (qtWindow.messageBoxHook != nullptr) {
    qtWindow.messageBoxHook(text, caption);
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())),
                  QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), QMessageBox::Ok,
                  qtWindow.mainWindow);
  box.exec();
}

void platformRequestRedraw() {
  if (qtWindow.mainWindow == nullptr || qtWindow.mainWindow->view == nullptr) return;
  // Moves between two refreshes make one frame, drawn at the next refresh.
  const int wait = millisecondsToNextRefresh();
  if (wait <= 0) {
    qtWindow.mainWindow->view->update();
    return;
  }
  if (qtWindow.redrawWaiting) return;
  qtWindow.redrawWaiting = true;
  QTimer::singleShot(wait, qApp, [] {
    qtWindow.redrawWaiting = false;
    if (qtWindow.mainWindow != nullptr && qtWindow.mainWindow->view != nullptr) qtWindow.mainWindow->view->update();
  });
}

// The drawing area composes its frame itself after paintGL.
void platformSwapBuffers() {}
