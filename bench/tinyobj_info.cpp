// The yardstick for whole-process loading: read an OBJ file with
// tinyobjloader and print its counts, as `tessera-tool info` would.
#include <cstdio>

#include <tiny_obj_loader.h>

int main(int argc, char** argv) {
  if (argc != 2) return 1;
  tinyobj::ObjReader reader;
  if (!reader.ParseFromFile(argv[1])) return 2;
  std::size_t faces = 0;
  for (const auto& shape : reader.GetShapes()) faces += shape.mesh.num_face_vertices.size();
  std::printf("Polygons: %zu  Vertices: %zu\n", faces, reader.GetAttrib().vertices.size() / 3);
  return 0;
}
