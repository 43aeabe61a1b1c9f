// Commands, drops and the mouse, through mainWindowProc and the real widgets.
#include <GL/gl.h>

#include <QAction>
#include <QMimeData>
#include <QToolBar>
#include <QUrl>

#include <cmath>

#include "formats/model_dispatch.h"
#include "model/world.h"
#include "render/image_export.h"
#include "settings/recent_files.h"
#include "settings/view_options.h"
#include "support/binary_builders.h"
#include "support/mesh_builders.h"
#include "ui/window_messages.h"
#include "viewer_fixture.h"

namespace {

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
  mainWindowProc(msgCommand, number, 0);
  QCoreApplication::processEvents();
}

// Clicks a toolbar button for real: Qt flips a check button, then the command runs.
void clickButton(int button) {
  for (QAction* action : mainWindow->toolBar->actions()) {
    if (action->data().toInt() == button) action->trigger();
  }
  QCoreApplication::processEvents();
}

long long point(int x, int y) { return (x & 0xFFFF) | (static_cast<long long>(y & 0xFFFF) << 16); }
void mouse(int message, int x, int y) { mainWindowProc(message, 0, static_cast<std::intptr_t>(point(x, y))); }

std::string exportedView(const TempDir& dir, const std::string& name) {
  mainWindow->view->grabFramebuffer();
  const std::string path = dir.file(name);
  drawingAreaMakeCurrent();
  exportImage(path.c_str());
  drawingAreaDoneCurrent();
  return readTextFile(path);
}

}  // namespace

class CommandsTest : public QObject {
  Q_OBJECT
  std::unique_ptr<ViewerFixture> fixture;

  std::string model(const std::string& name, const MeshObject& object) {
    const std::string path = fixture->dir().file(name);
    writeTextFile(path, offText(object));
    return path;
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
    currentModel = {makeObject({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}, {{0, 1, 2, 3}}),
                    makeObject({0, 0, 1, 1, 0, 1, 0, 1, 1}, {{0, 1, 2}})};
    objectCount = 2;
    modelLoaded = true;
    currentPath = "/m/pair.off";
    updateWorld();
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
    ByteWriter picture;
    picture.text("BM").u32le(54 + 8 * 4 * 4).u32le(0).u32le(54);
    picture.u32le(40).u32le(8).u32le(4).u16le(1).u16le(24).u32le(0).u32le(0).u32le(0).u32le(0).u32le(0).u32le(0);
    for (int k = 0; k < 32; ++k) picture.u8(0).u8(0).u8(200);  // red, stored B G R
    chosenPath = fixture->dir().file("red.bmp");
    writeBytesFile(chosenPath, picture.data);
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

    currentModel = {makeObject({-10, -5, -5, 10, 5, 5}, {})};
    objectCount = 1;
    modelLoaded = true;
    updateWorld();  // viewDistance 20
    mouse(msgRightButtonDown, 10, 300);
    mouse(msgMouseMove, 10, 250);
    QCOMPARE(zoomOffset, 10.0f);
    mouse(msgRightButtonUp, 10, 250);

    // viewDistance 10, zCenMass 0, zoomOffset 5: a quarter of the plain step.
    currentModel = {makeObject({-5, -2.5f, -2.5f, 5, 2.5f, 2.5f}, {})};
    updateWorld();
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

    char text[128] = {};
    mainWindowProc(msgNotify, 4, reinterpret_cast<std::intptr_t>(text));
    QCOMPARE(std::string(text), std::string("Hidden Lines Removed Display"));
  }
};

QTEST_MAIN(CommandsTest)
#include "commands_test.moc"
