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
#include "ui/view_commands.h"

namespace {

std::string fileTitle(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void showMenuState() {
  const ViewOptions& o = shell.viewOptions;
  const struct {
    int command;
    bool on;
  } marks[] = {
      {cmdCenterOfMass, o.showCenterOfMass},
      {cmdAxes, o.showAxes},
      {cmdZoomDependentRotation, o.zoomDependentRotation},
      {cmdInertialRotation, o.inertialRotation},
      {cmdHiddenLine, o.style == DisplayStyle::HiddenLine},
      {cmdPivotCenter, o.pivot == Pivot::Center},
      {cmdPivotOrigin, o.pivot == Pivot::Origin},
      {cmdBoundingBox, o.showBoundingBox},
      {cmdLighting, o.lighting},
      {cmdModelColors, o.modelColors},
      {cmdSmoothShading, o.smoothShading},
      {cmdSimplifyWhileMoving, o.simplifyWhileMoving},
      {cmdWireframe, o.style == DisplayStyle::Wireframe},
      {cmdSolid, o.style == DisplayStyle::Solid},
      {cmdSaveSettingsOnExit, o.saveSettingsOnExit},
  };
  for (const auto& mark : marks) {
    menuCheck(mark.command, mark.on);
    if (const int button = buttonOfMenuCommand(mark.command)) toolbarCheck(button, mark.on);
  }
  // A level from a hand-edited file may match no item: none is checked.
  for (int k = 0; k < 11; ++k) menuCheck(cmdDepthCueOff + k, o.depthCueLevel == kDepthCueLevels[k]);
  for (int size = 1; size <= 10; ++size) menuCheck(cmdPointSize1 + size - 1, o.pointSize == size);
  showViewMenuState();
  menuEnable(cmdSaveAs, shell.shown.hasModel());
  menuEnable(cmdExportGif, shell.shown.hasModel());
  // While a picture is shown behind the model, clearing it stays possible.
  menuEnable(cmdClearBackground, shell.shown.backgroundShown);
}

void refreshInterface() {
  menuAttachFresh();
  playbackModelShown();
  showMenuState();
  drawingAreaSetHint(shell.shown.hasModel() ? "" : "Open a model with File > Open, Ctrl+O, or drop one here");
  if (shell.shown.hasModel()) {
    const FormatInfo* format = formatInfo(static_cast<FormatId>(shell.shown.format));  // as found, not as named
    statusSetText(0, format != nullptr ? format->displayName : "Uknown format");
    windowSetTitle(fileTitle(shell.shown.path) + " - Tessera");
    long long polygons = 0, vertices = 0;
    for (const MeshObject& object : shell.shown.model) {
      polygons += object.numFaces();
      vertices += object.numVertices();
    }
    char totals[96];
    std::snprintf(totals, sizeof totals, "Polygons: %lld  Vertices: %lld", polygons, vertices);
    statusSetText(1, totals);
  }
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
