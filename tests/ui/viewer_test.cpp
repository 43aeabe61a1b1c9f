// The viewer under a real (virtual) display: start-up, refresh, boxes, and
// the drawing area against the offscreen renderer.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <memory>

#include "app/viewer_startup.h"
#include "formats/model_dispatch.h"
#include "model/current_model.h"
#include "model/world.h"
#include "platform/platform.h"
#include "platform/qt/qt_window.h"
#include "platform/window_system.h"
#include "render/background.h"
#include "render/image_export.h"
#include "render/view_setup.h"
#include "settings/recent_files.h"
#include "settings/settings_file.h"
#include "settings/view_options.h"
#include "support/mesh_builders.h"
#include "support/temp_dir.h"
#include "ui/interface_refresh.h"
#include "ui/shell_state.h"
#include "ui/window_messages.h"
#include "viewer_fixture.h"

namespace {

void writeSettingsFile(const std::string& text) {
  writeTextFile(settingsPath("Tessera.ini"), text);
}

std::string settingsLines(const char* flags, const char* level, const char* geometry) {
  return std::string("1.1_BETA Tessera\n") + flags + level + "\n" + "0\n1\n0\n1\n0\n1\n1\n" +
         "1.000000 1.000000 1.000000\n0.000000 0.501961 1.000000\n" + geometry + "\n";
}

}  // namespace

class ViewerTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<ViewerFixture> state;

 private slots:
  void init() { state = std::make_unique<ViewerFixture>(); }
  void cleanup() { state.reset(); }

  void startsEmptyWithoutACommandLine() {
    startViewer("");
    QVERIFY(QTest::qWaitForWindowExposed(mainWindow));
    QCOMPARE(mainWindow->windowTitle(), QString("Tessera"));
    QCOMPARE(statusText(0), std::string("No file loaded"));
    QCOMPARE(statusText(1), std::string("Polygons: 0 Vertices: 0"));
    QVERIFY(!modelLoaded);
    QVERIFY(!menuIsEnabled(cmdSaveAs));
    // A fresh settings file: solid, axes, box, pivot at the centre, 30%.
    QVERIFY(menuIsChecked(cmdSolid) && toolbarIsChecked(5));
    QVERIFY(menuIsChecked(cmdAxes) && toolbarIsChecked(8));
    QVERIFY(menuIsChecked(cmdBoundingBox) && toolbarIsChecked(9));
    QVERIFY(menuIsChecked(cmdPivotCenter));
    QVERIFY(menuIsChecked(40054));
    QVERIFY(menuIsChecked(cmdSaveSettingsOnExit));
    QVERIFY(!menuIsChecked(cmdCenterOfMass) && !toolbarIsChecked(10));
  }

  void opensAQuotedPathWithBlanks() {
    const std::string dir = state->dir().file("my models");
    QVERIFY(QDir().mkpath(QString::fromStdString(dir)));
    const std::string path = dir + "/torus.off";
    writeTextFile(path, offText(makeTorus(8, 6, 2.0f, 0.5f)));
    startViewer("\"" + path + "\"");
    QVERIFY(modelLoaded);
    QCOMPARE(mainWindow->windowTitle(), QString("torus.off - Tessera"));
    QCOMPARE(statusText(0), std::string("OFF format"));
    QCOMPARE(statusText(1), std::string("Polygons: 48  Vertices: 48"));
    QCOMPARE(recentFiles[0].path, path);
    QVERIFY(menuIsEnabled(cmdSaveAs));
  }

  void missingFileShowsItsBoxBeforeTheWindow() {
    const std::string path = state->dir().file("gone.off");
    startViewer(path);
    const QList<QWidget*> notices = visibleBoxes("noticeBox");
    QCOMPARE(notices.size(), 1);
    QVERIFY(notices[0]->parentWidget() == nullptr);  // no window existed yet
    QCOMPARE(notices[0]->pos(), QPoint(225, 250));
    QCOMPARE(notices[0]->property("noticeText").toString(),
             QString("FILE NOT FOUND: It may have been moved or deleted."));
    QCOMPARE(notices[0]->size(), QSize(246, 91));
    QVERIFY(!modelLoaded);
    QCOMPARE(statusText(0), std::string("No file loaded"));
    QCOMPARE(recentCount, 1);
    QCOMPARE(recentFiles[0].path, path);
  }

  void savedGeometryIsAppliedAndWrittenBackOnExit() {
    platformConfigDirectory();  // makes the folder for the file written next
    writeSettingsFile(settingsLines("0\n1\n0\n0\n", "0.300000", "100 120 500 360 1"));
    startViewer("");
    QVERIFY(QTest::qWaitForWindowExposed(mainWindow));
    QCOMPARE(mainWindow->frameGeometry(), QRect(100, 120, 500, 360));
    mainWindow->move(200, 210);
    mainWindow->resize(600, 400);
    QTRY_COMPARE(windowGeometry.windowX, 200);
    QTRY_COMPARE(windowGeometry.windowWidth, 600);
    QCOMPARE(finishViewer(0), 0);
    const std::string saved = readTextFile(settingsPath("Tessera.ini"));
    QVERIFY2(saved.find("\n200 210 600 400 1\n") != std::string::npos, saved.c_str());
  }

  void showStateThreeMaximises() {
    platformConfigDirectory();  // makes the folder for the file written next
    writeSettingsFile(settingsLines("0\n1\n0\n0\n", "0.300000", "150 150 400 400 3"));
    startViewer("");
    QTRY_VERIFY(mainWindow->isMaximized());
  }

  void refreshShowsEveryFlagAndTheRecentList() {
    platformConfigDirectory();  // makes the folder for the file written next
    // All flags set, a level no item has.
    writeTextFile(settingsPath("Tessera.ini"),
                  "1.1_BETA Tessera\n1\n1\n1\n1\n0.250000\n1\n1\n1\n1\n1\n1\n1\n"
                  "1 1 1\n0 0 0\n150 150 400 400 1\n");
    writeTextFile(recentListPath(), "3\n8\n/m/a.off\n8\n/m/b.off\n8\n/m/c.off\n");
    startViewer("");
    for (int command : {cmdCenterOfMass, cmdAxes, cmdZoomDependentRotation, cmdInertialRotation,
                        cmdHiddenLine, cmdPivotCenter, cmdPivotOrigin, cmdBoundingBox, cmdWireframe,
                        cmdSolid, cmdSaveSettingsOnExit}) {
      QVERIFY2(menuIsChecked(command), std::to_string(command).c_str());
    }
    for (int button : {3, 4, 5, 8, 9, 10, 11}) QVERIFY2(toolbarIsChecked(button), std::to_string(button).c_str());
    for (int item = 40051; item <= 40061; ++item) QVERIFY(!menuIsChecked(item));
    QCOMPARE(menuItemsOfPopup("&Recent"), (std::vector<int>{30000, 30001, 30002, 40000, 40036}));
    QVERIFY(!menuIsEnabled(cmdClearBackground));

    // A model of two objects: 6 + 4 faces, 8 + 4 vertices.
    Model model{makeObject(std::vector<float>(24, 0.0f), std::vector<std::vector<std::int32_t>>(6, {0, 1, 2})),
                makeObject(std::vector<float>(12, 0.0f), std::vector<std::vector<std::int32_t>>(4, {0, 1, 2}))};
    objectCount = 2;
    currentModel = std::move(model);
    modelLoaded = true;
    currentPath = "/models/pair.dxf";
    backgroundShown = true;
    refreshInterface();
    QCOMPARE(statusText(1), std::string("Polygons: 10  Vertices: 12"));
    QCOMPARE(statusText(0), std::string("Autodesk format"));
    QCOMPARE(mainWindow->windowTitle(), QString("pair.dxf - Tessera"));
    QVERIFY(menuIsEnabled(cmdClearBackground));
  }

  void boxesStandOverTheWindowAndCloseOneByOne() {
    startViewer("");
    QVERIFY(QTest::qWaitForWindowExposed(mainWindow));
    std::string missing = state->dir().file("a.off");
    openModelFile(missing, 0);
    missing = state->dir().file("b.off");
    openModelFile(missing, 0);
    std::string unknown = state->dir().file("c.md3");
    openModelFile(unknown, 0);
    const QList<QWidget*> notices = visibleBoxes("noticeBox");
    QCOMPARE(notices.size(), 3);
    for (QWidget* box : notices) {
      QCOMPARE(box->pos(), QPoint(225, 250));
      QCOMPARE(box->parentWidget(), static_cast<QWidget*>(mainWindow));
    }
    QPushButton* ok = notices[0]->findChild<QPushButton*>();
    QVERIFY(ok != nullptr);
    QTest::mouseClick(ok, Qt::LeftButton);
    QTRY_COMPARE(visibleBoxes("noticeBox").size(), 2);
  }

  void drawingAreaMatchesTheOffscreenRenderer() {
    const std::string model = std::string(TESSERA_SOURCE_DIR) + "/samples/torus.off";
    startViewer(model);
    QVERIFY(QTest::qWaitForWindowExposed(mainWindow));
    mainWindow->view->grabFramebuffer();  // a frame drawn into the surface
    const int width = mainWindow->view->deviceWidth(), height = mainWindow->view->deviceHeight();
    QCOMPARE(viewWidth, width);
    QCOMPARE(viewHeight, height);
    mainWindow->view->makeCurrent();
    const std::string fromWindow = state->dir().file("window.bmp");
    QCOMPARE(exportImage(fromWindow.c_str()), 0);
    mainWindow->view->doneCurrent();

    const std::string fromTool = state->dir().file("tool.bmp");
    const int status = QProcess::execute(
        TESSERA_TOOL_PATH, {"render", QString::fromStdString(model), QString::fromStdString(fromTool),
                            "--size", QString("%1x%2").arg(width).arg(height)});
    QCOMPARE(status, 0);
    const std::string a = readTextFile(fromWindow), b = readTextFile(fromTool);
    QCOMPARE(a.size(), b.size());
    // The same frame to the level, but for the bounding box: its contrast
    // colour has channels of exactly 0.5, which the window's and the
    // offscreen drivers round to 127 or 128 on a few pixels each.
    int different = 0, largest = 0;
    for (std::size_t k = 54; k < a.size(); ++k) {
      const int gap = std::abs(static_cast<unsigned char>(a[k]) - static_cast<unsigned char>(b[k]));
      different += gap != 0 ? 1 : 0;
      largest = std::max(largest, gap);
    }
    QVERIFY2(largest <= 1, std::to_string(largest).c_str());
    QVERIFY2(different <= static_cast<int>(a.size() / 1000), std::to_string(different).c_str());
  }
};

QTEST_MAIN(ViewerTest)
#include "viewer_test.moc"
