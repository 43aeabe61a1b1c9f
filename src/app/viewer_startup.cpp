#include "app/viewer_startup.h"

#include <cstdlib>

#include "model/world.h"
#include "platform/platform.h"
#include "platform/window_system.h"
#include "settings/recent_files.h"
#include "settings/settings_file.h"
#include "settings/view_options.h"
#include "ui/interface_refresh.h"
#include "ui/main_window.h"
#include "ui/model_opening.h"
#include "ui/shell_state.h"

std::string commandLineText(int argc, char** argv) {
  std::string text;
  for (int k = 1; k < argc; ++k) {
    if (k > 1) text += ' ';
    text += argv[k];
  }
  return text;
}

void startViewer(const std::string& commandLine) {
  windowGeometry = WindowGeometry{};
  readRecentList();
  readSettings("Tessera.ini");
  // The model opens before the window exists: a notice then has no owner and
  // stands where the window will appear.
  const WindowGeometry& g = windowGeometry;
  platformSetNoticeAnchor(g.windowX, g.windowY, g.windowWidth, g.windowHeight);
  currentPath = commandLine;
  if (!currentPath.empty() && !openModel(currentPath, false)) updateWorld();
  if (!createMainWindow()) std::exit(-1);
  showMainWindow(windowGeometry.windowShowState);
  refreshInterface();
}

int finishViewer(int quitCode) {
  if (viewOptions.saveSettingsOnExit) writeSettings("Tessera.ini");
  return quitCode;
}
