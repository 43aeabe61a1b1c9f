#pragma once
// A fresh viewer per test case: its own configuration folder, the program's
// state reset, the window made by the real start-up and torn down after.

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <memory>
#include <string>

#include "app/viewer_startup.h"
#include "model/current_model.h"
#include "platform/qt/qt_window.h"
#include "platform/window_system.h"
#include "render/background.h"
#include "render/rotation.h"
#include "render/view_setup.h"
#include "support/temp_dir.h"
#include "ui/shell_state.h"
#include "ui/trackball.h"

inline QList<QWidget*> visibleBoxes(const char* name) {
  QList<QWidget*> found;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == name && widget->isVisible()) found << widget;
  }
  return found;
}

class ViewerFixture {
 public:
  ViewerFixture() {
    resetShellState();
    resetViewSetup();
    resetTrackball();
    resetRotation();
    rotationAngle = 0.0f;
    rotationAxis[0] = rotationAxis[1] = rotationAxis[2] = 0.0f;
    backgroundShown = false;
    fileChooserHook = nullptr;
    colorChooserHook = nullptr;
    messageBoxHook = nullptr;
  }
  ~ViewerFixture() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->objectName() == "noticeBox" || widget->objectName() == "aboutBox") delete widget;
    }
    destroyWindowWidgets();
    fileChooserHook = nullptr;
    colorChooserHook = nullptr;
    messageBoxHook = nullptr;
  }
  const TempDir& dir() const { return state.dir(); }

 private:
  IsolatedState state;
};
