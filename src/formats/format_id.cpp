#include "formats/format_id.h"

#include <array>

namespace {

struct FormatEntry {
  const char* ending;  // lower case; digits match exactly
  FormatId id;
};

// In the order the endings are tested.
constexpr std::array<FormatEntry, 9> kEndings{{
    {"off", formatOff},
    {"cob", formatTruespace},
    {"3ds", format3DStudio},
    {"mdl", formatQuake1},
    {"md2", formatQuake2},
    {"dxf", formatDxf},
    {"lwo", formatLightwave},
    {"vtk", formatVtk},
    {"obj", formatWavefront},
}};

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool endsWith(std::string_view name, const char* ending) {
  if (name.size() < 3) return false;
  std::string_view tail = name.substr(name.size() - 3);
  for (int k = 0; k < 3; ++k) {
    if (lower(tail[static_cast<std::size_t>(k)]) != ending[k]) return false;
  }
  return true;
}

}  // namespace

FormatId formatOfName(std::string_view name) {
  for (const FormatEntry& entry : kEndings) {
    if (endsWith(name, entry.ending)) return entry.id;
  }
  if (!name.empty() && lower(name.back()) == 'x') return formatDirectX;
  return formatUnknown;
}

const char* formatDisplayName(std::string_view lastThree) {
  switch (formatOfName(lastThree)) {
    case format3DStudio: return "3D Studio format";
    case formatOff: return "OFF format";
    case formatTruespace: return "Truespace format";
    case formatQuake1: return "Quake 1 format";
    case formatQuake2: return "Quake 2 format";
    case formatDxf: return "Autodesk format";
    case formatLightwave: return "Lightwave format";
    case formatVtk: return "Vis. Toolkit format";
    case formatDirectX: return "DirectX format";
    case formatWavefront: return "Wavefront format";
    case formatUnknown: break;
  }
  return "Uknown format";
}
