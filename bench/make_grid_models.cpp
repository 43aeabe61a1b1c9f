// Writes the benchmark grid as OBJ, OFF, binary STL and binary little-endian
// PLY: make_grid_models CELLS FOLDER.
// 708 cells give 1,002,528 triangles; 2240 about ten million.
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench_models.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_grid_models CELLS FOLDER\n");
    return 1;
  }
  const MeshObject grid = makeTriangleGrid(std::atoi(argv[1]));
  const std::string folder = argv[2];
  std::FILE* obj = std::fopen((folder + "/grid.obj").c_str(), "w");
  std::FILE* off = std::fopen((folder + "/grid.off").c_str(), "w");
  if (obj == nullptr || off == nullptr) return 1;
  std::fprintf(obj, "# generated grid\no grid\n");
  std::fprintf(off, "OFF\n%d %d 0\n", grid.numVertices(), grid.numFaces());
  for (std::size_t i = 0; i < grid.vertices.size(); i += 3) {
    std::fprintf(obj, "v %f %f %f\n", grid.vertices[i], grid.vertices[i + 1], grid.vertices[i + 2]);
    std::fprintf(off, "%f %f %f\n", grid.vertices[i], grid.vertices[i + 1], grid.vertices[i + 2]);
  }
  for (std::size_t f = 0; f < grid.faces.count(); ++f) {
    const auto face = grid.faces[f];
    std::fprintf(obj, "f %d %d %d\n", face[0] + 1, face[1] + 1, face[2] + 1);
    std::fprintf(off, "3 %d %d %d\n", face[0], face[1], face[2]);
  }
  std::FILE* stl = std::fopen((folder + "/grid.stl").c_str(), "wb");
  std::FILE* ply = std::fopen((folder + "/grid.ply").c_str(), "wb");
  if (stl == nullptr || ply == nullptr) return 1;
  char header[80] = "generated grid";
  const auto triangles = static_cast<std::uint32_t>(grid.numFaces());
  std::fwrite(header, 1, sizeof header, stl);
  std::fwrite(&triangles, 4, 1, stl);
  std::fprintf(ply, "ply\nformat binary_little_endian 1.0\nelement vertex %d\nproperty float x\nproperty float y\n"
               "property float z\nelement face %d\nproperty list uchar int vertex_indices\nend_header\n",
               grid.numVertices(), grid.numFaces());
  std::fwrite(grid.vertices.data(), sizeof(float), grid.vertices.size(), ply);
  for (std::size_t f = 0; f < grid.faces.count(); ++f) {
    const auto face = grid.faces[f];
    char record[50] = {};  // normal left zero, attribute bytes zero
    for (int c = 0; c < 3; ++c) std::memcpy(record + 12 + 12 * c, &grid.vertices[3 * static_cast<std::size_t>(face[c])], 12);
    std::fwrite(record, 1, sizeof record, stl);
    const unsigned char corners = 3;
    std::fwrite(&corners, 1, 1, ply);
    std::fwrite(face.data(), sizeof(std::int32_t), 3, ply);
  }
  return std::fclose(obj) == 0 && std::fclose(off) == 0 && std::fclose(stl) == 0 && std::fclose(ply) == 0 ? 0 : 1;
}
