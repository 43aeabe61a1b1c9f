#pragma once
// What a frame draws an object from, made once per model instead of sent
// face by face: index lists for glDrawElements over the object's own vertex
// table.

#include <cstdint>
#include <vector>

#include "model/mesh_object.h"
#include "render/concave_fill.h"

struct ObjectArrays {
  // Filled passes: three indices a triangle; a convex face becomes the fan
  // GL makes of a polygon (corner 0 with each later pair, in GL's order).
  // Empty and unused when the format draws triangles and every face is one:
  // the face table serves as it is.
  std::vector<std::uint32_t> triangles;
  bool facesAreTriangles = false;
  // Concave faces, filled from their own triangles (corners copied).
  ConcaveFill concave;
  // Outline passes: two indices an edge, each edge of a face boundary once
  // however many faces share it. Made the first time an outline is drawn.
  std::vector<std::uint32_t> edges;
  bool edgesMade = false;
  // Lit filled passes: every triangle above with its own three corners and
  // its face's normal at each. Made the first time lighting is on.
  std::vector<float> litCorners;
  std::vector<float> litNormals;
  bool litMade = false;
};

// The filled passes' arrays. `trianglesOnly`: the format draws the first
// three corners of every face.
ObjectArrays makeFillArrays(const MeshObject& object, bool trianglesOnly);

// The lit passes' corners and normals, into `arrays` (filled already).
void makeLitArrays(const MeshObject& object, ObjectArrays& arrays);

// The outline passes' edge list, into `arrays`.
void makeEdgeArrays(const MeshObject& object, bool trianglesOnly, ObjectArrays& arrays);
