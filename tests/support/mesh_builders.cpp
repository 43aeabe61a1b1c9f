#include "support/mesh_builders.h"

#include <cstring>

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

std::string md2Bytes(const std::vector<std::string>& frameNames) {
  const auto i32 = [](std::string& out, std::int32_t v) {
    for (int k = 0; k < 4; ++k) out.push_back(static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * k)) & 0xFF));
  };
  const auto f32 = [&](std::string& out, float v) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &v, 4);
    i32(out, static_cast<std::int32_t>(bits));
  };
  const std::int32_t vertices = 3, frameSize = 40 + 4 * vertices, frames = static_cast<std::int32_t>(frameNames.size());
  const std::int32_t trianglesAt = 68, framesAt = trianglesAt + 12;
  std::string out = "IDP2";
  for (std::int32_t v : {8, 0, 0, frameSize, 0, vertices, 0, 1, 0, frames, 68, 68, trianglesAt, framesAt,
                         framesAt + frames * frameSize, framesAt + frames * frameSize}) {
    i32(out, v);
  }
  for (int v : {0, 1, 2, 0, 0, 0}) out.push_back(static_cast<char>(v)), out.push_back(0);  // the triangle
  for (std::int32_t k = 0; k < frames; ++k) {
    for (float s : {1.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f}) f32(out, s);
    std::string name = frameNames[static_cast<std::size_t>(k)];
    name.resize(16, '\0');
    out += name;
    const int places[3][3] = {{k, 2 * k, 3 * k}, {10, 0, 0}, {0, 10, 0}};
    for (const auto& p : places) {
      for (int c : p) out.push_back(static_cast<char>(c));
      out.push_back(0);  // normal index
    }
  }
  return out;
}
