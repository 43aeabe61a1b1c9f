// glTF animations: channels sampled by each interpolation, nodes moving
// their meshes, morph weights, and a skin bending a real file's vertices at
// times whose places are worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <utility>
#include <string>
#include <vector>

#include "formats/model_dispatch.h"
#include "model/scene_animation.h"
#include "model/shown.h"
#include "render/shown_pose.h"
#include "support/temp_dir.h"

namespace {

std::string base64(const std::vector<float>& floats, const std::vector<std::uint16_t>& shorts = {}) {
  std::string bytes(reinterpret_cast<const char*>(floats.data()), floats.size() * 4);
  bytes.append(reinterpret_cast<const char*>(shorts.data()), shorts.size() * 2);
  static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    std::uint32_t n = static_cast<std::uint8_t>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) n |= static_cast<std::uint8_t>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) n |= static_cast<std::uint8_t>(bytes[i + 2]);
    out += digits[n >> 18 & 63];
    out += digits[n >> 12 & 63];
    out += i + 1 < bytes.size() ? digits[n >> 6 & 63] : '=';
    out += i + 2 < bytes.size() ? digits[n & 63] : '=';
  }
  return out;
}

// A triangle (0,0,0) (1,0,0) (0,1,0) on node 0, under node 1 which stands
// at (0, 0, 5); one channel moves node 0 by `interpolation` through the
// keys (times 0, 1, 2; translations (0,0,0), (2,0,0), (2,4,0); a cubic
// spline's tangents all (1,0,0)).
std::string movingTriangle(const std::string& interpolation) {
  const bool cubic = interpolation == "CUBICSPLINE";
  std::vector<float> data = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 1, 2};
  const float keys[3][3] = {{0, 0, 0}, {2, 0, 0}, {2, 4, 0}};
  for (const auto& key : keys) {
    if (cubic) data.insert(data.end(), {1, 0, 0});
    data.insert(data.end(), key, key + 3);
    if (cubic) data.insert(data.end(), {1, 0, 0});
  }
  const std::size_t outputs = cubic ? 9 : 3;
  return R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[1]}],
  "nodes":[{"mesh":0},{"children":[0],"translation":[0,0,5]}],
  "meshes":[{"primitives":[{"attributes":{"POSITION":0}}]}],
  "animations":[{"name":"slide","channels":[{"sampler":0,"target":{"node":0,"path":"translation"}}],
    "samplers":[{"input":1,"output":2,"interpolation":")" + interpolation + R"("}]}],
  "buffers":[{"byteLength":)" + std::to_string(data.size() * 4) + R"(,"uri":"data:application/octet-stream;base64,)" +
         base64(data) + R"("}],
  "bufferViews":[{"buffer":0,"byteOffset":0,"byteLength":36},{"buffer":0,"byteOffset":36,"byteLength":12},
    {"buffer":0,"byteOffset":48,"byteLength":)" + std::to_string(outputs * 12) + R"(}],
  "accessors":[{"bufferView":0,"componentType":5126,"count":3,"type":"VEC3","min":[0,0,0],"max":[1,1,0]},
    {"bufferView":1,"componentType":5126,"count":3,"type":"SCALAR","min":[0],"max":[2]},
    {"bufferView":2,"componentType":5126,"count":)" + std::to_string(outputs) + R"(,"type":"VEC3"}]})";
}

Shown shownFile(const std::string& path) {
  const FormatInfo* format = nullptr;
  ReadResult read = readModelFile(path.c_str(), format);
  Shown shown;
  if (read) showOn(shown, std::move(read.model), format->id, false, path);
  return shown;
}

}  // namespace

TEST(GltfAnimation, ANodeMovesItsMeshByEachInterpolation) {
  TempDir dir;
  // Vertex 1, (1, 0, 0) at rest, moved by node 0 and lifted 5 by its parent.
  // Cubic: halfway between keys of values 0 and 2, both tangents 1, a second
  // apart: 0.5 * 0 + 0.125 * 1 + 0.5 * 2 - 0.125 * 1 = 1.
  const struct {
    const char* interpolation;
    float seconds;
    float x, y;
  } cases[] = {
      {"LINEAR", 0.0f, 1, 0},   {"LINEAR", 0.5f, 2, 0},   {"LINEAR", 1.5f, 3, 2},  {"LINEAR", 9.0f, 3, 4},
      {"STEP", 0.5f, 1, 0},     {"STEP", 1.0f, 3, 0},     {"STEP", 1.99f, 3, 0},   {"CUBICSPLINE", 0.5f, 2, 0},
      {"CUBICSPLINE", 1.0f, 3, 0}, {"CUBICSPLINE", 2.0f, 3, 4},
  };
  for (const auto& c : cases) {
    const std::string path = dir.file(std::string(c.interpolation) + ".gltf");
    writeTextFile(path, movingTriangle(c.interpolation));
    Shown shown = shownFile(path);
    ASSERT_TRUE(shown.hasModel()) << c.interpolation;
    ASSERT_EQ(animationsOf(shown.model).size(), 1u);
    EXPECT_EQ(animationsOf(shown.model)[0].name, "slide");
    EXPECT_EQ(animationsOf(shown.model)[0].seconds, 2.0);
    EXPECT_EQ(shown.model[0].vertices[3], 1.0f);  // the rest pose as read
    // Posed through the scene's channel (no looping past the end here: the
    // animation holds its last key when sampled past it).
    const SceneAnimation& scene = shown.model.scene;
    const std::vector<float> m = nodeTransforms(scene, 0, c.seconds);
    std::vector<float> positions, normals;
    poseObject(scene, scene.objects[0], m, {}, positions, normals);
    EXPECT_NEAR(positions[3], c.x, 1e-5f) << c.interpolation << " at " << c.seconds;
    EXPECT_NEAR(positions[4], c.y, 1e-5f) << c.interpolation << " at " << c.seconds;
    EXPECT_NEAR(positions[5], 5.0f, 1e-5f);
  }
}

TEST(GltfAnimation, ASkinBendsItsVerticesAsWorkedOutByHand) {
  // The strip's upper joint turns about (0, 1, 0) by the file's keys: at
  // 0.5 s the quaternion (0, 0, 0.383, 0.924), about 45 degrees; at 1 s
  // (0, 0, 0.707, 0.707), 90. Vertex 8, (-0.5, 2, 0), hangs from that joint
  // alone: (-0.5, 1) about the joint, turned.
  Shown shown = shownFile(std::string(TESSERA_SOURCE_DIR) + "/tests/data/real/gltf/SimpleSkin.gltf");
  ASSERT_TRUE(shown.hasModel());
  ASSERT_EQ(shown.model.scene.objects.size(), 1u);
  EXPECT_EQ(shown.model.scene.objects[0].skin, 0);
  const auto turned = [](float angle) {
    return std::pair{-0.5f * std::cos(angle) - std::sin(angle), -0.5f * std::sin(angle) + std::cos(angle) + 1.0f};
  };
  const float at45 = 2.0f * std::atan2(0.383f, 0.924f);
  const struct {
    double seconds;
    std::pair<float, float> place;
  } cases[] = {{0.0, {-0.5f, 2.0f}}, {0.5, turned(at45)}, {1.0, {-1.0f, 0.5f}}, {6.5, {-1.0f, 0.5f}}};
  for (const auto& c : cases) {
    poseShownAt(shown, -1, c.seconds);
    const float* v = &shown.model[0].vertices[3 * 8];
    EXPECT_NEAR(v[0], c.place.first, 1e-4f) << c.seconds;
    EXPECT_NEAR(v[1], c.place.second, 1e-4f) << c.seconds;
    EXPECT_NEAR(v[2], 0.0f, 1e-6f);
    // Vertex 0 hangs from the lower joint, which stays still.
    EXPECT_NEAR(shown.model[0].vertices[0], -0.5f, 1e-5f);
    EXPECT_NEAR(shown.model[0].vertices[1], 0.0f, 1e-5f);
  }
  // Halfway (as a slerp) between the first two keys: half the angle.
  poseShownAt(shown, -1, 0.25);
  EXPECT_NEAR(shown.model[0].vertices[24], turned(at45 / 2).first, 1e-4f);
  EXPECT_NEAR(shown.model[0].vertices[25], turned(at45 / 2).second, 1e-4f);
  restShown(shown);
  EXPECT_EQ(shown.model[0].vertices[24], -0.5f);
  EXPECT_EQ(shown.model[0].vertices[25], 2.0f);
}

TEST(GltfAnimation, MorphWeightsMoveTheTargets) {
  Shown shown = shownFile(std::string(TESSERA_SOURCE_DIR) + "/tests/data/real/gltf/AnimatedMorphCube.gltf");
  ASSERT_TRUE(shown.hasModel());
  const SceneAnimation& scene = shown.model.scene;
  ASSERT_EQ(scene.objects.size(), 1u);
  const AnimatedObject& cube = scene.objects[0];
  ASSERT_EQ(cube.morphTargets.size(), 2u);
  // The pose is the rest positions plus each target's offsets by its weight,
  // then the node's transform: checked against that sum for each vertex.
  for (double seconds : {0.5, 1.2, 2.0}) {
    const std::vector<std::vector<float>> weights = nodeWeights(scene, 0, static_cast<float>(seconds));
    const std::vector<float>& w = weights[static_cast<std::size_t>(cube.node)];
    ASSERT_EQ(w.size(), 2u);
    const std::vector<float> m = nodeTransforms(scene, 0, static_cast<float>(seconds));
    poseShownAt(shown, 0, seconds);
    const float* t = &m[16 * static_cast<std::size_t>(cube.node)];
    for (std::size_t v = 0; v < cube.positions.size(); v += 3) {
      float p[3];
      for (std::size_t k = 0; k < 3; ++k) p[k] = cube.positions[v + k] + w[0] * cube.morphTargets[0][v + k] + w[1] * cube.morphTargets[1][v + k];
      for (int row = 0; row < 3; ++row) {
        const float expected = t[row] * p[0] + t[4 + row] * p[1] + t[8 + row] * p[2] + t[12 + row];
        ASSERT_NEAR(shown.model[0].vertices[v + static_cast<std::size_t>(row)], expected, 1e-5f) << seconds << " vertex " << v / 3;
      }
    }
  }
  // The weights do move the cube at some time.
  EXPECT_GT(nodeWeights(scene, 0, 1.2f)[static_cast<std::size_t>(cube.node)][0] +
                nodeWeights(scene, 0, 1.2f)[static_cast<std::size_t>(cube.node)][1], 0.1f);
}
