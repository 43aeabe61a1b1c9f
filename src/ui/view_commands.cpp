#include "ui/view_commands.h"

#include "formats/up_axis_defaults.h"
#include "platform/window_system.h"
#include "render/standard_views.h"
#include "render/view_fit.h"
#include "ui/command_numbers.h"
#include "ui/shell.h"
#include "ui/trackball.h"

UpAxis shownUpAxis() {
  if (!shell.shown.hasModel()) return UpAxis::Y;
  const auto format = static_cast<FormatId>(shell.shown.format);
  return chosenUpAxis(shell.viewOptions, upAxisKey(format), writtenZUp(format) ? UpAxis::Z : UpAxis::Y);
}

bool runViewCommand(int command) {
  if (command >= cmdViewFront && command <= cmdViewIsometric) {
    showStandardView(static_cast<StandardView>(static_cast<int>(StandardView::Front) + command - cmdViewFront));
    return true;
  }
  switch (command) {
    case cmdOrthographic:
      shell.viewOptions.orthographic = !shell.viewOptions.orthographic;
      // The same size at the model's centre either way; a fitted view is fitted anew.
      if (shell.camera.fitted) fitModelToView(shell.shown, shell.viewOptions, shell.camera);
      return true;
    case cmdUpAxisY:
    case cmdUpAxisZ:
      if (!shell.shown.hasModel()) return true;
      // Kept for every file of the format from now on; this one stands up anew.
      shell.viewOptions.upAxisChoices[upAxisKey(static_cast<FormatId>(shell.shown.format))] =
          command == cmdUpAxisZ ? UpAxis::Z : UpAxis::Y;
      resetView();
      return true;
    default: return false;
  }
}

void showViewMenuState() {
  const bool model = shell.shown.hasModel();
  menuCheck(cmdOrthographic, shell.viewOptions.orthographic);
  menuCheck(cmdUpAxisY, model && shownUpAxis() == UpAxis::Y);
  menuCheck(cmdUpAxisZ, model && shownUpAxis() == UpAxis::Z);
  menuEnable(cmdUpAxisY, model);
  menuEnable(cmdUpAxisZ, model);
}
