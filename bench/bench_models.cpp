#include "bench_models.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
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

MeshObject makeBumpySphere(std::size_t triangles) {
  // Rings of latitude round the sphere, a pole vertex at each end.
  const int n = std::max(4, static_cast<int>(std::lround(std::sqrt(static_cast<double>(triangles) / 4.0))));
  const int rings = n, around = 2 * n;
  MeshObject object;
  const auto point = [&](double polar, double azimuth) {
    const double r = 1.0 + 0.06 * std::sin(7.0 * azimuth) * std::sin(5.0 * polar) +
                     0.015 * std::sin(41.0 * azimuth) * std::sin(37.0 * polar);
    object.vertices.push_back(static_cast<float>(r * std::sin(polar) * std::cos(azimuth)));
    object.vertices.push_back(static_cast<float>(r * std::sin(polar) * std::sin(azimuth)));
    object.vertices.push_back(static_cast<float>(r * std::cos(polar)));
  };
  point(0.0, 0.0);
  for (int ring = 1; ring < rings; ++ring) {
    for (int k = 0; k < around; ++k) point(M_PI * ring / rings, 2.0 * M_PI * k / around);
  }
  point(M_PI, 0.0);
  const int last = 1 + (rings - 1) * around;
  const auto at = [&](int ring, int k) { return 1 + (ring - 1) * around + (k % around); };
  const auto triangle = [&](int a, int b, int c) {
    auto face = object.faces.append(3);
    face[0] = a, face[1] = b, face[2] = c;
  };
  for (int k = 0; k < around; ++k) {
    triangle(0, at(1, k), at(1, k + 1));
    triangle(last, at(rings - 1, k + 1), at(rings - 1, k));
  }
  for (int ring = 1; ring + 1 < rings; ++ring) {
    for (int k = 0; k < around; ++k) {
      triangle(at(ring, k), at(ring + 1, k), at(ring + 1, k + 1));
      triangle(at(ring, k), at(ring + 1, k + 1), at(ring, k + 1));
    }
  }
  computeBounds(object);
  computeCenter(object);
  return object;
}

bool writeBinaryPly(const MeshObject& object, const std::string& path) {
  std::FILE* ply = std::fopen(path.c_str(), "wb");
  if (ply == nullptr) return false;
  std::fprintf(ply,
               "ply\nformat binary_little_endian 1.0\nelement vertex %d\nproperty float x\nproperty float y\n"
               "property float z\nelement face %d\nproperty list uchar int vertex_indices\nend_header\n",
               object.numVertices(), object.numFaces());
  std::fwrite(object.vertices.data(), sizeof(float), object.vertices.size(), ply);
  for (std::size_t f = 0; f < object.faces.count(); ++f) {
    const auto face = object.faces[f];
    const auto corners = static_cast<std::uint8_t>(face.size());
    std::fwrite(&corners, 1, 1, ply);
    std::fwrite(face.data(), sizeof(std::int32_t), face.size(), ply);
  }
  return std::fclose(ply) == 0;
}
