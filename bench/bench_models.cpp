#include "bench_models.h"

#include <cstdio>

MeshObject makeTriangleGrid(int n) {
  MeshObject object;
  const int side = n + 1;
  object.vertices.reserve(static_cast<std::size_t>(side * side) * 3);
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
    }
  }
  computeBounds(object);
  computeCenter(object);
  return object;
}

std::string offText(const MeshObject& object) {
  std::string text = "OFF\n";
  char line[160];
  std::snprintf(line, sizeof line, "%d %d %d\n", object.numVertices(), object.numFaces(), 0);
  text += line;
  for (std::int32_t i = 0; i < object.numVertices(); ++i) {
    const float* v = &object.vertices[static_cast<std::size_t>(i) * 3];
    std::snprintf(line, sizeof line, "%f %f %f\n", v[0], v[1], v[2]);
    text += line;
  }
  for (std::int32_t f = 0; f < object.numFaces(); ++f) {
    std::snprintf(line, sizeof line, "%d ", object.faceSize(static_cast<std::size_t>(f)));
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
         o.faces.offsets.capacity() * sizeof(std::uint32_t);
}
