#include "support/mesh_builders.h"

#include <cmath>
#include <cstdio>

MeshObject makeObject(const std::vector<float>& vertices,
                      const std::vector<std::vector<std::int32_t>>& faces) {
  MeshObject object;
  object.numVertices = static_cast<std::int32_t>(vertices.size() / 3);
  object.vertices = vertices;
  for (const auto& face : faces) {
    auto slot = object.faces.append(face.size());
    std::copy(face.begin(), face.end(), slot.begin());
    object.faceSizes.push_back(static_cast<std::int16_t>(face.size()));
  }
  object.numFaces = static_cast<std::int32_t>(faces.size());
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

MeshObject makeTriangleGrid(int n) {
  MeshObject object;
  const int side = n + 1;
  object.numVertices = side * side;
  object.vertices.reserve(static_cast<std::size_t>(object.numVertices) * 3);
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      object.vertices.push_back(static_cast<float>(x) * 0.125f - 3.5f);
      object.vertices.push_back(static_cast<float>(y) * 0.0625f + 1.25f);
      object.vertices.push_back(static_cast<float>((x * 7 + y * 13) % 97) / 97.0f);
    }
  }
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      const int a = y * side + x;
      auto first = object.faces.append(3);
      first[0] = a;
      first[1] = a + 1;
      first[2] = a + side;
      auto second = object.faces.append(3);
      second[0] = a + 1;
      second[1] = a + side + 1;
      second[2] = a + side;
      object.faceSizes.push_back(3);
      object.faceSizes.push_back(3);
    }
  }
  object.numFaces = 2 * n * n;
  computeBounds(object);
  computeCenter(object);
  return object;
}

std::string offText(const MeshObject& object) {
  std::string text = "OFF\n";
  char line[160];
  std::snprintf(line, sizeof line, "%d %d %d\n", object.numVertices, object.numFaces, 0);
  text += line;
  for (std::int32_t i = 0; i < object.numVertices; ++i) {
    const float* v = &object.vertices[static_cast<std::size_t>(i) * 3];
    std::snprintf(line, sizeof line, "%f %f %f\n", v[0], v[1], v[2]);
    text += line;
  }
  for (std::int32_t f = 0; f < object.numFaces; ++f) {
    std::snprintf(line, sizeof line, "%d ", object.faceSizes[static_cast<std::size_t>(f)]);
    text += line;
    for (std::int32_t index : object.faces[static_cast<std::size_t>(f)]) {
      std::snprintf(line, sizeof line, "%d ", index);
      text += line;
    }
    text += '\n';
  }
  return text;
}

std::size_t modelBytes(const MeshObject& o) {
  return o.vertices.capacity() * sizeof(float) +
         o.faces.indices.capacity() * sizeof(std::int32_t) +
         o.faces.offsets.capacity() * sizeof(std::uint32_t) +
         o.faceSizes.capacity() * sizeof(std::int16_t);
}
