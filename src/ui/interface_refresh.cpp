#include "ui/interface_refresh.h"

#include <cstdio>
#include <string>

#include "formats/model_dispatch.h"
#include "platform/window_system.h"
#include "render/background.h"
#include "settings/recent_files.h"
#include "settings/view_options.h"
#include "ui/menu_template.h"
#include "ui/shell.h"
#include "ui/command_numbers.h"

namespace {

// A set flag checks its item and presses its button; a clear one leaves both.
void showFlag(bool flag, int command) {
  if (!flag) return;
  menuCheck(command, true);
  if (const int button = buttonOfMenuCommand(command)) toolbarCheck(button, true);
}

std::string fileTitle(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void refreshInterface() {
  menuAttachFresh();
  const ViewOptions& o = shell.viewOptions;
  showFlag(o.showCenterOfMass, cmdCenterOfMass);
  showFlag(o.showAxes, cmdAxes);
  showFlag(o.zoomDependentRotation, cmdZoomDependentRotation);
  showFlag(o.inertialRotation, cmdInertialRotation);
  // A level from a hand-edited file may match no item: none is checked.
  for (int k = 0; k < 11; ++k) {
    if (o.depthCueLevel == kDepthCueLevels[k]) {
      menuCheck(cmdDepthCueOff + k, true);
      break;
    }
  }
  showFlag(o.style == DisplayStyle::HiddenLine, cmdHiddenLine);
  showFlag(o.pivot == Pivot::Center, cmdPivotCenter);
  showFlag(o.pivot == Pivot::Origin, cmdPivotOrigin);
  showFlag(o.showBoundingBox, cmdBoundingBox);
  showFlag(o.lighting, cmdLighting);
  showFlag(o.style == DisplayStyle::Wireframe, cmdWireframe);
  showFlag(o.style == DisplayStyle::Solid, cmdSolid);
  showFlag(o.saveSettingsOnExit, cmdSaveSettingsOnExit);

  drawingAreaSetHint(shell.shown.hasModel() ? "" : "Open a model with File > Open, Ctrl+O, or drop one here");
  if (shell.shown.hasModel()) {
    statusSetText(0, formatDisplayName(shell.shown.path));
    windowSetTitle(fileTitle(shell.shown.path) + " - Tessera");
    long long polygons = 0, vertices = 0;
    for (const MeshObject& object : shell.shown.model) {
      polygons += object.numFaces();
      vertices += object.numVertices();
    }
    char totals[96];
    std::snprintf(totals, sizeof totals, "Polygons: %lld  Vertices: %lld", polygons, vertices);
    statusSetText(1, totals);
    menuEnable(cmdSaveAs, true);
  } else {
    menuEnable(cmdSaveAs, false);
  }
  // While a picture is shown behind the model, clearing it stays possible.
  menuEnable(cmdClearBackground, shell.shown.backgroundShown);
  rebuildRecentMenu();
}

void rebuildRecentMenu() {
  for (int i = 0; i < kRecentCapacity; ++i) menuDelete(cmdRecentFirst + i);
  menuDelete(cmdRecentSeparator);
  for (std::int32_t i = 0; i < shell.recent.count; ++i) {
    menuInsertBefore(cmdClearList, cmdRecentFirst + i, shell.recent.files[static_cast<std::size_t>(i)].path);
  }
  menuInsertBefore(cmdClearList, cmdRecentSeparator, "");
}
