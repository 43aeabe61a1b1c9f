#include "settings/view_options.h"

ViewOptions viewOptions;
WindowGeometry windowGeometry;

void resetViewOptions() {
  viewOptions = ViewOptions{};
  windowGeometry = WindowGeometry{};
}
