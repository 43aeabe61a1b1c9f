#include "settings/view_options.h"

ViewOptions firstRunViewOptions() {
  ViewOptions o;
  o.showAxes = true;
  o.depthCueLevel = 0.3f;
  o.showBoundingBox = true;
  o.saveSettingsOnExit = true;
  o.lighting = true;  // shapes read at a glance; files that say otherwise keep their choice
  o.foregroundColor = {1.0f, 1.0f, 1.0f};
  o.backgroundColor = {0.0f, 128.0f / 255.0f, 1.0f};
  return o;
}


UpAxis chosenUpAxis(const ViewOptions& options, const std::string& formatKey, UpAxis usual) {
  const auto chosen = options.upAxisChoices.find(formatKey);
  return chosen != options.upAxisChoices.end() ? chosen->second : usual;
}
