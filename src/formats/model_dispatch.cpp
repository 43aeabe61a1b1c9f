#include "formats/model_dispatch.h"

#include <algorithm>
#include <new>

#include <utility>

#include "formats/format_sniffing.h"

void stripSurroundingQuotes(std::string& name) {
  if (name.empty() || name[0] != '"') return;
  name.erase(0, 1);
  const std::size_t closing = name.find('"');
  if (closing != std::string::npos) name.erase(closing);
}

namespace {

ReadResult readAs(const FormatInfo& format, const char* name) {
  try {
    return format.reader(name);
  } catch (const std::bad_alloc&) {
    // Counts are checked against the file before anything is allocated, so
    // this is a model larger than the memory there is: that file's failure.
    return refuseDamaged(name, "needs more memory than there is");
  }
}

bool holdsVertices(const ReadResult& read) {
  return read && std::any_of(read.model.begin(), read.model.end(), [](const MeshObject& o) { return o.numVertices() > 0; });
}

}  // namespace

ReadResult readModelFile(const char* name, const FormatInfo*& format) {
  format = formatOfName(name);
  if (format != nullptr) {
    ReadResult read = readAs(*format, name);
    // The ending holds when its reader takes the file; a file it cannot be
    // opened at all, or one of no other kind by its first bytes, keeps what
    // that reader said.
    if (holdsVertices(read) || read.failure == ReadFailure::NotOpened) return read;
    const FormatInfo* found = formatOfFileContent(name);
    if (found == nullptr || found == format) return read;
    ReadResult other = readAs(*found, name);
    if (!holdsVertices(other)) return read;
    format = found;
    return other;
  }
  format = formatOfFileContent(name);
  if (format == nullptr) return ReadFailure::UnknownFormat;
  return readAs(*format, name);
}

void showModel(Shown& shown, Model model, FormatId format, std::string path) {
  const FormatInfo* row = formatInfo(format);
  showOn(shown, std::move(model), format, row != nullptr && row->drawsTriangles, std::move(path));
}
