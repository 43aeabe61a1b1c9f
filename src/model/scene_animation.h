#pragma once
// Animations that move a model's parts through a tree of nodes, as glTF
// keeps them: channels turn, move and scale nodes or set the weights of
// morph targets over time, and skins bend vertices by their joints. The
// objects' vertex tables hold the rest pose; a pose at a time is computed
// from what is kept here.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct SceneNode {
  int parent = -1;
  // Its rest transform: a matrix, or translation, rotation (x, y, z, w) and scale.
  bool hasMatrix = false;
  float matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  float translation[3] = {0, 0, 0};
  float rotation[4] = {0, 0, 0, 1};
  float scale[3] = {1, 1, 1};
  std::vector<float> weights;  // its mesh's morph weights at rest
};

enum class ChannelPath { Translation, Rotation, Scale, Weights };
enum class Interpolation { Linear, Step, CubicSpline };

struct AnimationChannel {
  int node = -1;
  ChannelPath path = ChannelPath::Translation;
  Interpolation interpolation = Interpolation::Linear;
  std::vector<float> times;   // ascending, seconds
  // Per key the value's components (3, 4, or one per morph target); a cubic
  // spline keeps in-tangent, value and out-tangent for each key.
  std::vector<float> values;
  std::size_t width = 0;      // components a value
};

struct NodeAnimation {
  std::string name;
  std::vector<AnimationChannel> channels;
  float seconds = 0.0f;  // its last key's time
};

struct SceneSkin {
  std::vector<int> joints;           // nodes
  std::vector<float> inverseBind;    // 16 a joint, column major
};

// How one object follows the nodes: the node that shows it, its vertices in
// its mesh's own space, its morph targets and its skin.
struct AnimatedObject {
  std::int32_t object = 0;
  int node = -1;
  std::vector<float> positions;                  // x, y, z a vertex, before any transform
  std::vector<float> normals;                    // the same for its normals, where it has them
  std::vector<std::vector<float>> morphTargets;  // position offsets, one list a target
  std::vector<float> weights;                    // the mesh's own morph weights
  int skin = -1;
  std::vector<std::uint16_t> joints;  // four a vertex, indices into the skin's joints
  std::vector<float> jointWeights;    // four a vertex
};

struct SceneAnimation {
  std::vector<SceneNode> nodes;
  std::vector<NodeAnimation> animations;
  std::vector<SceneSkin> skins;
  std::vector<AnimatedObject> objects;

  bool empty() const { return animations.empty() || objects.empty(); }
};

// The value a channel gives at `seconds` (before its first key: the first
// value; after its last: the last), `width` components into `out`.
void sampleChannel(const AnimationChannel& channel, float seconds, float* out);

// Every node's world transform (column major, 16 floats a node) with the
// animation `which` at `seconds` (-1: every animation at once).
std::vector<float> nodeTransforms(const SceneAnimation& scene, int which, float seconds);

// The posed vertices (and normals, where kept) of an animated object, with
// the node transforms above and the weights its node's channels set.
void poseObject(const SceneAnimation& scene, const AnimatedObject& object, const std::vector<float>& transforms,
                const std::vector<float>& weights, std::vector<float>& positions, std::vector<float>& normals);

// The morph weights of every node at `seconds` of animation `which` (a list a node).
std::vector<std::vector<float>> nodeWeights(const SceneAnimation& scene, int which, float seconds);
