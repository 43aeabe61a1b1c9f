#pragma once
// The messages the window system delivers to mainWindowProc, and the
// command numbers of the menu, the toolbar and the Recent items.

#include <cstdint>

enum WindowMessage : int {
  msgCreate = 1,
  msgDestroy = 2,
  msgMove = 3,
  msgSize = 5,        // wParam, lParam: the drawing area's width and height, device pixels
  msgPaint = 15,
  msgNotify = 78,     // a toolbar tooltip: wParam the command, lParam a 128-character buffer
  msgCommand = 273,   // wParam: the command number
  msgDropFiles = 563, // wParam: the number of files; the paths come from droppedFilePath
  msgMouseMove = 512,
  msgLeftButtonDown = 513,
  msgLeftButtonUp = 514,
  msgRightButtonDown = 516,
  msgRightButtonUp = 517,
  WM_SPIN = 31337,    // the loop's nudge while the model spins on
};

// Menu commands.
enum Command : int {
  cmdOpen = 40007,
  cmdClose = 40008,
  cmdSaveAllSettings = 40009,
  cmdQuit = 40010,
  cmdAxes = 40015,
  cmdCenterOfMass = 40016,
  cmdHiddenLine = 40019,
  cmdZoomDependentRotation = 40020,
  cmdInertialRotation = 40021,
  cmdPivotCenter = 40023,
  cmdPivotOrigin = 40024,
  cmdBoundingBox = 40025,
  cmdWireframe = 40027,
  cmdSolid = 40028,
  cmdAbout = 40030,
  cmdAddToFolder = 40031,
  cmdExportImage = 40032,
  cmdSaveAs = 40033,
  cmdClearList = 40036,
  cmdExportGif = 40037,
  cmdImportBackground = 40038,
  cmdDepthCueOff = 40051,    // 40051 .. 40061: OFF, 10% .. 90%, 99%
  cmdDepthCue99 = 40061,
  cmdForeground = 40062,
  cmdBackground = 40063,
  cmdSaveSettingsOnExit = 40067,
  cmdClearBackground = 40089,
  cmdExportIcon = 40092,
  cmdCreateFolder = 40093,
  cmdRecentSeparator = 40000,
  cmdRecentFirst = 30000,    // 30000 + i: recent entry i
};

int mainWindowProc(int message, std::intptr_t wParam, std::intptr_t lParam);
