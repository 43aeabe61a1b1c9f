#pragma once
// One object of a model: its vertex table, its polygonal faces, lines and
// surface attributes, and the bounds and centre derived from the vertices.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "model/appearance.h"
#include "model/scene_animation.h"
#include "model/vertex_frames.h"

// All faces of an object stored flat: one index array and one start offset per
// face (plus the end of the last face). faces[i][j] reads like a list of lists
// at a fraction of the memory of one heap array per face.
struct FaceTable {
  std::vector<std::int32_t> indices;
  std::vector<std::uint32_t> offsets{0};

  std::span<const std::int32_t> operator[](std::size_t face) const {
    return {indices.data() + offsets[face], offsets[face + 1] - offsets[face]};
  }
  std::span<std::int32_t> operator[](std::size_t face) {
    return {indices.data() + offsets[face], offsets[face + 1] - offsets[face]};
  }
  std::size_t count() const { return offsets.size() - 1; }

  void clear() {
    indices.clear();
    offsets.assign(1, 0);
  }
  // Appends one face and returns its index storage to fill.
  std::span<std::int32_t> append(std::size_t size) {
    std::size_t start = indices.size();
    indices.resize(start + size);
    offsets.push_back(static_cast<std::uint32_t>(start + size));
    return {indices.data() + start, size};
  }
};

struct MeshObject {
  std::vector<float> vertices;  // x, y, z of each vertex in turn
  FaceTable faces;
  // Polylines through the vertices: each entry two or more vertex indices.
  FaceTable lines;
  ColorAttribute colors;
  NormalAttribute normals;
  TexCoordAttribute texCoords;
  // The material of each face (an index into the model's materials, -1 for
  // none); empty: every face, line and point takes `material`.
  std::vector<std::int32_t> faceMaterials;
  std::int32_t material = -1;
  // Faces in the same group share normals across their edges; one per face
  // where the file has them, else empty (the crease angle decides).
  std::vector<std::uint32_t> smoothingGroups;
  float xCenMass = 0.0f, yCenMass = 0.0f, zCenMass = 0.0f;
  float xMin = -1.0f, xMax = -1.0f;
  float yMin = -1.0f, yMax = -1.0f;
  float zMin = -1.0f, zMax = -1.0f;
  float origin[3] = {0.0f, 0.0f, 0.0f};
  float transform[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

  // The counts follow from the tables; readers keep face sizes within 16 bits.
  std::int32_t numVertices() const { return static_cast<std::int32_t>(vertices.size() / 3); }
  std::int32_t numFaces() const { return static_cast<std::int32_t>(faces.count()); }
  std::int16_t faceSize(std::size_t face) const { return static_cast<std::int16_t>(faces[face].size()); }
  // Vertices with neither faces nor lines through them draw as points.
  bool isPointCloud() const { return faces.count() == 0 && lines.count() == 0 && !vertices.empty(); }
};

// A model is the array of objects that one file holds, with the materials
// and textures they share.
struct Model : std::vector<MeshObject> {
  using std::vector<MeshObject>::vector;
  std::vector<Material> materials;
  std::vector<Texture> textures;
  // Keyframes of one object's vertices, where the file animates them.
  VertexFrames frames;
  // Nodes, channels and skins that move the objects, where the file has them.
  SceneAnimation scene;
};

// Bounds rule: the first vertex sets both ends of each axis; later vertices
// widen them only when strictly outside. Vertex 0 must be passed first.
inline void growBounds(MeshObject& object, std::size_t vertex, float x, float y, float z) {
  if (vertex == 0) {
    object.xMin = object.xMax = x;
    object.yMin = object.yMax = y;
    object.zMin = object.zMax = z;
    return;
  }
  if (x > object.xMax) object.xMax = x;
  if (x < object.xMin) object.xMin = x;
  if (y > object.yMax) object.yMax = y;
  if (y < object.yMin) object.yMin = y;
  if (z > object.zMax) object.zMax = z;
  if (z < object.zMin) object.zMin = z;
}

// Recomputes the six bounds from the whole vertex table.
void computeBounds(MeshObject& object);

// Sets the centre to the single-precision mean of the vertices in file order;
// (0, 0, 0) for an object without vertices, so no 0/0 ever reaches the view.
void computeCenter(MeshObject& object);

// Removes faces with an index outside 0..numVertices-1 and returns how many
// were removed.
std::int64_t dropOutOfRangeFaces(MeshObject& object);

// A point cloud's points with a coordinate that is no finite number (a scan's
// or a trained splat's missing samples) go, with what each carries; nothing
// refers to them. Returns how many went; other objects, and a cloud with no
// finite point at all, are left alone.
std::int64_t dropNonFinitePoints(MeshObject& object);
