#include "formats/format_table.h"

#include "formats/readers.h"

namespace {

// In the rows' order: a single x ends them, and any other name ending in x is
// taken as DirectX.
constexpr FormatInfo kFormats[] = {
#define TESSERA_FORMAT(id, value, ending, name, displayName, chooserFilter, reader, textReader, mimeTypes, \
                       drawsTriangles)                                                                 \
  {id, ending, displayName, reader, textReader, chooserFilter, drawsTriangles},
#include "formats/formats.def"
#undef TESSERA_FORMAT
};

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool endsWith(std::string_view name, std::string_view ending) {
  if (name.size() < ending.size()) return false;
  const std::string_view tail = name.substr(name.size() - ending.size());
  for (std::size_t k = 0; k < ending.size(); ++k) {
    if (lower(tail[k]) != ending[k]) return false;
  }
  return true;
}

}  // namespace

std::span<const FormatInfo> formatTable() { return kFormats; }

const FormatInfo* formatOfName(std::string_view name) {
  for (const FormatInfo& format : kFormats) {
    if (endsWith(name, format.ending)) return &format;
  }
  return nullptr;
}

const FormatInfo* formatInfo(FormatId id) {
  for (const FormatInfo& format : kFormats) {
    if (format.id == id) return &format;
  }
  return nullptr;
}

const char* formatDisplayName(std::string_view name) {
  const FormatInfo* format = formatOfName(name);
  return format != nullptr ? format->displayName : "Uknown format";
}
