#include "app/viewer_startup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/format_names.h"
#include "app/version.h"
#include "model/world.h"
#include "platform/platform.h"
#include "platform/window_system.h"
#include "settings/recent_files.h"
#include "settings/settings_file.h"
#include "settings/view_options.h"
#include "ui/shell.h"
#include "ui/interface_refresh.h"
#include "ui/main_window.h"
#include "ui/model_opening.h"

namespace {

constexpr const char* kUsage =
    "Usage: tessera [MODEL]\n"
    "\n"
    "Shows a polygonal 3D model in a window; without MODEL, an empty window.\n"
    "Reads " TESSERA_FORMAT_NAMES " models.\n"
    "Options:\n"
    "  --help     show this text\n"
    "  --version  show the version\n";

}  // namespace

int viewerOptions(int argc, char** argv, std::vector<std::string>& files) {
  files.clear();
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("tessera %s\n", kTesseraVersion);
    return 0;
  }
  for (int k = 1; k < argc; ++k) files.emplace_back(argv[k]);
  return -1;
}

void startViewer(const std::vector<std::string>& files) {
  // A settings problem and the named files' failures come in one notice.
  const NoticeGathering gathering;
  shell.windowGeometry = WindowGeometry{};
  readRecentList(shell.recent);
  readSettings("Tessera.ini", shell.viewOptions, shell.windowGeometry);
  // Notices stand centred on the window.
  const WindowGeometry& g = shell.windowGeometry;
  platformSetNoticeAnchor(g.windowX, g.windowY, g.windowWidth, g.windowHeight);
  if (const std::string problem = settingsFolderProblem(); !problem.empty()) tellSettingsNotSaved(problem);
  // The window shows first, so that a big model's loading can be seen.
  if (!createMainWindow()) std::exit(-1);
  const ShowState state = showState(shell.windowGeometry);
  showMainWindow(state == ShowState::Maximized, state == ShowState::Minimized);
  refreshInterface();
  openFirstOf(files);  // read while the window is already usable
}

int finishViewer(int quitCode) {
  if (shell.viewOptions.saveSettingsOnExit && settingsFolderProblem().empty()) {
    if (const WriteResult written = writeSettings("Tessera.ini", shell.viewOptions, shell.windowGeometry); !written) {
      std::fprintf(stderr, "tessera: %s: %s\n", settingsPath("Tessera.ini").c_str(), written.reason.c_str());
    }
  }
  return quitCode;
}
