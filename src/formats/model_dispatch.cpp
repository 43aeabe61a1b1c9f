#include "formats/model_dispatch.h"

#include "model/current_model.h"
#include "model/world.h"

FormatId currentFormat = formatUnknown;
bool modelLoaded = false;

void stripSurroundingQuotes(std::string& name) {
  if (name.empty() || name[0] != '"') return;
  name.erase(0, 1);
  const std::size_t closing = name.find('"');
  if (closing != std::string::npos) name.erase(closing);
}

ReadResult readModelFile(const char* name, const FormatInfo*& format) {
  format = formatOfName(name);
  if (format == nullptr) return ReadFailure::UnknownFormat;
  return format->reader(name);
}

void showModel(Model model, FormatId format) {
  currentModel = std::move(model);
  currentFormat = format;
  modelLoaded = true;
  updateWorld();
}

void resetDispatchState() {
  currentFormat = formatUnknown;
  modelLoaded = false;
}
