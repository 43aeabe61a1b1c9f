// Normals for smooth shading: faces meeting at a shallow angle share them,
// a sharp edge (or a smoothing-group boundary) stays hard, and vertices at the
// same place count as one.
#include <gtest/gtest.h>

#include <cmath>

#include "render/smooth_normals.h"
#include "support/mesh_builders.h"

namespace {

// Two triangles hinged along the y axis, the second lifted by `degrees`.
MeshObject fold(float degrees, bool loose) {
  const float a = degrees * 3.14159265f / 180.0f;
  const std::vector<float> hinge = {0, 0, 0, 0, 1, 0};
  std::vector<float> v = {-1, 0, 0, 0, 0, 0, 0, 1, 0, std::cos(a), 0, std::sin(a)};
  if (!loose) return makeObject(v, {{0, 1, 2}, {1, 3, 2}});
  v.insert(v.end(), hinge.begin(), hinge.end());  // the hinge again for the second face: 4 and 5
  return makeObject(v, {{0, 1, 2}, {4, 3, 5}});
}

// The angle in degrees between a corner's normal and (0, 0, 1).
float tilt(const std::vector<float>& normals, std::size_t slot) {
  const float* n = &normals[3 * slot];
  EXPECT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1.0f, 1e-5f);
  return std::acos(std::clamp(n[2], -1.0f, 1.0f)) * 180.0f / 3.14159265f;
}

TEST(SmoothNormals, ShallowFoldsShareSharpOnesDoNot) {
  const struct {
    const char* name;
    float degrees;
    bool loose;
    std::vector<std::uint32_t> groups;
    float hingeTilt;  // of the first face's corner on the hinge
  } rows[] = {
      {"shallow fold", 20, false, {}, 10},
      {"shallow fold of loose triangles", 20, true, {}, 10},
      {"fold beyond the crease angle", 70, false, {}, 0},
      {"shallow fold across two groups", 20, false, {1, 2}, 0},
      {"sharp fold in one group", 70, false, {1, 3}, 35},
  };
  for (const auto& row : rows) {
    MeshObject object = fold(row.degrees, row.loose);
    object.smoothingGroups = row.groups;
    const std::vector<float> normals = smoothCornerNormals(object, 60.0f);
    ASSERT_EQ(normals.size(), 3 * object.faces.indices.size()) << row.name;
    EXPECT_NEAR(tilt(normals, 1), row.hingeTilt, 0.5f) << row.name;
    EXPECT_NEAR(tilt(normals, 0), 0.0f, 0.01f) << row.name;  // off the hinge: its own face's
    // The other face's side of the hinge: the same where they share, its own where the edge is hard.
    EXPECT_NEAR(tilt(normals, 3), row.hingeTilt == 0 ? row.degrees : row.hingeTilt, 0.5f) << row.name;
  }
}

TEST(SmoothNormals, FacesWithoutAreaGiveNoDirectionButBreakNothing) {
  MeshObject object = makeObject({0, 0, 0, 1, 0, 0, 0, 1, 0, 2, 0, 0}, {{0, 1, 2}, {0, 1, 3}});
  const std::vector<float> normals = smoothCornerNormals(object, 60.0f);
  for (std::size_t slot = 0; slot < 6; ++slot) EXPECT_NEAR(tilt(normals, slot), 0.0f, 0.01f) << slot;
}

}  // namespace

// A model that moves keeps which corners smooth together as they were at
// rest: a fold shallow at rest stays smooth when bent past the crease, a
// sharp one stays hard when flattened; and on a smooth surface the quick
// normals of each pose stay close to those made from scratch.
TEST(SmoothNormals, APlanFromRestHoldsAsTheShapeBends) {
  const struct {
    float rest, bent;
    bool smoothWhenBent;
  } folds[] = {{10, 80, true}, {80, 10, false}};
  for (const auto& f : folds) {
    const SmoothingPlan plan = smoothingPlan(fold(f.rest, false), 60.0f);
    const std::vector<float> normals = smoothCornerNormals(fold(f.bent, false), plan);
    // The hinge's corners: shared by both faces (tilted half the bend) or each its own.
    const float hinge = tilt(normals, 1);
    if (f.smoothWhenBent) {
      EXPECT_NEAR(hinge, f.bent / 2, 0.5f) << f.rest;
    } else {
      EXPECT_NEAR(hinge, 0.0f, 1e-3f) << f.rest;
    }
    // Away from the hinge a corner keeps its own face's normal either way.
    EXPECT_NEAR(tilt(normals, 0), 0.0f, 1e-3f);
  }
  MeshObject torus = makeTorus(24, 12, 2.0f, 0.5f);
  const SmoothingPlan plan = smoothingPlan(torus, 60.0f);
  for (std::size_t v = 0; v < torus.vertices.size(); v += 3) torus.vertices[v + 2] *= 1.5f;  // squashed taller
  const std::vector<float> quick = smoothCornerNormals(torus, plan), exact = smoothCornerNormals(torus, 60.0f);
  ASSERT_EQ(quick.size(), exact.size());
  float worst = 1.0f;
  for (std::size_t k = 0; k < quick.size(); k += 3) {
    worst = std::min(worst, quick[k] * exact[k] + quick[k + 1] * exact[k + 1] + quick[k + 2] * exact[k + 2]);
  }
  EXPECT_GT(worst, std::cos(3.0f * 3.14159265f / 180.0f));  // within 3 degrees everywhere
}
