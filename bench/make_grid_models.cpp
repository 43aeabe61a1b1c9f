// Writes the benchmark grid as OBJ and OFF: make_grid_models CELLS FOLDER.
// 708 cells give 1,002,528 triangles; 2240 about ten million.
#include <cstdio>
#include <cstdlib>
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
  return std::fclose(obj) == 0 && std::fclose(off) == 0 ? 0 : 1;
}
