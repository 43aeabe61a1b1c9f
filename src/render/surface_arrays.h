#pragma once
// What the solid style draws an object's appearance from: its colours,
// normals and texture coordinates in GL vertex arrays, and its triangles in
// one batch per material. Made once per model (again only when an option it
// depends on changes), never per frame.

#include <cstdint>
#include <vector>

#include "model/mesh_object.h"
#include "render/model_arrays.h"
#include "render/smooth_normals.h"

#include <memory>

struct SurfaceBatch {
  std::int32_t material = -1;             // the model's material; -1: none
  std::vector<std::uint32_t> triangles;  // three entries of the arrays a triangle
};

// The arrays hold one entry per vertex where every value in use belongs to a
// vertex (the fast case, sharing corners as the face table does), else one
// entry per drawn corner. Corners a concave split made are added at the end.
struct SurfaceArrays {
  std::vector<float> positions;      // x, y, z an entry
  std::vector<float> normals;        // x, y, z an entry; empty when unlit
  std::vector<std::uint8_t> colors;  // R, G, B, A an entry; empty: the batch's colour alone
  std::vector<float> texCoords;      // s, t an entry; empty: no texture
  std::vector<SurfaceBatch> batches;  // opaque materials first, blended ones last
};

// What the arrays are made for.
struct SurfaceChoice {
  bool appearance = true;      // colours, materials and textures; off: the shape alone
  bool lit = false;            // normals wanted
  bool smooth = false;         // smooth normals (the file's, else computed); flat otherwise
  bool trianglesOnly = false;  // the format draws the first three corners of every face

  bool operator==(const SurfaceChoice&) const = default;
};

// `fill` is the object's filled-pass arrays (their concave split is reused).
// `plan`, where given, keeps which corners smooth together from one pose to
// the next of a model that moves: made here the first time (empty), reused after.
SurfaceArrays makeSurfaceArrays(const MeshObject& object, const Model& model, const ObjectArrays& fill,
                                SurfaceChoice choice, std::shared_ptr<const SmoothingPlan>* plan = nullptr);

// True when the object has something to show beyond its shape: colours,
// texture coordinates with a textured material, or a material.
bool hasAppearance(const MeshObject& object, const Model& model);

// Whether a material's batch is drawn blended, after the opaque ones.
bool blends(const Model& model, std::int32_t material);
