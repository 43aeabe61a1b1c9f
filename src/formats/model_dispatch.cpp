#include "formats/model_dispatch.h"

#include <new>

#include <utility>

void stripSurroundingQuotes(std::string& name) {
  if (name.empty() || name[0] != '"') return;
  name.erase(0, 1);
  const std::size_t closing = name.find('"');
  if (closing != std::string::npos) name.erase(closing);
}

ReadResult readModelFile(const char* name, const FormatInfo*& format) {
  format = formatOfName(name);
  if (format == nullptr) return ReadFailure::UnknownFormat;
  try {
    return format->reader(name);
  } catch (const std::bad_alloc&) {
    // Counts are checked against the file before anything is allocated, so
    // this is a model larger than the memory there is: that file's failure.
    return refuseDamaged(name, "needs more memory than there is");
  }
}

void showModel(Shown& shown, Model model, FormatId format, std::string path) {
  const FormatInfo* row = formatInfo(format);
  showOn(shown, std::move(model), format, row != nullptr && row->drawsTriangles, std::move(path));
}
