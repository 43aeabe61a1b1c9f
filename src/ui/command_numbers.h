#pragma once
// The command numbers of the menu, the toolbar and the Recent items.

// Menu commands.
// The Animation menu lists at most this many of a model's animations.
constexpr int kAnimationCapacity = 256;

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
  cmdViewFront = 40121,      // 40121 .. 40127: the standard views, in StandardView's order from Front
  cmdViewBack = 40122,
  cmdViewLeft = 40123,
  cmdViewRight = 40124,
  cmdViewTop = 40125,
  cmdViewBottom = 40126,
  cmdViewIsometric = 40127,
  cmdOrthographic = 40128,
  cmdUpAxisY = 40129,
  cmdUpAxisZ = 40130,
  cmdSimplifyWhileMoving = 40131,
  cmdPlayPause = 40132,
  cmdNextFrame = 40133,
  cmdPreviousFrame = 40134,
  cmdAllFrames = 40135,
  cmdGifStep = 40136,        // the next frame of an animated GIF being written (no menu item)
  cmdAnimationFirst = 31000,  // 31000 + i: the model's animation i
  cmdRecentSeparator = 40000,
  cmdRecentFirst = 30000,    // 30000 + i: recent entry i
};
