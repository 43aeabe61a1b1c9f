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
