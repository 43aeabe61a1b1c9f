#include "formats/format_table.h"

#include <array>

#include "formats/readers.h"

namespace {

// A single x ends the list: any other name ending in x is taken as DirectX.
constexpr std::array<FormatInfo, 14> kFormats{{
    {format3DStudio, "3ds", "3D Studio format", read3dsFile, nullptr, "(.3ds) 3D Studio Object", true},
    {formatTruespace, "cob", "Truespace format", readCobFile, nullptr, "(.cob) Truespace Object", false},
    {formatDxf, "dxf", "Autodesk format", readDxfFile, readDxfText, "(.dxf) Autodesk's DXF format", false},
    {formatGltf, "gltf", "glTF format", readGltfFile, nullptr, "(.gltf) glTF", false},
    {formatGlb, "glb", "glTF format", readGltfFile, nullptr, "(.glb) glTF binary", false},
    {formatLightwave, "lwo", "Lightwave format", readLwoFile, nullptr, "(.lwo) Lightwave", false},
    {formatQuake2, "md2", "Quake 2 format", readMd2File, nullptr, "(.md2) Quake 2 model", true},
    {formatQuake1, "mdl", "Quake 1 format", readMdlFile, nullptr, "(.mdl) Quake 1 model", true},
    {formatWavefront, "obj", "Wavefront format", readObjFile, readObjText, "(.obj) Wavefront", false},
    {formatOff, "off", "OFF format", readOffFile, readOffText, "(.off) OFF", false},
    {formatPly, "ply", "PLY format", readPlyFile, nullptr, "(.ply) PLY (polygon file format)", false},
    {formatStl, "stl", "STL format", readStlFile, nullptr, "(.stl) STL (stereolithography)", false},
    {formatVtk, "vtk", "Vis. Toolkit format", readVtkFile, readVtkText, "(.vtk) Visualization Toolkit", false},
    {formatDirectX, "x", "DirectX format", readXFile, nullptr, nullptr, false},
}};

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
