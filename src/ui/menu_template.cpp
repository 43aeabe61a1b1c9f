#include "ui/menu_template.h"

#include <array>

#include "ui/command_numbers.h"

namespace {

constexpr MenuItem kMenu[] = {
    {0, "&File", 0, false},
    {1, "&Open...", cmdOpen, false, "Ctrl+O"},
    {1, "&Save As...", cmdSaveAs, false, "Ctrl+S"},
    {1, "&Close", cmdClose, false, "Ctrl+W"},
    {1, nullptr, 0, false},
    {1, "Import Background...", cmdImportBackground, false},
    {1, "Clear Background", cmdClearBackground, true},
    {1, nullptr, 0, false},
    {1, "Export Image...", cmdExportImage, false, "Ctrl+E"},
    {1, "Export Animated GIF...", cmdExportGif, true},
    {1, "Export Icon...", cmdExportIcon, true},
    {1, nullptr, 0, false},
    {1, "Save A&ll Settings", cmdSaveAllSettings, false},
    {1, "Save Settings on Exit", cmdSaveSettingsOnExit, false},
    {1, nullptr, 0, false},
    {1, "&Quit", cmdQuit, false, "Ctrl+Q"},
    {0, "&Recent", 0, false},
    {1, "Clear List", cmdClearList, false},
    {0, "&Directory", 0, false},
    {1, "Add to this folder...", cmdAddToFolder, true},
    {1, "Create folder here...", cmdCreateFolder, true},
    {1, nullptr, 0, false},
    {0, "&Options", 0, false},
    {1, "Reset View", cmdResetView, false, "Home"},
    {1, "Fit", cmdFit, false, "F"},
    {1, "Full Screen", cmdFullScreen, false, "F11"},
    {1, nullptr, 0, false},
    // The number keys as on a numeric keypad: 1 front, 3 right, 7 top, with
    // Ctrl the opposite side, 5 between parallel and perspective.
    {1, "View", 0, false},
    {2, "Front", cmdViewFront, false, "1"},
    {2, "Back", cmdViewBack, false, "Ctrl+1"},
    {2, "Right", cmdViewRight, false, "3"},
    {2, "Left", cmdViewLeft, false, "Ctrl+3"},
    {2, "Top", cmdViewTop, false, "7"},
    {2, "Bottom", cmdViewBottom, false, "Ctrl+7"},
    {2, "Isometric", cmdViewIsometric, false, "I"},
    {2, nullptr, 0, false},
    {2, "Orthographic", cmdOrthographic, false, "5"},
    {2, nullptr, 0, false},
    {2, "Up Axis", 0, false},
    {3, "Y Up", cmdUpAxisY, false},
    {3, "Z Up", cmdUpAxisZ, false},
    {1, "Display", 0, false},
    {2, "Model's Axes", cmdAxes, false},
    {2, "Center Of Geometric Mass", cmdCenterOfMass, false},
    {2, "Bounding Box", cmdBoundingBox, false},
    {2, "Lighting", cmdLighting, false, "L"},
    {2, "Model Colours", cmdModelColors, false},
    {2, "Smooth Shading", cmdSmoothShading, false},
    {2, "Point Size", 0, false},
    {3, "1 px", 40111, false},
    {3, "2 px", 40112, false},
    {3, "3 px", 40113, false},
    {3, "4 px", 40114, false},
    {3, "5 px", 40115, false},
    {3, "6 px", 40116, false},
    {3, "7 px", 40117, false},
    {3, "8 px", 40118, false},
    {3, "9 px", 40119, false},
    {3, "10 px", 40120, false},
    {2, "Simplify While Moving", cmdSimplifyWhileMoving, false},
    {1, "Mouse", 0, false},
    {2, "Toggle Pivot Point", 0, false},
    {3, "Center Of Mass", cmdPivotCenter, false},
    {3, "Model's Origin", cmdPivotOrigin, false},
    {2, "Zoom Dependent Rotation Speed", cmdZoomDependentRotation, false},
    {2, "Inertial Rotation", cmdInertialRotation, false},
    {1, "Toggle Geometry", 0, false},
    {2, "Wireframe", cmdWireframe, false},
    {2, "Hidden Line Removal", cmdHiddenLine, false},
    {2, "Solid", cmdSolid, false},
    {1, "Depth Cueing", 0, false},
    {2, "OFF", 40051, false},
    {2, "10%", 40052, false},
    {2, "20%", 40053, false},
    {2, "30%", 40054, false},
    {2, "40%", 40055, false},
    {2, "50%", 40056, false},
    {2, "60%", 40057, false},
    {2, "70%", 40058, false},
    {2, "80%", 40059, false},
    {2, "90%", 40060, false},
    {2, "99%", 40061, false},
    {1, "Colors", 0, false},
    {2, "Foreground...", cmdForeground, false},
    {2, "Background...", cmdBackground, false},
    {0, "&Animation", 0, false},
    {1, "Play", cmdPlayPause, true, "Space"},
    {1, "Next Frame", cmdNextFrame, true, "."},
    {1, "Previous Frame", cmdPreviousFrame, true, ","},
    {1, nullptr, 0, false},
    {1, "All Frames", cmdAllFrames, true},
    {0, "About", cmdAbout, false},
};

constexpr std::array<ToolbarButton, 15> kToolbar{{
    {0, 1, false},
    {1, 2, false},
    {-1, 0, false},
    {2, 3, true},
    {3, 4, true},
    {4, 5, true},
    {-1, 0, false},
    {5, 6, false},
    {6, 7, false},
    {-1, 0, false},
    {7, 8, true},
    {8, 9, true},
    {9, 10, true},
    {-1, 0, false},
    {10, 11, true},
}};

constexpr std::array<const char*, 11> kTooltips{
    "Open File",
    "Close File",
    "Wireframe Display",
    "Hidden Lines Removed Display",
    "Solid Display",
    "Change Foreground Color",
    "Change Background Color",
    "Show Model's Axes",
    "Show Bounding Box",
    "Show Center of Geometric Mass",
    "Toggle Inertial Rotation",
};

constexpr std::array<int, 11> kButtonCommands{cmdOpen,        cmdClose,        cmdWireframe, cmdHiddenLine,
                                              cmdSolid,       cmdForeground,   cmdBackground, cmdAxes,
                                              cmdBoundingBox, cmdCenterOfMass, cmdInertialRotation};

}  // namespace

std::span<const MenuItem> menuTemplate() { return kMenu; }

std::span<const ToolbarButton> toolbarTemplate() { return kToolbar; }

const char* toolbarTooltip(int command) {
  return command >= 1 && command <= 11 ? kTooltips[static_cast<std::size_t>(command - 1)] : "";
}

int menuCommandOfButton(int buttonCommand) {
  return buttonCommand >= 1 && buttonCommand <= 11
             ? kButtonCommands[static_cast<std::size_t>(buttonCommand - 1)]
             : 0;
}

int buttonOfMenuCommand(int menuCommand) {
  for (std::size_t k = 0; k < kButtonCommands.size(); ++k) {
    if (kButtonCommands[k] == menuCommand) return static_cast<int>(k) + 1;
  }
  return 0;
}
