#pragma once
// The viewer's one owner of what is shown, the camera, the options and the
// rest of the shell's state. The window system reaches the shell only through
// its one handler, so this is the one place the viewer's state lives.

#include <memory>
#include <string>

#include "model/shown.h"
#include "render/camera.h"
#include "settings/recent_files.h"
#include "settings/view_options.h"
#include "ui/animation_playback.h"
#include "ui/trackball_state.h"
#include "ui/view_motion.h"

struct ModelRead;  // ui/model_opening.cpp

struct Shell {
  Shown shown;
  Camera camera;
  ViewOptions viewOptions;
  WindowGeometry windowGeometry;
  RecentList recent;
  TrackballState trackball;
  ViewMotion motion;
  Playback playback;
  // Right edges of the two status-bar parts.
  int statusParts[2] = {0, 0};
  // The user has been told that settings cannot be saved this session.
  bool settingsProblemTold = false;
  std::string lastFolder;  // of the last file chosen, where choosers open without a model
  std::shared_ptr<ModelRead> reading;  // the model file being read, whose result is awaited
};

extern Shell shell;
