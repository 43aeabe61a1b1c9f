#include "model/dump.h"

#include <cstdarg>
#include <cstdio>

#include "platform/platform.h"

namespace {

void appendFormatted(std::string& out, const char* format, ...) {
  char line[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  out += line;
}

void sendLines(const std::string& text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size() - 1;
    platformDebugOutput(std::string_view(text).substr(start, end - start + 1));
    start = end + 1;
  }
}

const char* bindingWords(Binding binding) {
  switch (binding) {
    case Binding::None: return "none";
    case Binding::PerVertex: return "per vertex";
    case Binding::PerFace: return "per face";
    case Binding::PerCorner: return "per corner";
  }
  return "none";
}

}  // namespace

std::string formatObjectStatistics(const MeshObject& o) {
  std::string out;
  appendFormatted(out, "      Number Of Vertices = %d\n", o.numVertices());
  appendFormatted(out, "         Number Of Faces = %d\n", o.numFaces());
  appendFormatted(out, "Center Of Geometric Mass = (%f, %f, %f)\n", o.xCenMass, o.yCenMass,
                  o.zCenMass);
  appendFormatted(out, "                  Bounds = %f <--x--> %f\n", o.xMin, o.xMax);
  appendFormatted(out, "                           %f <--y--> %f\n", o.yMin, o.yMax);
  appendFormatted(out, "                           %f <--z--> %f\n", o.zMin, o.zMax);
  // Lines only for the parts an object has, so a plain mesh reads as before.
  if (o.colors.present()) appendFormatted(out, "                 Colours = %s\n", bindingWords(o.colors.binding));
  if (o.normals.present()) appendFormatted(out, "                 Normals = %s\n", bindingWords(o.normals.binding));
  if (o.texCoords.present()) {
    appendFormatted(out, "     Texture Coordinates = %s\n", bindingWords(o.texCoords.binding));
  }
  if (o.lines.count() > 0) appendFormatted(out, "                   Lines = %zu\n", o.lines.count());
  if (o.isPointCloud()) appendFormatted(out, "                  Points = %d\n", o.numVertices());
  return out;
}

std::string formatModelAppearance(const Model& model) {
  std::string out;
  if (!model.materials.empty()) appendFormatted(out, "Materials = %zu\n", model.materials.size());
  if (!model.textures.empty()) appendFormatted(out, "Textures = %zu\n", model.textures.size());
  return out;
}

std::string formatModelFrames(const Model& model) {
  const VertexFrames& frames = model.frames;
  std::string out;
  if (frames.empty() && !model.scene.empty()) {
    out += "Animations =";
    for (std::size_t k = 0; k < model.scene.animations.size(); ++k) {
      const NodeAnimation& a = model.scene.animations[k];
      appendFormatted(out, "%s %s %.2f s", k == 0 ? "" : ",", a.name.c_str(), static_cast<double>(a.seconds));
    }
    out += "\n";
    return out;
  }
  if (frames.empty()) return "";
  appendFormatted(out, "Frames = %zu\n", frames.count());
  out += "Animations =";
  for (std::size_t k = 0; k < frames.runs.size(); ++k) {
    appendFormatted(out, "%s %s %zu", k == 0 ? "" : ",", frames.runs[k].name.c_str(), frames.runs[k].count);
  }
  out += "\n";
  return out;
}

std::string formatWorldStatistics(const World& w) {
  std::string out;
  appendFormatted(out, "WORLD --> xCenMass = %f\n", w.xCenMass);
  appendFormatted(out, "WORLD --> yCenMass = %f\n", w.yCenMass);
  appendFormatted(out, "WORLD --> zCenMass = %f\n", w.zCenMass);
  appendFormatted(out, "WORLD -->     xMin = %f\n", w.xMin);
  appendFormatted(out, "WORLD -->     xMax = %f\n", w.xMax);
  appendFormatted(out, "WORLD -->     yMin = %f\n", w.yMin);
  appendFormatted(out, "WORLD -->     yMax = %f\n", w.yMax);
  appendFormatted(out, "WORLD -->     zMin = %f\n", w.zMin);
  appendFormatted(out, "WORLD -->     zMax = %f\n", w.zMax);
  return out;
}

void dumpObject(const MeshObject& object) { sendLines(formatObjectStatistics(object)); }

void dumpWorld(const World& world) { sendLines(formatWorldStatistics(world)); }
