#include "support/mesh_builders.h"

#include <algorithm>
#include <cmath>

#include "formats/off_writer.h"

MeshObject makeObject(const std::vector<float>& vertices, const std::vector<std::vector<std::int32_t>>& faces) {
  MeshObject object;
  object.vertices = vertices;
  for (const auto& face : faces) std::ranges::copy(face, object.faces.append(face.size()).begin());
  computeBounds(object);
  computeCenter(object);
  return object;
}

MeshObject makeTorus(int rings, int segments, float majorRadius, float minorRadius) {
  std::vector<float> vertices;
  std::vector<std::vector<std::int32_t>> faces;
  const double pi = 3.14159265358979323846;
  for (int i = 0; i < rings; ++i) {
    const double u = 2 * pi * i / rings;
    for (int j = 0; j < segments; ++j) {
      const double v = 2 * pi * j / segments;
      const double r = majorRadius + minorRadius * std::cos(v);
      vertices.push_back(static_cast<float>(r * std::cos(u)));
      vertices.push_back(static_cast<float>(r * std::sin(u)));
      vertices.push_back(static_cast<float>(minorRadius * std::sin(v)));
    }
  }
  for (int i = 0; i < rings; ++i) {
    for (int j = 0; j < segments; ++j) {
      const int a = i * segments + j;
      const int b = ((i + 1) % rings) * segments + j;
      const int c = ((i + 1) % rings) * segments + (j + 1) % segments;
      const int d = i * segments + (j + 1) % segments;
      faces.push_back({a, b, c, d});
    }
  }
  return makeObject(vertices, faces);
}

std::string writeModelFile(const std::string& path, const MeshObject& object) {
  writeOffFile(object, path.c_str());
  return path;
}
