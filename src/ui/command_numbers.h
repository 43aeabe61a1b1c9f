#pragma once
// The command numbers of the menu, the toolbar and the Recent items.

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
  cmdResetView = 40100,
  cmdFit = 40101,
  cmdLighting = 40102,
  cmdFullScreen = 40103,
  cmdModelColors = 40104,
  cmdSmoothShading = 40105,
  cmdPointSize1 = 40111,     // 40111 .. 40120: points 1 to 10 pixels across
  cmdPointSize10 = 40120,
  cmdRecentSeparator = 40000,
  cmdRecentFirst = 30000,    // 30000 + i: recent entry i
};
