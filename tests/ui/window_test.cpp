// The viewer under a real (virtual) display, through its start-up, its one
// message handler and the real widgets: refresh, boxes, commands, drops, the
// mouse, and the drawing area against the offscreen renderer.
#include <GL/gl.h>

#include <QAction>
#include <QWheelEvent>
#include <QApplication>
#include <QLabel>
#include <QMimeData>
#include <QElapsedTimer>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QImageReader>
#include <QSlider>
#include <QToolBar>
#include <QUrl>

#include <array>
#include <chrono>
#include <cmath>
#include <malloc.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "app/viewer_startup.h"
#include "formats/model_dispatch.h"
#include "formats/off_writer.h"
#include "platform/platform.h"
#include "platform/qt/qt_window.h"
#include "platform/window_system.h"
#include "render/image_export.h"
#include "pictures/picture_file.h"
#include "render/standard_views.h"
#include "render/view_setup.h"
#include "settings/recent_files.h"
#include "settings/settings_file.h"
#include "support/mesh_builders.h"
#include "support/picture_files.h"
#include "support/temp_dir.h"
#include "ui/command_numbers.h"
#include "ui/interface_refresh.h"
#include "ui/main_window.h"
#include "ui/model_opening.h"
#include "ui/shell.h"
#include "render/drawn_model.h"
#include "render/stand_in_use.h"
#include "ui/gif_export.h"

namespace {

// This process's resident memory in KiB, after the allocator has given back what it holds free.
long residentKib() {
  malloc_trim(0);
  return processStatusKib("VmRSS:");
}

// A model put on display in the viewer, framed, as opening a file does.
void showInShell(Model model, FormatId format) {
  showModel(shell.shown, std::move(model), format);
  frameWorld(shell.camera, shell.shown.world);
}

QList<QWidget*> visibleNotices() {
  QList<QWidget*> found;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == "noticeBox" && widget->isVisible()) found << widget;
  }
  return found;
}

// The entries of the notice windows on screen, each its words and details.
QStringList noticeEntries() {
  QStringList entries;
  for (QWidget* window : visibleNotices()) {
    for (QWidget* entry : window->findChildren<QWidget*>("noticeEntry")) {
      entries << entry->property("noticeText").toString() + " " + entry->property("noticeDetails").toString();
    }
  }
  return entries;
}

// What the injected choosers hand back (the path and the filter chosen), and how often they were asked.
std::string chosenPath, lastMessage;
int chosenFilter = 0, chooserCalls = 0;
FileChooser lastChooser{false, "", {}};
int pickPath(const FileChooser& chooser, std::string& path, int* filter) {
  ++chooserCalls;
  lastChooser = chooser;
  path = chosenPath;
  if (filter != nullptr) *filter = chosenFilter;
  return chosenPath.empty() ? -1 : 0;
}
// The colour chooser's starting colour, as it was last opened.
int startedAt[3] = {-1, -1, -1};
bool pickWhite(int& r, int& g, int& b, std::string_view) {
  startedAt[0] = r, startedAt[1] = g, startedAt[2] = b;
  return (r = g = b = 255);
}

// Models are read on a thread of their own: their outcome comes a moment later.
bool readsDone() { return QTest::qWaitFor([] { return !modelReadInProgress(); }, 20000); }

void opened(const std::string& path) {
  openModel(path);
  QVERIFY(readsDone());
}

// The viewer started as from the command line, its window on the screen.
bool startedOnScreen(const std::vector<std::string>& arguments) {
  startViewer(arguments);
  return QTest::qWaitForWindowExposed(qtWindow.mainWindow) && readsDone();
}

void command(int number) {
  Message message(WindowMessage::Command);
  message.command = number;
  mainWindowProc(message);
  QCoreApplication::processEvents();
  QVERIFY(readsDone());
}

// Clicks a toolbar button for real: Qt flips a check button, then the command runs.
void clickButton(int button) {
  for (QAction* action : qtWindow.mainWindow->toolBar->actions()) {
    if (action->data().toInt() == button) action->trigger();
  }
  QCoreApplication::processEvents();
  QVERIFY(readsDone());
}

void mouse(WindowMessage id, int x, int y, bool shift = false) {
  Message message(id);
  message.x = x;
  message.y = y;
  message.shift = shift;
  mainWindowProc(message);
}

void drag(int x0, int y0, int x1, int y1) {
  mouse(WindowMessage::LeftButtonDown, x0, y0);
  mouse(WindowMessage::MouseMove, x1, y1);
  mouse(WindowMessage::LeftButtonUp, x1, y1);
}

// Files dropped on the window as a file manager drops them.
void dropFiles(const std::vector<std::string>& paths) {
  QList<QUrl> urls;
  for (const std::string& path : paths) urls << QUrl::fromLocalFile(QString::fromStdString(path));
  QMimeData data;
  data.setUrls(urls);
  QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(qtWindow.mainWindow, &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent dropped(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(qtWindow.mainWindow, &dropped);
  QVERIFY(readsDone());
}

std::string exportedView(const std::string& path) {
  qtWindow.mainWindow->view->grabFramebuffer();
  drawingAreaMakeCurrent();
  exportImage(path.c_str(), shell.camera.viewWidth, shell.camera.viewHeight);
  drawingAreaDoneCurrent();
  return readTextFile(path);
}

void writeSettingsFile(const std::string& flagsAndLevel, const char* geometry) {
  platformConfigDirectory();  // makes the folder
  writeTextFile(settingsPath("Tessera.ini"),
                "1.1_BETA Tessera\n" + flagsAndLevel + "1 1 1\n0 0.501961 1\n" + geometry + "\n");
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT
  std::unique_ptr<IsolatedState> state;

  std::string file(const std::string& name) { return state->dir().file(name); }
  std::string model(const std::string& name, int rings) {
    return writeModelFile(file(name), makeTorus(rings, 4, 2, 0.5f));
  }

 private slots:
  // A fresh viewer per case: its own configuration folder, the program's
  // state reset, the window made by the real start-up and torn down after.
  void init() {
    state = std::make_unique<IsolatedState>();
    shell = Shell{};
    chosenPath.clear();
    lastMessage.clear();
    chosenFilter = chooserCalls = 0;
    qtWindow.fileChooserHook = pickPath;
    qtWindow.colorChooserHook = nullptr;
    qtWindow.messageBoxHook = [](std::string_view text, std::string_view) { lastMessage = std::string(text); };
  }
  void cleanup() {
    cancelModelRead();
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->objectName() == "noticeBox" || widget->objectName() == "aboutBox") delete widget;
    }
    qtWindow.pendingNotices.clear();
    destroyWindowWidgets();
    state.reset();
  }

  void refreshShowsEveryFlagTheModelAndTheRecentList() {
    // All flags set, a level no item has.
    writeSettingsFile("1\n1\n1\n1\n0.250000\n1\n1\n1\n1\n1\n1\n1\n", "150 150 400 400 1");
    writeTextFile(recentListPath(), "3\n8\n/m/a.off\n8\n/m/b.off\n8\n/m/c.off\n");
    startViewer({});
    QCOMPARE(statusText(0), std::string("No file loaded"));
    QVERIFY(!menuIsEnabled(cmdSaveAs));
    // Every style and both pivots set in the file: one of each is shown, solid about the centre.
    for (int command : {cmdCenterOfMass, cmdAxes, cmdZoomDependentRotation, cmdInertialRotation, cmdPivotCenter,
                        cmdBoundingBox, cmdSolid, cmdSaveSettingsOnExit}) {
      QVERIFY2(menuIsChecked(command), std::to_string(command).c_str());
    }
    for (int command : {cmdHiddenLine, cmdWireframe, cmdPivotOrigin}) QVERIFY(!menuIsChecked(command));
    for (int item = cmdDepthCueOff; item <= cmdDepthCue99; ++item) QVERIFY(!menuIsChecked(item));
    QCOMPARE(menuItemsOfPopup("&Recent"), (std::vector<int>{30000, 30001, 30002, 40000, 40036}));

    // A model of two objects: 6 + 4 faces, 8 + 4 vertices.
    showInShell({makeObject(std::vector<float>(24, 0.0f), std::vector<std::vector<std::int32_t>>(6, {0, 1, 2})),
               makeObject(std::vector<float>(12, 0.0f), std::vector<std::vector<std::int32_t>>(4, {0, 1, 2}))},
              formatDxf);
    shell.shown.path = "/models/pair.dxf";
    shell.shown.backgroundShown = true;
    refreshInterface();
    QCOMPARE(statusText(0), std::string("Autodesk format"));
    QCOMPARE(statusText(1), std::string("Polygons: 10  Vertices: 12"));
    QCOMPARE(qtWindow.mainWindow->windowTitle(), QString("pair.dxf - Tessera"));
    QVERIFY(menuIsEnabled(cmdClearBackground) && menuIsEnabled(cmdSaveAs));
  }

  void commandLineNoticesAndSavedGeometry() {
    // Three names at start-up: the first that opens is shown; the failure before
    // it and the name after it are entries of one notice, which waits for the
    // window, then stands over it, centred.
    const std::string shown = model("b.off", 6);
    startViewer({file("gone.off"), shown, file("other.off")});
    QVERIFY(readsDone());
    QTRY_COMPARE(noticeEntries().size(), 2);
    QCOMPARE(visibleNotices().size(), 1);
    QCOMPARE(visibleNotices()[0]->pos(), QPoint(225, 250));
    QCOMPARE(visibleNotices()[0]->parentWidget(), static_cast<QWidget*>(qtWindow.mainWindow));
    QCOMPARE(noticeEntries(),
             QStringList({QString::fromStdString("FILE NOT FOUND: It may have been moved or deleted. " + file("gone.off") +
                                                 "\nNo such file or directory"),
                          QString::fromStdString("ONE FILE AT A TIME: The viewer shows one model; the others were not "
                                                 "opened. Opened: " + shown + "\nNot opened: " + file("other.off"))}));
    QCOMPARE(qtWindow.mainWindow->windowTitle(), QString("b.off - Tessera"));
    QCOMPARE(shell.recent.count, 1);  // a failed open does not enter the list; the third name is not opened
    // Later failures join the notice while it is open; OK dismisses them all.
    for (std::string path : {file("a.off"), file("c.md4")}) opened(path);
    QTRY_COMPARE(noticeEntries().size(), 4);
    QCOMPARE(visibleNotices().size(), 1);
    QTest::mouseClick(visibleNotices()[0]->findChild<QPushButton*>(), Qt::LeftButton);
    QTRY_COMPARE(visibleNotices().size(), 0);
    destroyWindowWidgets();

    // A quoted path with blanks, and the saved frame rectangle, kept on exit.
    QVERIFY(QDir().mkpath(QString::fromStdString(file("my models"))));
    const std::string path = model("my models/torus.off", 8);
    writeSettingsFile("0\n1\n0\n0\n0.3\n0\n1\n0\n1\n0\n1\n1\n", "100 120 500 360 1");
    startViewer({"\"" + path + "\""});
    QVERIFY(readsDone());
    QCOMPARE(qtWindow.mainWindow->windowTitle(), QString("torus.off - Tessera"));
    QCOMPARE(shell.recent.files[0].path, path);
    QVERIFY(QTest::qWaitForWindowExposed(qtWindow.mainWindow));
    QCOMPARE(qtWindow.mainWindow->frameGeometry(), QRect(100, 120, 500, 360));
    qtWindow.mainWindow->move(200, 210);
    qtWindow.mainWindow->resize(600, 400);
    QTRY_COMPARE(shell.windowGeometry.windowX, 200);
    QTRY_COMPARE(shell.windowGeometry.windowWidth, 600);
    QCOMPARE(finishViewer(0), 0);
    QVERIFY(readTextFile(settingsPath("Tessera.ini")).find("\n200 210 600 400 1\n") != std::string::npos);
    destroyWindowWidgets();
    writeSettingsFile("0\n1\n0\n0\n0.3\n0\n1\n0\n1\n0\n1\n1\n", "150 150 400 400 3");
    startViewer({});
    QTRY_VERIFY(qtWindow.mainWindow->isMaximized());
  }

  void badFilesLeaveTheModelOnDisplayAndSayWhy() {
    QVERIFY(startedOnScreen({model("shown.off", 6)}));
    std::filesystem::create_directory(file("folder.obj"));
    // One file of each kind of failure, and text under the names of binary formats; the
    // readers' debug lines are pinned by their fixtures. Each notice names the file once.
    const std::string text = "Dear reader, this is no model.\n";
    const struct {
      const char* name;
      std::string content;
      const char* heading;
      const char* words;  // in the notice, after the file's name
      const char* fault = nullptr;  // what tessera-import is made to do
    } files[] = {
        {"colour.off", "COFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n", "FILE NOT SUPPORTED", "is not an OFF file"},
        {"damaged.off", "OFF 3 1 0 0 0", "FILE NOT READ", "It is damaged or truncated."},
        {"notes.obj", text, "NOTHING TO SHOW", "no faces, lines or points to draw"},
        {"folder.obj", "", "FILE NOT READ", "is a folder"},
        {"ship.md4", "", "FILE NOT SUPPORTED", "format of the file is unknown"},
        {"text.fbx", text, "FILE NOT READ", "cannot be read by the import library"},
        {"crash.dae", text, "FILE NOT READ", "the importer failed on this file", "crash"},
        {"gone.lwo", "", "FILE NOT FOUND", "No such file or directory"},
        {"cut.stl", std::string(80, ' ') + std::string("\2\0\0\0", 4) + std::string(50, '\0'), "FILE NOT READ",
         "It is damaged or truncated."},
        {"newer.md2", std::string("IDP2\x09\0\0\0", 8), "FILE NOT SUPPORTED", "is a newer version of the format, not read"},
        {"text.3ds", text, "FILE NOT SUPPORTED", "is not a 3D Studio file"},
        {"text.md2", text, "FILE NOT SUPPORTED", "is not a Quake 2 MD2 file"},
        {"text.mdl", text, "FILE NOT SUPPORTED", "is not a Quake 1 MDL file"},
        {"text.lwo", text, "FILE NOT SUPPORTED", "is not a Lightwave file"},
        {"text.stl", text, "FILE NOT SUPPORTED", "is not an STL file"},
        {"text.glb", text, "FILE NOT SUPPORTED", "is not a glTF file"},
        {"text.cob", text, "FILE NOT SUPPORTED", "is not a Truespace file"},
        {"text.x", text, "FILE NOT SUPPORTED", "is not a DirectX file"},
        {"text.dxf", text, "FILE NOT SUPPORTED", "is not a DXF file"},
    };
    for (const auto& f : files) {
      if (f.name != std::string("folder.obj") && f.name != std::string("gone.lwo")) writeTextFile(file(f.name), f.content);
      const int before = noticeEntries().size();
      chosenPath = file(f.name);
      if (f.fault != nullptr) setenv("TESSERA_IMPORT_FAULT_FOR_TESTS", f.fault, 1);
      command(cmdOpen);
      QTRY_COMPARE(noticeEntries().size(), before + 1);
      unsetenv("TESSERA_IMPORT_FAULT_FOR_TESTS");
      const QString told = noticeEntries().last();
      QVERIFY2(told.startsWith(f.heading) && told.contains(f.words), qPrintable(told));
      QVERIFY2(told.count(QString::fromStdString(file(f.name))) == 1, qPrintable(told));
      QVERIFY(shell.shown.hasModel() && shell.shown.objectCount() == 1 && shell.shown.model[0].numFaces() == 24);
      QCOMPARE(qtWindow.mainWindow->windowTitle(), QString("shown.off - Tessera"));
      QCOMPARE(statusText(0), std::string("OFF format"));
      QCOMPARE(shell.shown.path, file("shown.off"));
    }
    QCOMPARE(shell.recent.files[0].path, file("shown.off"));  // failed opens leave the list as it was
  }

  void saveAsAndExportWriteOrSayWhy() {
    // What a full or read-only file system does to the writers is a row of the tool's outputs table.
    QVERIFY(startedOnScreen({}));
    showInShell({makeTorus(8, 4, 2, 0.5f), makeObject({0, 0, 1, 1, 0, 1, 0, 1, 1}, {{0, 1, 2}})}, formatOff);
    refreshInterface();
    for (const std::string& target : {file("out"), file("no/such/out")}) {
      for (const auto& [command, ending] : {std::pair{cmdSaveAs, ".off"}, std::pair{cmdExportImage, ".bmp"}}) {
        chosenPath = target + ending;
        const int before = noticeEntries().size();
        qtWindow.mainWindow->view->grabFramebuffer();
        ::command(command);
        QCOMPARE(noticeEntries().size(), before + (target == file("out") ? 0 : 1));
      }
    }
    writeModelAsOff(shell.shown.model, file("merged.off").c_str());  // both objects, as the writer merges them
    QVERIFY(readTextFile(file("out.off")) == readTextFile(file("merged.off")));
    QVERIFY(readTextFile(file("out.bmp")) == exportedView(file("view.bmp")));
    QVERIFY(shell.shown.hasModel());  // and the program goes on

    // Export Image writes the kind the name ends with; a name without an ending takes the
    // chosen filter's, one with another ending is refused.
    const struct {
      const char* chosen;
      int filter;  // PNG, BMP, JPEG
      const char* written;
      std::string signature;  // none: refused
    } exports[] = {
        {"plain", 0, "plain.png", "\x89PNG"},     {"plain", 1, "plain.bmp", "BM"},
        {"plain", 2, "plain.jpg", "\xFF\xD8\xFF"}, {"shot.JPEG", 0, "shot.JPEG", "\xFF\xD8\xFF"},
        {"shot.Png", 2, "shot.Png", "\x89PNG"},   {"shot.tif", 2, "shot.tif", ""},
    };
    for (const auto& e : exports) {
      chosenPath = file(e.chosen);
      chosenFilter = e.filter;
      const int before = noticeEntries().size();
      command(cmdExportImage);
      QCOMPARE(lastChooser.title, std::string("Export Image"));
      QCOMPARE(readTextFile(file(e.written)).substr(0, e.signature.size()), e.signature);
      QCOMPARE(std::filesystem::exists(file(e.written)), !e.signature.empty());
      QCOMPARE(noticeEntries().size(), before + (e.signature.empty() ? 1 : 0));
    }
    QVERIFY(noticeEntries().last().contains("does not end in .png, .bmp, .jpg or .jpeg"));
  }

  void readOnlySettingsFolderAndRelativePaths() {
    writeTextFile(file("tessera"), "");  // a plain file where the configuration folder should be
    QVERIFY(QDir::setCurrent(QString::fromStdString(state->dir().path())));
    model("here.off", 6);
    startViewer({"here.off"});
    QVERIFY(readsDone());
    QCOMPARE(qtWindow.mainWindow->windowTitle(), QString("here.off - Tessera"));
    QCOMPARE(shell.recent.files[0].path, file("here.off"));  // kept whole, to work from any folder
    QTRY_COMPARE(noticeEntries().size(), 1);
    QVERIFY(noticeEntries()[0].startsWith("SETTINGS NOT SAVED"));
    command(cmdSaveAllSettings);
    QCOMPARE(noticeEntries().size(), 2);
    QCOMPARE(finishViewer(0), 0);
    QCOMPARE(readTextFile(file("tessera")), std::string());
    QDir::setCurrent(QDir::tempPath());

    QProcess help;
    help.start(TESSERA_VIEWER_PATH, {"--help"});
    QVERIFY(help.waitForFinished() && help.exitCode() == 0 && help.readAllStandardOutput().startsWith("Usage: tessera"));
    help.start(TESSERA_VIEWER_PATH, {"--version"});
    QVERIFY(help.waitForFinished() && help.exitCode() == 0 && help.readAllStandardOutput().startsWith("tessera 1.2"));
  }

  void drawingAreaMatchesTheOffscreenRenderer() {
    const std::string model = std::string(TESSERA_SOURCE_DIR) + "/samples/torus.off";
    QVERIFY(startedOnScreen({model}));
    const std::string a = exportedView(file("window.bmp"));
    QCOMPARE(shell.camera.viewWidth, qtWindow.mainWindow->view->deviceWidth());
    QCOMPARE(shell.camera.viewHeight, qtWindow.mainWindow->view->deviceHeight());
    QCOMPARE(QProcess::execute(TESSERA_TOOL_PATH, {"render", QString::fromStdString(model),
                                                   QString::fromStdString(file("tool.bmp")), "--size",
                                                   QString("%1x%2").arg(shell.camera.viewWidth).arg(shell.camera.viewHeight)}),
             0);
    const std::string b = readTextFile(file("tool.bmp"));
    QCOMPARE(a.size(), b.size());
    // The same frame to the level, but for the bounding box: its contrast
    // colour has channels of exactly 0.5, which the window's and the
    // offscreen drivers round to 127 or 128 on a few pixels each.
    int different = 0, largest = 0;
    for (std::size_t k = 54; k < a.size(); ++k) {
      const int gap = std::abs(static_cast<unsigned char>(a[k]) - static_cast<unsigned char>(b[k]));
      different += gap != 0;
      largest = std::max(largest, gap);
    }
    QVERIFY(largest <= 1 && different <= static_cast<int>(a.size() / 1000));
  }

  void togglesRadioGroupsAndColours() {
    QVERIFY(startedOnScreen({}));
    ViewOptions& o = shell.viewOptions;
    const struct {
      int command, button;
      bool& flag;
    } toggles[] = {{cmdAxes, 8, o.showAxes}, {cmdBoundingBox, 9, o.showBoundingBox},
                   {cmdCenterOfMass, 10, o.showCenterOfMass}, {cmdInertialRotation, 11, o.inertialRotation}};
    // From the menu and from the button, each way: check mark, button and flag agree.
    for (const auto& t : toggles) {
      for (int round = 0; round < 4; ++round) {
        const bool before = t.flag;
        round % 2 ? clickButton(t.button) : command(t.command);
        QVERIFY(t.flag != before && menuIsChecked(t.command) == t.flag && toolbarIsChecked(t.button) == t.flag);
      }
    }
    command(cmdSaveSettingsOnExit);
    QVERIFY(!o.saveSettingsOnExit && !menuIsChecked(cmdSaveSettingsOnExit));
    command(cmdModelColors), command(cmdSmoothShading);
    QVERIFY(!o.modelColors && !menuIsChecked(cmdModelColors) && !o.smoothShading && !menuIsChecked(cmdSmoothShading));
    command(cmdPointSize1 + 4);  // "5 px": one size checked
    QVERIFY(o.pointSize == 5 && menuIsChecked(cmdPointSize1 + 4) && !menuIsChecked(cmdPointSize1 + 1));

    clickButton(5);  // the pressed Solid button, clicked again
    QVERIFY(toolbarIsChecked(5) && o.style == DisplayStyle::Solid && menuIsChecked(cmdSolid));
    clickButton(3);
    QVERIFY(o.style == DisplayStyle::Wireframe && !toolbarIsChecked(5));
    command(cmdHiddenLine);
    QVERIFY(o.style == DisplayStyle::HiddenLine && menuIsChecked(cmdHiddenLine) && !menuIsChecked(cmdWireframe) && toolbarIsChecked(4));
    command(cmdDepthCue99);
    QCOMPARE(o.depthCueLevel, 0.99f);
    command(cmdDepthCueOff);
    QVERIFY(o.depthCueLevel == 0.0f && menuIsChecked(cmdDepthCueOff) && !menuIsChecked(cmdDepthCue99));
    command(cmdPivotOrigin);
    command(cmdPivotOrigin);
    QVERIFY(o.pivot == Pivot::Origin && menuIsChecked(cmdPivotOrigin) && !menuIsChecked(cmdPivotCenter));
    command(cmdPivotCenter);
    QVERIFY(o.pivot == Pivot::Center);

    // The colour choosers open at the colour in use.
    qtWindow.colorChooserHook = pickWhite;
    o.foregroundColor = {0.6f, 0.4f, 0.2f};
    command(cmdForeground);
    QVERIFY(startedAt[0] == 153 && startedAt[1] == 102 && startedAt[2] == 51);
    QCOMPARE(o.foregroundColor.r, 0.99999994f);
    qtWindow.colorChooserHook = [](int& r, int& g, int& b, std::string_view) {
      startedAt[0] = r, startedAt[1] = g, startedAt[2] = b;
      return false;
    };
    o.backgroundColor = {0.2f, 0.4f, 0.6f};
    command(cmdBackground);  // cancelled, yet applied
    QVERIFY(startedAt[0] == 51 && startedAt[1] == 102 && startedAt[2] == 153);
    QVERIFY(std::fabs(contrastColor(shell.viewOptions.backgroundColor).r - 0.7f) < 1e-6f && std::fabs(contrastColor(shell.viewOptions.backgroundColor).b - 0.1f) < 1e-6f);
    GLfloat clear[4] = {};
    drawingAreaMakeCurrent(), glGetFloatv(GL_COLOR_CLEAR_VALUE, clear), drawingAreaDoneCurrent();
    QCOMPARE(clear[1], 0.4f);
  }

  void fileCommandsAndTheRecentItems() {
    QVERIFY(startedOnScreen({}));
    const std::string a = model("a.off", 6), b = model("b.off", 8);
    chosenPath = a;
    command(cmdOpen);
    chosenPath = b;
    clickButton(1);
    QCOMPARE(qtWindow.mainWindow->windowTitle(), QString("b.off - Tessera"));
    QCOMPARE(statusText(1), std::string("Polygons: 32  Vertices: 32"));
    command(cmdRecentFirst + 1);  // a.off, from the list: it moves to the top, listed once
    QCOMPARE(statusText(1), std::string("Polygons: 24  Vertices: 24"));
    QVERIFY(shell.recent.files[0].path == a && shell.recent.files[1].path == b && shell.recent.count == 2);

    // Close frees the model and what drawing made from it: 640,000 quads hold about 38 MB
    // (what GL and the allocator keep of their own is not ours to free).
    chosenPath = writeModelFile(file("big.off"), makeTorus(800, 800, 2, 0.5f));
    command(cmdOpen);
    qtWindow.mainWindow->view->grabFramebuffer();
    const std::weak_ptr<void> drawn = shell.shown.drawn;
    QVERIFY(!drawn.expired());
    const long opened = residentKib();
    command(cmdClose);
    const long freed = opened - residentKib();
    QVERIFY(drawn.expired() && shell.shown.model.capacity() == 0);
    QVERIFY2(freed > 30000, std::to_string(freed).c_str());
    QVERIFY(!shell.shown.hasModel() && !menuIsEnabled(cmdSaveAs));
    QCOMPARE(qtWindow.mainWindow->windowTitle(), QString("Tessera"));
    QCOMPARE(statusText(0), std::string("No file loaded"));
    chooserCalls = 0;
    command(cmdSaveAs);  // greyed: nothing asked
    QCOMPARE(chooserCalls, 0);
    command(cmdClearList);
    QCOMPARE(readTextFile(recentListPath()), std::string("0\n"));
    QCOMPARE(menuItemsOfPopup("&Recent"), (std::vector<int>{40000, 40036}));

    chosenPath = file("red.bmp");
    writePicture(chosenPath, 8, 4, [](int, int) { return Rgb{200, 0, 0}; });
    command(cmdImportBackground);
    QVERIFY(shell.shown.backgroundShown && menuIsEnabled(cmdClearBackground));
    QCOMPARE(static_cast<unsigned char>(exportedView(file("shown.bmp"))[54 + 2]), 200);
    chosenPath = file("junk.bmp");
    writeTextFile(chosenPath, "not a picture at all");
    command(cmdImportBackground);
    QVERIFY(shell.shown.backgroundShown);  // the earlier picture stays
    command(cmdClearBackground);
    QVERIFY(!shell.shown.backgroundShown && !menuIsEnabled(cmdClearBackground));
  }

  void trackballStepZoomAndDivisor() {
    startViewer({});
    shell.camera.viewWidth = shell.camera.viewHeight = 400;
    // A drag across the middle turns about the view's vertical axis, at once.
    drag(200, 200, 240, 200);
    const float* axis = shell.trackball.lastStepAxis;
    const float step = shell.trackball.lastStepDegrees;
    QVERIFY(step > 10.0f && axis[1] > 0.0f && axis[0] == 0.0f && axis[2] == 0.0f);
    QVERIFY(std::fabs(shell.camera.rotationMatrix[8] - std::sin(step * 3.14159265f / 180)) < 1e-5f);  // to the right
    QVERIFY(!shell.trackball.spinning);  // inertia off: stopped

    // A right drag of ten pixels takes the eye a tenth nearer (or a ninth
    // farther), stopping short of the model's sphere; with Shift a tenth of
    // the sphere's radius, on into the model.
    showInShell({makeObject({-10, -5, -5, 10, 5, 5}, {})}, formatOff);
    const float start = shell.camera.eyeDistance(), r = shell.camera.viewRadius;
    const struct {
      int drag;
      bool shift;
      float eye;
    } zooms[] = {{10, false, start * 0.9f}, {-10, false, start / 0.9f}, {80, false, r * 1.05f},
                 {150, true, start - 1.5f * r}};
    for (const auto& z : zooms) {
      shell.camera.zoomOffset = 0.0f;
      mouse(WindowMessage::RightButtonDown, 10, 300);
      mouse(WindowMessage::MouseMove, 10, 300 - z.drag, z.shift);
      mouse(WindowMessage::RightButtonUp, 10, 300 - z.drag);
      QVERIFY2(std::fabs(shell.camera.eyeDistance() - z.eye) < 1e-4f * start, std::to_string(z.drag).c_str());
    }
    QVERIFY(shell.camera.eyeDistance() < r);  // inside
    // viewDistance 10, zoomOffset 5: a quarter of the plain step.
    showInShell({makeObject({-5, -2.5f, -2.5f, 5, 2.5f, 2.5f}, {})}, formatOff);
    shell.camera.zoomOffset = 5.0f;
    shell.viewOptions.zoomDependentRotation = true;
    drag(200, 200, 240, 200);
    QVERIFY(std::fabs(shell.trackball.lastStepDegrees - step / 4) < 1e-3f);
  }

  void dragTurnsTheModelAndInertiaSpinsOn() {
    QVERIFY(startedOnScreen({model("torus.off", 24)}));
    const std::string before = exportedView(file("before.bmp"));
    const int cx = shell.camera.viewWidth / 2, cy = shell.camera.viewHeight / 2;
    mouse(WindowMessage::LeftButtonDown, cx, cy);
    mouse(WindowMessage::MouseMove, cx, cy - 60);
    QVERIFY(before != exportedView(file("turned.bmp")));
    mouse(WindowMessage::LeftButtonUp, cx, cy - 60);

    command(cmdInertialRotation);
    drag(cx, cy, cx + 20, cy);
    QVERIFY(shell.trackball.spinning);
    const auto turnsWithoutInput = [] {
      const std::vector<float> first(shell.camera.rotationMatrix, shell.camera.rotationMatrix + 16);
      QTest::qWait(250);
      return !std::equal(first.begin(), first.end(), shell.camera.rotationMatrix);
    };
    QVERIFY(turnsWithoutInput() && turnsWithoutInput());
    drag(cx, cy, cx, cy);  // a plain click stops it
    QVERIFY(!shell.trackball.spinning);
    QTest::qWait(50);
    QVERIFY(!turnsWithoutInput());
  }

  // A model too slow to move smoothly draws its stand-in while dragged and
  // itself once at rest; with Simplify While Moving off, always itself.
  void largeModelMovesAsItsStandInAndRestsWhole() {
    QVERIFY(startedOnScreen({writeModelFile(file("big.off"), makeTorus(200, 100, 2, 0.5f))}));
    QVERIFY(menuIsChecked(cmdSimplifyWhileMoving));
    QTest::qWait(50);
    // Every frame counts as slow and every model as large enough.
    shell.motion.budget = {0.0, 1e9, 1, 0.15};
    drawnModelOf(shell.shown)->weighed = false;
    platformRequestRedraw();
    QTRY_VERIFY(readyStandIn(shell.shown, DisplayStyle::Solid) != nullptr);
    const int cx = shell.camera.viewWidth / 2, cy = shell.camera.viewHeight / 2;
    struct Dragged {
      bool standInWhileMoving, restedWhole;
      unsigned long long simplifiedFrames;
    };
    const auto dragSlowly = [&]() -> Dragged {
      const unsigned long long simplified = shell.motion.simplifiedFrames;
      mouse(WindowMessage::LeftButtonDown, cx, cy);
      for (int step = 1; step <= 5; ++step) {
        mouse(WindowMessage::MouseMove, cx + 10 * step, cy);
        QTest::qWait(30);
      }
      const bool standInWhileMoving = shell.motion.lastFrameSimplified;
      const unsigned long long full = shell.motion.fullFrames;
      mouse(WindowMessage::LeftButtonUp, cx + 50, cy);
      // The model itself within the settling time and a frame.
      const bool rested = QTest::qWaitFor([&] { return !shell.motion.moving; }, 1000) &&
                          QTest::qWaitFor([&] { return !shell.motion.lastFrameSimplified; }, 1000) &&
                          (!standInWhileMoving || shell.motion.fullFrames > full);
      return {standInWhileMoving, rested, shell.motion.simplifiedFrames - simplified};
    };
    const Dragged on = dragSlowly();
    QVERIFY(on.standInWhileMoving && on.restedWhole && on.simplifiedFrames >= 2);
    // A burst of moves between two frames makes one frame, not a queue of them.
    mouse(WindowMessage::LeftButtonDown, cx, cy);
    QTest::qWait(50);
    const unsigned long long frames = windowFramesDrawn();
    for (int step = 0; step < 50; ++step) mouse(WindowMessage::MouseMove, cx + step, cy + step / 2);
    QTest::qWait(40);
    QVERIFY(windowFramesDrawn() - frames <= 2);
    mouse(WindowMessage::LeftButtonUp, cx + 49, cy + 24);

    command(cmdSimplifyWhileMoving);
    QVERIFY(!menuIsChecked(cmdSimplifyWhileMoving) && !shell.viewOptions.simplifyWhileMoving);
    const Dragged off = dragSlowly();
    QVERIFY(!off.standInWhileMoving && off.restedWhole && off.simplifiedFrames == 0);
  }

  // Space plays a model's frames, . and , step them, the Animation menu
  // chooses which; the frame shown is the view's, so Save As keeps the first.
  void animationPlaysStepsAndSavesAsRead() {
    std::vector<std::string> names;
    for (int k = 1; k <= 6; ++k) names.push_back("run0" + std::to_string(k));
    for (int k = 1; k <= 4; ++k) names.push_back("idle0" + std::to_string(k));
    const std::string path = file("moving.md2");
    writeTextFile(path, md2Bytes(names));
    QVERIFY(startedOnScreen({path}));
    QCOMPARE(menuItemsOfPopup("&Animation"),
             (std::vector<int>{cmdPlayPause, cmdNextFrame, cmdPreviousFrame, 0, cmdAnimationFirst, cmdAnimationFirst + 1,
                               cmdAllFrames}));
    QVERIFY(menuIsEnabled(cmdPlayPause) && menuIsChecked(cmdAllFrames));
    const auto vertex0 = [] { return shell.shown.model[0].vertices[0]; };
    QCOMPARE(vertex0(), 0.0f);
    // Space through the window, as a user presses it.
    qtWindow.mainWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(qtWindow.mainWindow));
    QTest::keyClick(qtWindow.mainWindow, Qt::Key_Space);
    QTRY_VERIFY(shell.playback.playing);
    QTRY_VERIFY_WITH_TIMEOUT(vertex0() > 1.0f, 2000);  // moving on by the clock, between frames
    // Spinning and playing at once: both go on by the clock.
    command(cmdInertialRotation);
    const int cx = shell.camera.viewWidth / 2, cy = shell.camera.viewHeight / 2;
    drag(cx, cy, cx + 20, cy);
    QVERIFY(shell.trackball.spinning && shell.playback.playing);
    const float turnedFrom = shell.camera.rotationMatrix[0], playedFrom = vertex0();
    QTRY_VERIFY(shell.camera.rotationMatrix[0] != turnedFrom && vertex0() != playedFrom);
    drag(cx, cy, cx, cy);  // a click stops the spin, not the playing
    QVERIFY(!shell.trackball.spinning && shell.playback.playing);
    command(cmdInertialRotation);
    command(cmdPlayPause);
    QVERIFY(!shell.playback.playing && !menuIsChecked(cmdPlayPause));
    const float paused = vertex0();
    QTest::qWait(150);
    QCOMPARE(vertex0(), paused);
    // Stepping lands on whole frames: the next after the one shown, and back.
    command(cmdAnimationFirst + 1);  // idle: frames 6 .. 9
    QCOMPARE(vertex0(), 6.0f);
    QVERIFY(menuIsChecked(cmdAnimationFirst + 1) && !menuIsChecked(cmdAllFrames));
    QTest::keyClick(qtWindow.mainWindow, Qt::Key_Period);
    QTRY_COMPARE(vertex0(), 7.0f);
    command(cmdPreviousFrame);
    command(cmdPreviousFrame);  // before the first: round to the last
    QCOMPARE(vertex0(), 9.0f);
    // The time slider: a frame of the chosen animation a step, and moving it pauses there.
    auto* slider = qtWindow.mainWindow->findChild<QSlider*>("timeSlider");
    QVERIFY(slider != nullptr && slider->isVisible());
    QCOMPARE(slider->maximum(), 3);
    QCOMPARE(slider->value(), 3);
    command(cmdAllFrames);
    QCOMPARE(slider->maximum(), 9);
    slider->setValue(4);
    QCOMPARE(vertex0(), 4.0f);
    QCOMPARE(qtWindow.mainWindow->findChild<QLabel*>("timeLabel")->text(), QString("0.40 / 1.00 s"));
    // Fit while playing takes in every place the animation goes: farther
    // back than Fit on the first frame alone.
    command(cmdNextFrame);
    slider->setValue(0);
    command(cmdFit);
    const float stillEye = shell.camera.eyeDistance();
    command(cmdPlayPause);
    command(cmdFit);
    QVERIFY(shell.camera.eyeDistance() > stillEye * 1.2f);
    command(cmdPlayPause);
    // Saved as read: the first frame's places, whatever is shown.
    chosenPath = file("saved.off");
    command(cmdSaveAs);
    QVERIFY(readTextFile(chosenPath).find("\n0.000000 0.000000 0.000000\n") != std::string::npos);
    // A model without frames has nothing to play.
    opened(model("still.off", 6));
    QVERIFY(!menuIsEnabled(cmdPlayPause) && !menuHasItem(cmdAnimationFirst));
    QVERIFY(!slider->isVisible());
  }

  // File > Export Animated GIF writes what the window shows moving, frame by
  // frame with the progress bar, each frame decoding to the view drawn.
  void exportAnimatedGifWritesTheFramesShown() {
    std::vector<std::string> names;
    for (int k = 1; k <= 6; ++k) names.push_back("run0" + std::to_string(k));
    const std::string path = file("moving.md2");
    writeTextFile(path, md2Bytes(names));
    QVERIFY(startedOnScreen({path}));
    QVERIFY(menuIsEnabled(cmdExportGif));
    chosenPath = file("run");  // no ending: .gif is added
    command(cmdExportGif);
    QTRY_VERIFY_WITH_TIMEOUT(!gifExportInProgress(), 10000);
    QImageReader gif(QString::fromStdString(file("run.gif")));
    QVERIFY(gif.supportsAnimation());
    QCOMPARE(gif.imageCount(), 12);  // 0.6 s at 20 frames a second
    QCOMPARE(gif.size(), QSize(shell.camera.viewWidth, shell.camera.viewHeight));
    QCOMPARE(gif.loopCount(), -1);  // for ever
    std::vector<QImage> frames;
    for (QImage frame; gif.read(&frame);) frames.push_back(frame);
    QCOMPARE(frames.size(), std::size_t{12});
    QVERIFY(frames[0] != frames[6]);
    // The view is back at the first frame, and the same frame drawn now
    // decodes to what the GIF holds (its colours kept exactly).
    QCOMPARE(shell.shown.model[0].vertices[0], 0.0f);
    const QImage shown = qtWindow.mainWindow->view->grabFramebuffer().convertToFormat(QImage::Format_RGB888);
    QCOMPARE(frames[0].convertToFormat(QImage::Format_RGB888), shown);

    // A still model turns once; Escape stops a GIF being written and leaves no file.
    opened(model("still.off", 6));
    chosenPath = file("turn.gif");
    command(cmdExportGif);
    QVERIFY(gifExportInProgress());
    QTest::qWait(30);
    Message escape(WindowMessage::KeyDown);
    escape.key = ViewKey::Escape;
    mainWindowProc(escape);
    QVERIFY(!gifExportInProgress());
    QVERIFY(!std::filesystem::exists(file("turn.gif")));
    command(cmdExportGif);
    QTRY_VERIFY_WITH_TIMEOUT(!gifExportInProgress(), 20000);
    QCOMPARE(QImageReader(QString::fromStdString(file("turn.gif"))).imageCount(), 80);
  }

  void drops() {
    const std::string first = model("first.off", 6), second = model("second.off", 8);
    QVERIFY(startedOnScreen({first}));
    // Two files: the first is opened, the second named in a notice.
    dropFiles({first, second});
    QCOMPARE(qtWindow.mainWindow->windowTitle(), QString("first.off - Tessera"));
    QTRY_COMPARE(noticeEntries().size(), 1);
    QVERIFY(noticeEntries()[0].startsWith("ONE FILE AT A TIME") && noticeEntries()[0].endsWith("Not opened: " + QString::fromStdString(second)));
    dropFiles({second});
    QCOMPARE(qtWindow.mainWindow->windowTitle(), QString("second.off - Tessera"));
    QCOMPARE(shell.recent.files[0].path, second);
  }

  void failuresOfOneDropShareOneNoticeThatEnterOrEscapeDismisses() {
    QVERIFY(startedOnScreen({model("shown.off", 6)}));
    writeTextFile(file("text.3ds"), "Dear reader, this is no model.\n");
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
      dropFiles({file("text.3ds"), file("gone.off")});
      QTRY_COMPARE(noticeEntries().size(), 2);  // the second read's failure joins the first's
      QCOMPARE(visibleNotices().size(), 1);
      const QStringList entries = noticeEntries();
      QVERIFY(entries[0].contains("is not a 3D Studio file") && entries[1].startsWith("FILE NOT FOUND"));
      // It has the keyboard: the key goes where the keyboard is.
      QWidget* notice = visibleNotices()[0];
      QVERIFY(QTest::qWaitForWindowActive(notice));
      QVERIFY(QApplication::focusWidget() == notice || notice->isAncestorOf(QApplication::focusWidget()));
      QTest::keyClick(QApplication::focusWidget(), key);
      QTRY_COMPARE(visibleNotices().size(), 0);
      QCOMPARE(shell.shown.path, file("shown.off"));
    }
    // Fifty failures scroll within a window that fits on the screen.
    dropFiles(std::vector<std::string>(50, file("text.3ds")));
    QTRY_COMPARE(noticeEntries().size(), 50);
    QVERIFY(visibleNotices()[0]->height() < 600);
  }

  void shortcutsWheelPanResetAndFit() {
    startViewer({model("ring.off", 12)});
    QVERIFY(readsDone());
    qtWindow.mainWindow->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(qtWindow.mainWindow));
    // Each shortcut reaches its command.
    const struct {
      Qt::Key key;
      Qt::KeyboardModifiers modifiers;
      int chooserCallsAfter;
    } asking[] = {{Qt::Key_O, Qt::ControlModifier, 1}, {Qt::Key_S, Qt::ControlModifier, 2},
                  {Qt::Key_E, Qt::ControlModifier, 3}};
    for (const auto& a : asking) {
      QTest::keyClick(qtWindow.mainWindow, a.key, a.modifiers);
      QTRY_COMPARE(chooserCalls, a.chooserCallsAfter);
    }
    const bool lit = shell.viewOptions.lighting;  // a first run starts lit
    QTest::keyClick(qtWindow.mainWindow, Qt::Key_L);
    QTRY_VERIFY(shell.viewOptions.lighting != lit && menuIsChecked(cmdLighting) != lit);
    QTest::keyClick(qtWindow.mainWindow, Qt::Key_L);
    QTRY_VERIFY(shell.viewOptions.lighting == lit);
    QTest::keyClick(qtWindow.mainWindow, Qt::Key_F11);
    QTRY_VERIFY(qtWindow.mainWindow->isFullScreen());
    QTest::keyClick(qtWindow.mainWindow, Qt::Key_Escape);
    QTRY_VERIFY(!qtWindow.mainWindow->isFullScreen());

    // The wheel: a notch forward takes the eye a tenth of the way nearer,
    // toward the point under the pointer; keys + and - a notch each way, toward the centre.
    // The first picture is the fitted one: every step below is measured from it.
    QVERIFY(shell.camera.fitted);
    const float fittedEye = shell.camera.eyeDistance(), fittedZoom = shell.camera.zoomOffset;
    const float fittedPanX = shell.camera.panX, fittedPanY = shell.camera.panY;
    std::array<float, 16> firstTurn;
    std::copy(shell.camera.rotationMatrix, shell.camera.rotationMatrix + 16, firstTurn.begin());
    QWheelEvent forward(QPointF(50, 50), qtWindow.mainWindow->view->mapToGlobal(QPointF(50, 50)), {}, {0, 120},
                        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(qtWindow.mainWindow->view, &forward);
    QVERIFY(std::fabs(shell.camera.eyeDistance() - 0.9f * fittedEye) < 1e-4f * fittedEye);
    QVERIFY(shell.camera.panX > fittedPanX && shell.camera.panY < fittedPanY);  // the pointer is up and left
    const float pannedX = shell.camera.panX, pannedY = shell.camera.panY;
    QTest::keyClick(qtWindow.mainWindow, Qt::Key_Minus);
    QTest::keyClick(qtWindow.mainWindow, Qt::Key_Minus);
    QVERIFY(std::fabs(shell.camera.eyeDistance() - fittedEye / 0.9f) < 1e-4f * fittedEye);
    QVERIFY(shell.camera.panX == pannedX && shell.camera.panY == pannedY);
    // Middle-drag pans with the pointer; arrows turn by 15 degrees.
    QTest::mousePress(qtWindow.mainWindow->view, Qt::MiddleButton, {}, QPoint(100, 100));
    QTest::mouseMove(qtWindow.mainWindow->view, QPoint(130, 80));
    QTest::mouseRelease(qtWindow.mainWindow->view, Qt::MiddleButton, {}, QPoint(130, 80));
    QVERIFY(shell.camera.panX > pannedX && shell.camera.panY > pannedY && !shell.camera.fitted);
    QTest::keyClick(qtWindow.mainWindow, Qt::Key_Right);
    QVERIFY(std::fabs(shell.camera.rotationMatrix[0] - std::cos(15.0f * 3.14159265f / 180.0f)) < 1e-5f);
    // Home: the first view's turn, zoom and pan.
    QTest::keyClick(qtWindow.mainWindow, Qt::Key_Home);
    QTRY_VERIFY(shell.camera.zoomOffset == fittedZoom && shell.camera.panX == fittedPanX && shell.camera.panY == fittedPanY &&
                std::equal(firstTurn.begin(), firstTurn.end(), shell.camera.rotationMatrix));
    // The keypad's view keys, and the up axis kept for the format.
    Camera top;
    setStandardView(top, StandardView::Top, UpAxis::Y);
    QTest::keyClick(qtWindow.mainWindow, Qt::Key_7);
    QTRY_VERIFY(std::equal(top.rotationMatrix, top.rotationMatrix + 16, shell.camera.rotationMatrix));
    QTest::keyClick(qtWindow.mainWindow, Qt::Key_5);
    QTRY_VERIFY(shell.viewOptions.orthographic && menuIsChecked(cmdOrthographic));
    QTest::keyClick(qtWindow.mainWindow, Qt::Key_5);
    QTRY_VERIFY(!shell.viewOptions.orthographic);
    command(cmdUpAxisZ);
    QVERIFY(shell.viewOptions.upAxisChoices.at("off") == UpAxis::Z && menuIsChecked(cmdUpAxisZ) && shell.camera.fitted);
    command(cmdUpAxisY);
    std::copy(firstTurn.begin(), firstTurn.end(), shell.camera.rotationMatrix);
    shell.camera.panX = 1.0f;
    shell.camera.fitted = false;
    opened(file("ring.off"));
    QVERIFY(shell.camera.fitted && shell.camera.panX != 1.0f);  // every open starts at its fitted first picture

    QTest::keyClick(qtWindow.mainWindow, Qt::Key_F);  // what Fit makes of a model is a framing test
    QTRY_VERIFY(shell.camera.zoomOffset != 0.0f);
  }

  void dialogsStartWhereTheUserIsAndTheEmptyWindowHints() {
    QVERIFY(startedOnScreen({}));
    // The hint shows over the drawing area but not in an exported picture.
    const auto* hint = qtWindow.mainWindow->view->findChild<QLabel*>("hint");
    QVERIFY(hint && hint->isVisible() && hint->text().contains("Ctrl+O"));
    chosenPath = file("empty.png");
    command(cmdExportImage);
    const std::optional<RgbImage> exported = loadPicture(chosenPath.c_str());
    QVERIFY(exported && std::count(exported->pixels.begin(), exported->pixels.end(), exported->pixels[0]) >=
                            static_cast<long>(exported->pixels.size() / 3));
    QCOMPARE(lastChooser.initialText, std::string("untitled.png"));

    // With a model: its folder and its name.
    QVERIFY(QDir().mkpath(QString::fromStdString(file("models"))));
    opened(model("models/ring.off", 8));
    QVERIFY(!hint->isVisible());
    chosenPath.clear();  // every chooser cancelled
    const struct {
      int command;
      const char* proposed;
    } choosers[] = {{cmdSaveAs, "ring.off"}, {cmdExportImage, "ring.png"}, {cmdOpen, ""}};
    for (const auto& c : choosers) {
      command(c.command);
      QCOMPARE(lastChooser.folder, file("models"));
      QCOMPARE(lastChooser.initialText, std::string(c.proposed));
    }
    // No model: the last folder a chooser was left in.
    chosenPath = file("elsewhere.png");
    command(cmdExportImage);
    command(cmdClose);
    chosenPath.clear();
    command(cmdOpen);
    QCOMPARE(lastChooser.folder, state->dir().path());
  }

  void aReadNeverHoldsTheWindowAndStopsAtOnce() {
    QVERIFY(startedOnScreen({model("shown.off", 6)}));
    const std::string fifo = file("pipe.off"), next = model("next.off", 8);
    QCOMPARE(mkfifo(fifo.c_str(), 0600), 0);
    // Whether a thread of ours still has the FIFO open.
    const auto nobodyReads = [&] {
      std::error_code error;
      for (const auto& open : std::filesystem::directory_iterator("/proc/self/fd")) {
        if (std::filesystem::read_symlink(open.path(), error) == fifo) return false;
      }
      return true;
    };
    const auto cancelButton = [] { return qtWindow.mainWindow->findChild<QPushButton*>("cancelRead"); };
    const struct {
      const char* how;
      std::function<void()> interrupt;
      const char* title;  // after it
    } ways[] = {
        {"Cancel", [&] { QTest::mouseClick(cancelButton(), Qt::LeftButton); }, "shown.off - Tessera"},
        {"Escape", [] { QTest::keyClick(qtWindow.mainWindow, Qt::Key_Escape); }, "shown.off - Tessera"},
        {"a new open", [&] { opened(next); }, "next.off - Tessera"},
        {"Close", [] { command(cmdClose); }, "Tessera"},
        {"closing the window", [] { qtWindow.mainWindow->close(); }, "shown.off - Tessera"},
    };
    for (const auto& way : ways) {
      opened(file("shown.off"));  // after every stop, an open as any other
      const std::string recent = readTextFile(recentListPath());
      const int notices = visibleNotices().size();
      openModel(fifo);
      QTest::qWait(700);
      // Slow: a busy bar and its button; the model shown turns, the rest stays.
      auto* bar = qtWindow.mainWindow->findChild<QProgressBar*>("readProgress");
      QVERIFY2(bar && bar->isVisible() && bar->maximum() == 0 && cancelButton()->isVisible(), way.how);
      const float turned = shell.camera.rotationMatrix[0];
      drag(100, 100, 160, 100);
      QVERIFY(shell.camera.rotationMatrix[0] != turned && shell.shown.path == file("shown.off") && !nobodyReads());
      QCOMPARE(qtWindow.mainWindow->windowTitle(), QString("shown.off - Tessera"));
      QCOMPARE(statusText(1), std::string("Polygons: 24  Vertices: 24"));

      QElapsedTimer stopping;
      stopping.start();
      way.interrupt();
      QVERIFY2(QTest::qWaitFor([] { return !modelReadInProgress(); }, 100) && QTest::qWaitFor(nobodyReads, 500), way.how);
      qInfo("%s: the FIFO's reader gone after %lld ms", way.how, static_cast<long long>(stopping.elapsed()));
      QCOMPARE(qtWindow.mainWindow->windowTitle(), QString(way.title));
      QVERIFY(!bar->isVisible() && !cancelButton()->isVisible());
      QCOMPARE(visibleNotices().size(), notices);  // the user asked for it: nothing to tell
      if (way.title == std::string("shown.off - Tessera")) QCOMPARE(readTextFile(recentListPath()), recent);
    }
    QVERIFY(!qtWindow.mainWindow->isVisible());  // closed at once, not when the read ended
  }
};

// The import library's formats are read by tessera-import of this build.
const int kImporter = setenv("TESSERA_IMPORT_PROGRAM", TESSERA_IMPORT_PATH, 0);

QTEST_MAIN(WindowTest)
#include "window_test.moc"
