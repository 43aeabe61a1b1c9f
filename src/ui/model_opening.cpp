#include "ui/model_opening.h"

#include <cstdlib>

#include "formats/model_dispatch.h"
#include "platform/platform.h"
#include "settings/recent_files.h"

bool openModel(std::string& path, bool fromRecentList) {
  stripSurroundingQuotes(path);
  const FormatInfo* format = nullptr;
  ReadResult read = readModelFile(path.c_str(), format);
  if (read.failure == ReadFailure::UnknownFormat) return false;
  // The reader has said why on the debug output; the program cannot go on.
  if (read.failure == ReadFailure::Refused) std::exit(-1);
  if (read) showModel(std::move(read.model), format->id);
  if (!fromRecentList) {
    addRecentFile(path);
    writeRecentList();
  }
  platformRequestRedraw();
  return static_cast<bool>(read);
}
