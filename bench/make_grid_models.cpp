// Writes the benchmark grid as OBJ, OFF, binary STL, binary little-endian
// PLY and binary glTF: make_grid_models CELLS FOLDER.
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
  // glTF: positions, then uint32 indices, in the binary chunk.
  std::FILE* glb = std::fopen((folder + "/grid.glb").c_str(), "wb");
  if (glb == nullptr) return 1;
  const std::size_t positions = 4 * grid.vertices.size(), indices = 4 * grid.faces.indices.size();
  std::string json = "{\"asset\":{\"version\":\"2.0\"},\"buffers\":[{\"byteLength\":" + std::to_string(positions + indices) +
                     "}],\"bufferViews\":[{\"buffer\":0,\"byteLength\":" + std::to_string(positions) +
                     "},{\"buffer\":0,\"byteOffset\":" + std::to_string(positions) + ",\"byteLength\":" + std::to_string(indices) +
                     "}],\"accessors\":[{\"bufferView\":0,\"componentType\":5126,\"count\":" + std::to_string(grid.numVertices()) +
                     ",\"type\":\"VEC3\"},{\"bufferView\":1,\"componentType\":5125,\"count\":" +
                     std::to_string(grid.faces.indices.size()) + ",\"type\":\"SCALAR\"}],\"meshes\":[{\"primitives\":"
                     "[{\"attributes\":{\"POSITION\":0},\"indices\":1}]}],\"nodes\":[{\"mesh\":0}],\"scenes\":[{\"nodes\":[0]}]}";
  json.resize((json.size() + 3) / 4 * 4, ' ');
  const std::uint32_t glbHeader[5] = {0x46546C67u, 2, static_cast<std::uint32_t>(28 + json.size() + positions + indices),
                                   static_cast<std::uint32_t>(json.size()), 0x4E4F534Au};
  const std::uint32_t binHeader[2] = {static_cast<std::uint32_t>(positions + indices), 0x004E4942u};
  std::fwrite(glbHeader, 4, 5, glb);
  std::fwrite(json.data(), 1, json.size(), glb);
  std::fwrite(binHeader, 4, 2, glb);
  std::fwrite(grid.vertices.data(), 1, positions, glb);
  std::fwrite(grid.faces.indices.data(), 1, indices, glb);
  return std::fclose(obj) == 0 && std::fclose(off) == 0 && std::fclose(stl) == 0 && std::fclose(ply) == 0 &&
                 std::fclose(glb) == 0
             ? 0
             : 1;
}
