#include "ui/commands.h"

#include <GL/gl.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "formats/model_dispatch.h"
#include "formats/off_writer.h"
#include "model/world.h"
#include "platform/platform.h"
#include "platform/window_system.h"
#include "render/background.h"
#include "render/image_export.h"
#include "render/rotation.h"
#include "render/scene.h"
#include "render/shown_pose.h"
#include "render/view_fit.h"
#include "render/view_setup.h"
#include "settings/recent_files.h"
#include "settings/settings_file.h"
#include "settings/view_options.h"
#include "ui/dialogs.h"
#include "ui/gif_export.h"
#include "ui/interface_refresh.h"
#include "ui/menu_template.h"
#include "ui/model_opening.h"
#include "ui/shell.h"
#include "ui/command_numbers.h"
#include "ui/trackball.h"
#include "ui/view_commands.h"

namespace {

void openChosenFile() {
  std::string path;
  if (chooseModelPath(path) == 0) openModel(path);
}

void openRecent(int index) {
  if (index >= shell.recent.count) return;
  openModel(shell.recent.files[static_cast<std::size_t>(index)].path);
}

void tellNotSaved(const std::string& path, const WriteResult& written) {
  if (!written) platformShowNotice(NoticeKind::FileNotSaved, path + "\n" + written.reason);
}

void saveAs() {
  std::string path;
  if (chooseOffSavePath(path) != 0) return;
  if (!isAnimated(shell.shown.model)) {
    tellNotSaved(path, writeModelAsOff(shell.shown.model, path.c_str()));
    return;
  }
  // The pose shown is the view's: the model is saved as read.
  Shown asRead;
  asRead.model = shell.shown.model;
  restShown(asRead);
  tellNotSaved(path, writeModelAsOff(asRead.model, path.c_str()));
}

// Close frees the model and everything drawing made from it; the picture
// behind it stays.
void closeModel() {
  cancelModelRead();
  // The model's textures are GL objects of the drawing area's context.
  drawingAreaMakeCurrent();
  clearShown(shell.shown);
  drawingAreaDoneCurrent();
  playbackModelShown();
  statusSetText(0, "No file loaded");
  windowSetTitle("Tessera");
  statusSetText(1, "Polygons: 0 Vertices: 0");
}

void importBackground() {
  std::string path;
  if (chooseBackgroundPath(path) != 0) return;
  drawingAreaMakeCurrent();
  std::string reason;
  const bool made = makeBackgroundTexture(path.c_str(), &reason);
  drawingAreaDoneCurrent();
  if (!made) {
    platformShowNotice(NoticeKind::PictureNotUsed, path + "\n" + reason);
    return;
  }
  shell.shown.backgroundShown = true;
}

void clearBackground() {
  shell.shown.backgroundShown = false;
  drawingAreaMakeCurrent();
  glDisable(GL_TEXTURE_2D);
  drawingAreaDoneCurrent();
  menuEnable(cmdHiddenLine, true);
  toolbarEnable(buttonOfMenuCommand(cmdHiddenLine), true);
}

void exportView() {
  std::string path;
  if (chooseImageSavePath(path) != 0) return;
  // The drawing area still holds the last frame drawn.
  drawingAreaMakeCurrent();
  const WriteResult written = exportImage(path.c_str(), shell.camera.viewWidth, shell.camera.viewHeight);
  drawingAreaDoneCurrent();
  tellNotSaved(path, written);
}

void clearList() {
  shell.recent.count = 0;
  rebuildRecentMenu();
  keepRecentList();
}

void saveAllSettings() {
  if (const std::string problem = settingsFolderProblem(); !problem.empty()) {
    platformShowNotice(NoticeKind::SettingsNotSaved, problem);
    return;
  }
  tellNotSaved(settingsPath("Tessera.ini"), writeSettings("Tessera.ini", shell.viewOptions, shell.windowGeometry));
}

void toggle(bool& flag) { flag = !flag; }

void choosePivot(int chosen) {
  shell.viewOptions.pivot = chosen == cmdPivotCenter ? Pivot::Center : Pivot::Origin;
}

void chooseStyle(int chosen) {
  const struct {
    int command;
    DisplayStyle style;
  } styles[] = {{cmdWireframe, DisplayStyle::Wireframe},
                {cmdHiddenLine, DisplayStyle::HiddenLine},
                {cmdSolid, DisplayStyle::Solid}};
  // A click on the style in use leaves it; its button is pressed again with the rest.
  for (const auto& style : styles) {
    if (style.command == chosen) shell.viewOptions.style = style.style;
  }
}

void chooseDepthCue(int chosen) {
  shell.viewOptions.depthCueLevel = kDepthCueLevels[chosen - cmdDepthCueOff];
}

void chooseBackgroundColor() {
  chooseColor(shell.viewOptions.backgroundColor, "Background Colour");
  // Re-applied even when the chooser was cancelled.
  drawingAreaMakeCurrent();
  applyBackgroundColor(shell.viewOptions);
  drawingAreaDoneCurrent();
}

void runCommand(int command) {
  ViewOptions& o = shell.viewOptions;
  if (command >= cmdRecentFirst && command < cmdRecentFirst + kRecentCapacity) {
    openRecent(command - cmdRecentFirst);
    return;
  }
  if (command >= cmdDepthCueOff && command <= cmdDepthCue99) {
    chooseDepthCue(command);
    return;
  }
  if (runViewCommand(command)) return;
  if (handlePlaybackCommand(command)) return;
  if (command >= cmdPointSize1 && command <= cmdPointSize10) {
    o.pointSize = command - cmdPointSize1 + 1;
    return;
  }
  switch (command) {
    case cmdOpen: openChosenFile(); break;
    case cmdSaveAs: saveAs(); break;
    case cmdExportGif: exportAnimatedGif(); break;
    case cmdGifStep: writeNextGifFrame(); break;
    case cmdClose: closeModel(); break;
    case cmdImportBackground: importBackground(); break;
    case cmdClearBackground: clearBackground(); break;
    case cmdExportImage: exportView(); break;
    case cmdSaveAllSettings: saveAllSettings(); break;
    case cmdSaveSettingsOnExit: toggle(o.saveSettingsOnExit); break;
    case cmdQuit: cancelModelRead(), windowPostQuit(0); break;
    case cmdClearList: clearList(); break;
    case cmdAxes: toggle(o.showAxes); break;
    case cmdCenterOfMass: toggle(o.showCenterOfMass); break;
    case cmdBoundingBox: toggle(o.showBoundingBox); break;
    case cmdInertialRotation: toggle(o.inertialRotation); break;
    case cmdZoomDependentRotation: toggle(o.zoomDependentRotation); break;
    case cmdPivotCenter:
    case cmdPivotOrigin: choosePivot(command); break;
    case cmdWireframe:
    case cmdHiddenLine:
    case cmdSolid: chooseStyle(command); break;
    case cmdForeground: chooseColor(o.foregroundColor, "Foreground Colour"); break;
    case cmdBackground: chooseBackgroundColor(); break;
    case cmdAbout: showAboutBox(); break;
    case cmdResetView: resetView(); break;
    case cmdFit:
      shell.trackball.spinning = false;  // what is on screen now is what is fitted
      shell.trackball.spin = Spin{};
      if (shell.playback.playing) {
        // Playing, the whole animation fits: every place it takes the model to.
        Shown swept;
        swept.model = sweptModel(shell.shown, shell.playback.run);
        swept.world = shell.shown.world;
        swept.format = shell.shown.format;
        fitModelToView(swept, shell.viewOptions, shell.camera);
      } else {
        fitModelToView(shell.shown, shell.viewOptions, shell.camera);
      }
      break;
    case cmdLighting: toggle(o.lighting); break;
    case cmdModelColors: toggle(o.modelColors); break;
    case cmdSmoothShading: toggle(o.smoothShading); break;
    case cmdSimplifyWhileMoving: toggle(o.simplifyWhileMoving); break;
    case cmdFullScreen: windowToggleFullScreen(); break;
    default: break;  // greyed in the template and never enabled, or unknown
  }
}

}  // namespace

int handleCommand(int command) {
  if (const int menuCommand = menuCommandOfButton(command)) command = menuCommand;
  // A greyed item does nothing, however the command arrives.
  try {
    if (!menuHasItem(command) || menuIsEnabled(command)) runCommand(command);
    showMenuState();
  } catch (const std::bad_alloc&) {
    // Sizes are checked before anything is allocated; what still does not
    // fit (merging a huge model to save it) is told, and the viewer goes on.
    platformShowNotice(NoticeKind::FileNotSaved, "There is not enough memory for this.");
  }
  platformRequestRedraw();
  return 0;
}

std::string handleNotify(int command) { return toolbarTooltip(command); }

int handleDrop(int fileCount) {
  std::vector<std::string> paths;
  for (int k = 0; k < fileCount; ++k) paths.push_back(droppedFilePath(k));
  openFirstOf(paths);
  return 0;
}
