// The viewer under a real (virtual) display, through its start-up, its one
// message handler and the real widgets: refresh, boxes, commands, drops, the
// mouse, and the drawing area against the offscreen renderer.
#include <GL/gl.h>

#include <QAction>
#include <QApplication>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QUrl>

#include <cmath>
#include <memory>

#include "app/viewer_startup.h"
#include "formats/model_dispatch.h"
#include "model/world.h"
#include "platform/platform.h"
#include "platform/qt/qt_window.h"
#include "platform/window_system.h"
#include "render/background.h"
#include "render/image_export.h"
#include "render/rotation.h"
#include "render/view_setup.h"
#include "settings/recent_files.h"
#include "settings/settings_file.h"
#include "settings/view_options.h"
#include "support/mesh_builders.h"
#include "support/picture_files.h"
#include "support/temp_dir.h"
#include "ui/command_numbers.h"
#include "ui/interface_refresh.h"
#include "ui/main_window.h"
#include "ui/model_opening.h"
#include "ui/shell_state.h"
#include "ui/trackball.h"

namespace {

QList<QWidget*> visibleBoxes(const char* name) {
  QList<QWidget*> found;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == name && widget->isVisible()) found << widget;
  }
  return found;
}

// A fresh viewer per case: its own configuration folder, the program's
// state reset, the window made by the real start-up and torn down after.
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


// What the injected choosers hand back, and how often they were asked.
std::string chosenPath;
int chooserCalls = 0;
int pickPath(const FileChooser&, std::string& path) {
  ++chooserCalls;
  if (chosenPath.empty()) return -1;
  path = chosenPath;
  return 0;
}
bool cancelColor(int&, int&, int&) { return false; }
bool pickWhite(int& r, int& g, int& b) {
  r = g = b = 255;
  return true;
}
std::string lastMessage;
void recordMessage(std::string_view text, std::string_view) { lastMessage = std::string(text); }

void command(int number) {
  Message message(msgCommand);
  message.command = number;
  mainWindowProc(message);
  QCoreApplication::processEvents();
}

// Clicks a toolbar button for real: Qt flips a check button, then the command runs.
void clickButton(int button) {
  for (QAction* action : mainWindow->toolBar->actions()) {
    if (action->data().toInt() == button) action->trigger();
  }
  QCoreApplication::processEvents();
}

void mouse(WindowMessage id, int x, int y) {
  Message message(id);
  message.x = x;
  message.y = y;
  mainWindowProc(message);
}

std::string exportedView(const TempDir& dir, const std::string& name) {
  mainWindow->view->grabFramebuffer();
  const std::string path = dir.file(name);
  drawingAreaMakeCurrent();
  exportImage(path.c_str());
  drawingAreaDoneCurrent();
  return readTextFile(path);
}

void writeSettingsFile(const std::string& text) {
  writeTextFile(settingsPath("Tessera.ini"), text);
}

std::string settingsLines(const char* flags, const char* level, const char* geometry) {
  return std::string("1.1_BETA Tessera\n") + flags + level + "\n" + "0\n1\n0\n1\n0\n1\n1\n" +
         "1.000000 1.000000 1.000000\n0.000000 0.501961 1.000000\n" + geometry + "\n";
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT
  std::unique_ptr<ViewerFixture> fixture;

  std::string model(const std::string& name, const MeshObject& object) {
    return writeModelFile(fixture->dir().file(name), object);
  }

 private slots:
  void init() {
    fixture = std::make_unique<ViewerFixture>();
    chosenPath.clear();
    chooserCalls = 0;
    lastMessage.clear();
    fileChooserHook = pickPath;
    messageBoxHook = recordMessage;
  }
  void cleanup() { fixture.reset(); }

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
    const std::string dir = fixture->dir().file("my models");
    QVERIFY(QDir().mkpath(QString::fromStdString(dir)));
    const std::string path = dir + "/torus.off";
    writeModelFile(path, makeTorus(8, 6, 2.0f, 0.5f));
    startViewer("\"" + path + "\"");
    QVERIFY(modelLoaded);
    QCOMPARE(mainWindow->windowTitle(), QString("torus.off - Tessera"));
    QCOMPARE(statusText(0), std::string("OFF format"));
    QCOMPARE(statusText(1), std::string("Polygons: 48  Vertices: 48"));
    QCOMPARE(recentFiles[0].path, path);
    QVERIFY(menuIsEnabled(cmdSaveAs));
  }

  void missingFileShowsItsBoxBeforeTheWindow() {
    const std::string path = fixture->dir().file("gone.off");
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
    showModel(std::move(model), formatDxf);
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
    for (const char* name : {"a.off", "b.off", "c.md3"}) {
      std::string path = fixture->dir().file(name);
      openModel(path, false);
    }
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
    const std::string fromWindow = fixture->dir().file("window.bmp");
    QCOMPARE(exportImage(fromWindow.c_str()), 0);
    mainWindow->view->doneCurrent();

    const std::string fromTool = fixture->dir().file("tool.bmp");
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

  void togglesKeepCheckMarkButtonAndFlagEqual() {
    startViewer("");
    ViewOptions& o = viewOptions;
    const struct {
      int command, button;
      bool& flag;
    } toggles[] = {{cmdAxes, 8, o.showAxes}, {cmdBoundingBox, 9, o.showBoundingBox},
                   {cmdCenterOfMass, 10, o.showCenterOfMass}, {cmdInertialRotation, 11, o.inertialRotation}};
    for (const auto& t : toggles) {
      for (int round = 0; round < 2; ++round) {
        const bool before = t.flag;
        command(t.command);
        QCOMPARE(t.flag, !before);
        QCOMPARE(menuIsChecked(t.command), t.flag);
        QCOMPARE(toolbarIsChecked(t.button), t.flag);
        clickButton(t.button);
        QCOMPARE(t.flag, before);
        QCOMPARE(menuIsChecked(t.command), t.flag);
        QCOMPARE(toolbarIsChecked(t.button), t.flag);
      }
    }
    command(cmdZoomDependentRotation);
    QVERIFY(o.zoomDependentRotation && menuIsChecked(cmdZoomDependentRotation));
    command(cmdSaveSettingsOnExit);
    QVERIFY(!o.saveSettingsOnExit && !menuIsChecked(cmdSaveSettingsOnExit));
  }

  void radioGroupsAndThePivotPair() {
    startViewer("");
    clickButton(5);  // the pressed Solid button, clicked again
    QVERIFY(toolbarIsChecked(5) && viewOptions.solidMode && menuIsChecked(cmdSolid));
    clickButton(3);
    QVERIFY(viewOptions.wireframeMode && !viewOptions.solidMode && !viewOptions.hiddenLineMode);
    QVERIFY(toolbarIsChecked(3) && !toolbarIsChecked(5) && !toolbarIsChecked(4));
    command(cmdHiddenLine);
    QVERIFY(viewOptions.hiddenLineMode && menuIsChecked(cmdHiddenLine) && !menuIsChecked(cmdWireframe));

    command(40054);  // the checked 30%: nothing
    QCOMPARE(viewOptions.depthCueLevel, 0.3f);
    command(40061);
    QCOMPARE(viewOptions.depthCueLevel, 0.99f);
    command(40051);
    QCOMPARE(viewOptions.depthCueLevel, 0.0f);
    QVERIFY(menuIsChecked(40051) && !menuIsChecked(40061));

    command(cmdPivotOrigin);
    QVERIFY(viewOptions.pivotAtOrigin && !viewOptions.pivotAtCenter);
    QVERIFY(menuIsChecked(cmdPivotOrigin) && !menuIsChecked(cmdPivotCenter));
    command(cmdPivotOrigin);
    QVERIFY(viewOptions.pivotAtOrigin);
    command(cmdPivotCenter);
    QVERIFY(viewOptions.pivotAtCenter && !viewOptions.pivotAtOrigin);
  }

  void coloursAndTheirReapplication() {
    startViewer("");
    QVERIFY(QTest::qWaitForWindowExposed(mainWindow));
    colorChooserHook = pickWhite;
    command(cmdForeground);
    QCOMPARE(viewOptions.foregroundColor.r, 0.99999994f);
    colorChooserHook = cancelColor;
    viewOptions.backgroundColor = {0.2f, 0.4f, 0.6f};
    command(cmdBackground);  // cancelled, yet applied
    QVERIFY(std::fabs(contrastColor.r - 0.7f) < 1e-6f && std::fabs(contrastColor.b - 0.1f) < 1e-6f);
    drawingAreaMakeCurrent();
    GLfloat clear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    drawingAreaDoneCurrent();
    QCOMPARE(clear[1], 0.4f);
  }

  void openCloseAndTheRecentItems() {
    startViewer("");
    const std::string a = model("a.off", makeTorus(6, 4, 2, 0.5f));
    const std::string b = model("b.off", makeTorus(8, 4, 2, 0.5f));
    chosenPath = a;
    command(cmdOpen);
    chosenPath = b;
    clickButton(1);
    QVERIFY(modelLoaded);
    QCOMPARE(mainWindow->windowTitle(), QString("b.off - Tessera"));
    QCOMPARE(statusText(1), std::string("Polygons: 32  Vertices: 32"));

    command(cmdRecentFirst + 1);  // a.off, from the list
    QCOMPARE(statusText(1), std::string("Polygons: 24  Vertices: 24"));
    QCOMPARE(recentFiles[0].path, b);
    QCOMPARE(recentFiles[1].path, a);

    chosenPath = fixture->dir().file("ship.md3");
    command(cmdOpen);
    QCOMPARE(visibleBoxes("noticeBox").size(), 1);
    QVERIFY(modelLoaded);  // the model stays on display
    QCOMPARE(mainWindow->windowTitle(), QString("ship.md3 - Tessera"));

    command(cmdClose);
    QVERIFY(!modelLoaded);
    QCOMPARE(mainWindow->windowTitle(), QString("Tessera"));
    QCOMPARE(statusText(0), std::string("No file loaded"));
    QVERIFY(!menuIsEnabled(cmdSaveAs));
    chooserCalls = 0;
    command(cmdSaveAs);  // greyed: nothing asked
    QCOMPARE(chooserCalls, 0);

    command(cmdClearList);
    QCOMPARE(readTextFile(recentListPath()), std::string("0\n"));
    finishViewer(0);
    destroyWindowWidgets();
    resetRecentList();
    startViewer("");
    QCOMPARE(menuItemsOfPopup("&Recent"), (std::vector<int>{40000, 40036}));
  }

  void saveAsMergesAndExportWritesTheDrawingArea() {
    startViewer("");
    QVERIFY(QTest::qWaitForWindowExposed(mainWindow));
    showModel({makeObject({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}, {{0, 1, 2, 3}}),
               makeObject({0, 0, 1, 1, 0, 1, 0, 1, 1}, {{0, 1, 2}})},
              formatOff);
    currentPath = "/m/pair.off";
    command(cmdClose);
    modelLoaded = true;
    menuEnable(cmdSaveAs, true);
    chosenPath = fixture->dir().file("merged.off");
    command(cmdSaveAs);
    const std::string saved = readTextFile(chosenPath);
    QVERIFY(saved.rfind("OFF\n7 2 0\n", 0) == 0);
    QVERIFY(saved.find("\n3 4 5 6 \n") != std::string::npos);

    chosenPath = fixture->dir().file("view.bmp");
    mainWindow->view->grabFramebuffer();
    command(cmdExportImage);
    QCOMPARE(readTextFile(chosenPath).size(),
             54u + static_cast<std::size_t>((viewWidth * 3 + 3) / 4 * 4) * static_cast<std::size_t>(viewHeight));
  }

  void backgroundImportAndClear() {
    startViewer("");
    QVERIFY(QTest::qWaitForWindowExposed(mainWindow));
    chosenPath = fixture->dir().file("red.bmp");
    writeTextFile(chosenPath, bmpFile(8, 4, [](int, int) { return Rgb{200, 0, 0}; }));
    command(cmdImportBackground);
    QVERIFY(backgroundShown);
    QVERIFY(menuIsEnabled(cmdClearBackground));
    const std::string shown = exportedView(fixture->dir(), "shown.bmp");
    QCOMPARE(static_cast<int>(static_cast<unsigned char>(shown[54 + 2])), 200);

    chosenPath = fixture->dir().file("junk.bmp");
    writeTextFile(chosenPath, "not a picture at all");
    command(cmdImportBackground);
    QVERIFY(backgroundShown);  // the earlier picture stays
    command(cmdClearBackground);
    QVERIFY(!backgroundShown && !menuIsEnabled(cmdClearBackground));
  }

  void trackballStepZoomAndDivisor() {
    startViewer("");
    viewWidth = viewHeight = 400;
    mouse(msgLeftButtonDown, 200, 200);
    mouse(msgMouseMove, 240, 200);
    QVERIFY(std::fabs(rotationAngle - 18.6211f) < 1e-3f);
    QVERIFY(std::fabs(rotationAxis[1] - 0.205791f) < 1e-5f);
    QCOMPARE(rotationAxis[0], 0.0f);
    QCOMPARE(rotationAxis[2], 0.0f);
    mouse(msgLeftButtonUp, 240, 200);
    QCOMPARE(rotationAngle, 0.0f);  // inertia off: stopped

    // Before any world, a zoom step is 10 pixels per unit.
    mouse(msgRightButtonDown, 0, 100);
    mouse(msgMouseMove, 0, 90);
    QCOMPARE(zoomOffset, 1.0f);
    mouse(msgRightButtonUp, 0, 90);

    showModel({makeObject({-10, -5, -5, 10, 5, 5}, {})}, formatOff);  // viewDistance 20
    mouse(msgRightButtonDown, 10, 300);
    mouse(msgMouseMove, 10, 250);
    QCOMPARE(zoomOffset, 10.0f);
    mouse(msgRightButtonUp, 10, 250);

    // viewDistance 10, zCenMass 0, zoomOffset 5: a quarter of the plain step.
    showModel({makeObject({-5, -2.5f, -2.5f, 5, 2.5f, 2.5f}, {})}, formatOff);
    zoomOffset = 5.0f;
    viewOptions.zoomDependentRotation = true;
    mouse(msgLeftButtonDown, 200, 200);
    mouse(msgMouseMove, 240, 200);
    QVERIFY(std::fabs(rotationAngle - 18.6211f / 4) < 1e-3f);
    mouse(msgLeftButtonUp, 200, 200);
  }

  void dragTurnsTheModelAndInertiaSpinsOn() {
    const std::string path = model("torus.off", makeTorus(24, 12, 2.0f, 0.6f));
    startViewer(path);
    QVERIFY(QTest::qWaitForWindowExposed(mainWindow));
    const std::string before = exportedView(fixture->dir(), "before.bmp");
    const int cx = viewWidth / 2, cy = viewHeight / 2;
    mouse(msgLeftButtonDown, cx, cy);
    mouse(msgMouseMove, cx, cy - 60);
    const std::string turned = exportedView(fixture->dir(), "turned.bmp");
    QVERIFY(before != turned);
    mouse(msgLeftButtonUp, cx, cy - 60);

    command(cmdInertialRotation);
    mouse(msgLeftButtonDown, cx, cy);
    mouse(msgMouseMove, cx + 20, cy);
    mouse(msgLeftButtonUp, cx + 20, cy);
    QVERIFY(trackball.spinning);
    float first[16];
    std::copy(rotationMatrix, rotationMatrix + 16, first);
    QTest::qWait(300);  // no input: frames keep coming
    QVERIFY(!std::equal(first, first + 16, rotationMatrix));
    std::copy(rotationMatrix, rotationMatrix + 16, first);
    QTest::qWait(300);
    QVERIFY(!std::equal(first, first + 16, rotationMatrix));

    mouse(msgLeftButtonDown, cx, cy);  // a plain click stops it
    QTest::qWait(5);
    mouse(msgLeftButtonUp, cx, cy);
    QVERIFY(!trackball.spinning);
    QCOMPARE(rotationAngle, 0.0f);
    QTest::qWait(50);
    std::copy(rotationMatrix, rotationMatrix + 16, first);
    QTest::qWait(200);
    QVERIFY(std::equal(first, first + 16, rotationMatrix));
  }

  void dropsAndTooltips() {
    const std::string first = model("first.off", makeTorus(6, 4, 2, 0.5f));
    const std::string second = model("second.off", makeTorus(8, 4, 2, 0.5f));
    startViewer(first);
    QVERIFY(QTest::qWaitForWindowExposed(mainWindow));
    auto drop = [](const QList<QUrl>& urls) {
      QMimeData data;
      data.setUrls(urls);
      QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(mainWindow, &enter);
      QVERIFY(enter.isAccepted());
      QDropEvent dropped(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(mainWindow, &dropped);
    };
    drop({QUrl::fromLocalFile(QString::fromStdString(first)), QUrl::fromLocalFile(QString::fromStdString(second))});
    QCOMPARE(lastMessage, std::string("One file at a time, please."));
    QCOMPARE(mainWindow->windowTitle(), QString("first.off - Tessera"));
    drop({QUrl::fromLocalFile(QString::fromStdString(second))});
    QCOMPARE(mainWindow->windowTitle(), QString("second.off - Tessera"));
    QCOMPARE(recentFiles[0].path, second);

    Message notify(msgNotify);
    notify.command = 4;
    mainWindowProc(notify);
    QCOMPARE(notify.reply, std::string("Hidden Lines Removed Display"));
  }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
