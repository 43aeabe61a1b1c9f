// What the shared finish keeps of a model's appearance: every part that fits
// its tables, nothing that would make drawing look outside an array, and
// per-face data that stays in step when faces are dropped.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "model/appearance_check.h"
#include "support/mesh_builders.h"

namespace {

// Two triangles over four vertices, one material, each part present.
Model dressedSquare() {
  Model model{makeObject({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}, {{0, 1, 2}, {0, 2, 3}})};
  MeshObject& o = model[0];
  o.colors = {Binding::PerVertex, std::vector<float>(16, 0.5f), {}};
  o.normals = {Binding::PerFace, {0, 0, 1, 0, 0, 1}, {}};
  o.texCoords = {Binding::PerCorner, {0, 0, 1, 0, 1, 1}, {0, 1, 2, 0, 2, 1}};
  o.faceMaterials = {0, -1};
  o.smoothingGroups = {1, 2};
  o.lines.append(2)[1] = 3;
  model.materials.push_back(Material{"m", Rgba{}, 0});
  model.textures.push_back(Texture{"t", 1, 1, {1, 2, 3, 4}});
  return model;
}

TEST(AppearanceCheck, WhatDoesNotFitGoesAndTheRestStays) {
  const struct {
    const char* name;
    std::function<void(Model&)> damage;
    const char* dropped;
    std::function<bool(const Model&)> kept;
  } rows[] = {
      {"everything fits", [](Model&) {}, "", [](const Model& m) { return m[0].texCoords.present() && m[0].lines.count() == 1; }},
      {"a colour short", [](Model& m) { m[0].colors.values.pop_back(); }, "colours",
       [](const Model& m) { return !m[0].colors.present() && m[0].normals.present(); }},
      {"one colour per vertex too few", [](Model& m) { m[0].colors.values.resize(12); }, "colours",
       [](const Model& m) { return !m[0].colors.present(); }},
      {"a normal that is no number", [](Model& m) { m[0].normals.values[4] = NAN; }, "normals",
       [](const Model& m) { return !m[0].normals.present() && m[0].colors.present(); }},
      {"a corner naming no value", [](Model& m) { m[0].texCoords.corners[5] = 3; }, "texture coordinates",
       [](const Model& m) { return !m[0].texCoords.present(); }},
      {"a negative corner", [](Model& m) { m[0].texCoords.corners[0] = -1; }, "texture coordinates",
       [](const Model& m) { return !m[0].texCoords.present(); }},
      {"corners for another face table", [](Model& m) { m[0].texCoords.corners.pop_back(); }, "texture coordinates",
       [](const Model& m) { return !m[0].texCoords.present(); }},
      {"a face material out of range", [](Model& m) { m[0].faceMaterials[1] = 1; }, "face materials",
       [](const Model& m) { return m[0].faceMaterials.empty(); }},
      {"the object's material out of range", [](Model& m) { m[0].material = 7; }, "object materials",
       [](const Model& m) { return m[0].material == -1 && m[0].faceMaterials.size() == 2; }},
      {"smoothing groups for fewer faces", [](Model& m) { m[0].smoothingGroups.pop_back(); }, "smoothing groups",
       [](const Model& m) { return m[0].smoothingGroups.empty(); }},
      {"a line through a missing vertex", [](Model& m) { m[0].lines.append(2)[0] = 9; }, "lines",
       [](const Model& m) { return m[0].lines.count() == 1; }},
      {"a line of one vertex", [](Model& m) { m[0].lines.append(1); }, "lines",
       [](const Model& m) { return m[0].lines.count() == 1; }},
      {"a texture's pixels short", [](Model& m) { m.textures[0].rgba.pop_back(); }, "textures",
       [](const Model& m) { return m.materials[0].texture == -1 && m.textures[0].rgba.empty(); }},
      {"a material naming a missing texture", [](Model& m) { m.materials[0].texture = 3; }, "textures",
       [](const Model& m) { return m.materials[0].texture == -1; }},
      {"a base colour that is no number", [](Model& m) { m.materials[0].baseColor.g = INFINITY; }, "material colours",
       [](const Model& m) { return m.materials[0].baseColor.g == 1.0f; }},
  };
  for (const auto& row : rows) {
    Model model = dressedSquare();
    row.damage(model);
    EXPECT_EQ(dropUnfittingAppearance(model), row.dropped) << row.name;
    EXPECT_TRUE(row.kept(model)) << row.name;
    EXPECT_EQ(model[0].numFaces(), 2) << row.name;  // the shape is never touched
  }
}

TEST(AppearanceCheck, DroppedFacesTakeTheirOwnValuesWithThem) {
  // The face through a missing vertex comes first: the others' values must
  // slide down with their faces.
  MeshObject o = makeObject({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}, {{0, 1, 9}, {0, 1, 2}, {0, 2, 3}});
  o.normals = {Binding::PerFace, {1, 0, 0, 0, 0, 1, 0, 1, 0}, {}};
  o.texCoords = {Binding::PerCorner, {0, 0, 1, 0, 1, 1, 0.5f, 0.5f}, {3, 3, 3, 0, 1, 2, 0, 2, 1}};
  o.faceMaterials = {0, -1, 0};
  o.smoothingGroups = {4, 1, 2};
  Model model{o};
  model.materials.push_back(Material{});
  ASSERT_EQ(dropUnfittingAppearance(model), "");
  EXPECT_EQ(dropOutOfRangeFaces(model[0]), 1);
  EXPECT_EQ(model[0].normals.values, (std::vector<float>{0, 0, 1, 0, 1, 0}));
  EXPECT_EQ(model[0].texCoords.corners, (std::vector<std::int32_t>{0, 1, 2, 0, 2, 1}));
  EXPECT_EQ(model[0].faceMaterials, (std::vector<std::int32_t>{-1, 0}));
  EXPECT_EQ(model[0].smoothingGroups, (std::vector<std::uint32_t>{1, 2}));
  EXPECT_EQ(dropUnfittingAppearance(model), "");  // still in step with the faces
}

}  // namespace

TEST(PointCloud, PointsWithoutANumberGoWithTheirColours) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  MeshObject cloud = makeObject({0, 0, 0, nan, 1, 1, 2, 2, 2, 3, -inf, 3}, {});
  cloud.colors = {Binding::PerVertex, {1, 0, 0, 1, 0, 1, 0, 1, 0, 0, 1, 1, 1, 1, 1, 1}, {}};
  EXPECT_EQ(dropNonFinitePoints(cloud), 2);
  EXPECT_EQ(cloud.vertices, (std::vector<float>{0, 0, 0, 2, 2, 2}));
  EXPECT_EQ(cloud.colors.values, (std::vector<float>{1, 0, 0, 1, 0, 0, 1, 1}));
  // A mesh's vertices are referred to by its faces: they stay, and the file is refused as before.
  MeshObject mesh = makeObject({0, 0, 0, nan, 1, 1, 2, 2, 2}, {{0, 1, 2}});
  EXPECT_EQ(dropNonFinitePoints(mesh), 0);
  EXPECT_EQ(mesh.vertices.size(), 9u);
}
