#include "formats/up_axis_defaults.h"

bool writtenZUp(FormatId format) {
  switch (format) {
    // The game engines that load these keep z up: their models stand on the x-y floor.
    case formatQuake1:
    case formatQuake2:
    // Modelling and CAD programs with a z-up world: 3D Studio, trueSpace, and
    // the drawing plane of a CAD program is x-y with z toward the viewer of a plan.
    case format3DStudio:
    case formatTruespace:
    case formatDxf:
    // Printing tools lay the part on the x-y build plate.
    case formatStl:
    case formatImport3mf:
    case formatImportAmf: return true;
    // glTF is y up by its own definition; Wavefront, LightWave and DirectX
    // files are written y up by their programs; OFF, PLY and VTK hold scans,
    // shape collections and simulations that mostly stand y up as viewers
    // of those kinds show them.
    default: return false;
  }
}

std::string upAxisKey(FormatId format) {
  if (format == formatGlb) format = formatGltf;  // the binary and the text form are one format
  const FormatInfo* info = formatInfo(format);
  return info != nullptr ? info->ending : "";
}
