#include "render/shown_pose.h"

#include <algorithm>
#include <cmath>

#include "render/drawn_model.h"

namespace {

FrameRun runOf(const VertexFrames& frames, int which) {
  if (which >= 0 && static_cast<std::size_t>(which) < frames.runs.size()) return frames.runs[static_cast<std::size_t>(which)];
  return {"", 0, frames.count()};
}

// What drawing made from the object's positions goes; index lists stay. A
// stand-in being made reads the vertices: it ends first (a model small
// enough to animate draws whole).
void letGoOfPositions(Shown& shown, std::size_t object) {
  DrawnModel* drawn = drawnModelOf(shown);
  if (drawn == nullptr) return;
  drawn->maker.reset();
  drawn->standIns.clear();
  drawn->weighed = true;
  if (object >= drawn->objects.size()) return;
  DrawnObject& d = drawn->objects[object];
  d.surface.reset();
  d.fill.litMade = false;
  std::vector<float>().swap(d.fill.litCorners);
  std::vector<float>().swap(d.fill.litNormals);
  if (!d.fill.concave.triangles.empty()) d.fill = makeFillArrays(shown.model[object], shown.drawsTriangles);
}

void poseFrames(Shown& shown, const FramePlace& place) {
  const VertexFrames& frames = shown.model.frames;
  if (frames.object < 0 || static_cast<std::size_t>(frames.object) >= shown.model.size()) return;
  if (place.a >= frames.count() || place.b >= frames.count()) return;
  const auto index = static_cast<std::size_t>(frames.object);
  MeshObject& object = shown.model[index];
  if (object.vertices.size() != 3 * frames.vertexCount) return;
  letGoOfPositions(shown, index);
  blendFrames(frames, place.a, place.b, place.t, object.vertices);
}

void poseScene(Shown& shown, int which, float seconds) {
  const SceneAnimation& scene = shown.model.scene;
  const std::vector<float> transforms = nodeTransforms(scene, which, seconds);
  const std::vector<std::vector<float>> weights = nodeWeights(scene, which, seconds);
  std::vector<float> positions, normals;
  static const std::vector<float> kNoWeights;
  for (const AnimatedObject& a : scene.objects) {
    if (a.object < 0 || static_cast<std::size_t>(a.object) >= shown.model.size()) continue;
    MeshObject& object = shown.model[static_cast<std::size_t>(a.object)];
    if (object.vertices.size() != a.positions.size()) continue;
    const bool hasNode = a.node >= 0 && static_cast<std::size_t>(a.node) < weights.size();
    poseObject(scene, a, transforms, hasNode ? weights[static_cast<std::size_t>(a.node)] : kNoWeights, positions, normals);
    letGoOfPositions(shown, static_cast<std::size_t>(a.object));
    object.vertices = positions;
    if (!normals.empty() && object.normals.binding == Binding::PerVertex && object.normals.values.size() == normals.size()) {
      object.normals.values = normals;
    }
  }
}

}  // namespace

bool isAnimated(const Model& model) { return !model.frames.empty() || !model.scene.empty(); }

AnimationInfo animationInfo(const Model& model, int which) {
  AnimationInfo info;
  if (!model.frames.empty()) {
    const FrameRun run = runOf(model.frames, which);
    info.name = run.name;
    info.frames = run.count;
    info.seconds = static_cast<double>(run.count) / static_cast<double>(model.frames.framesPerSecond);
    return info;
  }
  const SceneAnimation& scene = model.scene;
  if (scene.empty()) return info;
  if (which >= 0 && static_cast<std::size_t>(which) < scene.animations.size()) {
    info.name = scene.animations[static_cast<std::size_t>(which)].name;
    info.seconds = scene.animations[static_cast<std::size_t>(which)].seconds;
  } else {
    for (const NodeAnimation& a : scene.animations) info.seconds = std::max(info.seconds, static_cast<double>(a.seconds));
  }
  info.frames = static_cast<std::size_t>(std::floor(info.seconds * kSceneFramesPerSecond + 1e-6)) + 1;
  return info;
}

std::vector<AnimationInfo> animationsOf(const Model& model) {
  std::vector<AnimationInfo> all;
  const std::size_t count = !model.frames.empty() ? model.frames.runs.size() : model.scene.empty() ? 0 : model.scene.animations.size();
  for (std::size_t k = 0; k < count; ++k) all.push_back(animationInfo(model, static_cast<int>(k)));
  return all;
}

int animationNamed(const Model& model, const std::string& name) {
  const std::vector<AnimationInfo> all = animationsOf(model);
  for (std::size_t k = 0; k < all.size(); ++k) {
    if (all[k].name == name) return static_cast<int>(k);
  }
  return -2;
}

double secondsOfFrame(const Model& model, std::size_t frame) {
  const double rate = !model.frames.empty() ? static_cast<double>(model.frames.framesPerSecond) : kSceneFramesPerSecond;
  return static_cast<double>(frame) / rate;
}

std::size_t frameAt(const Model& model, int which, double seconds) {
  const AnimationInfo info = animationInfo(model, which);
  if (info.frames == 0) return 0;
  if (!model.frames.empty()) return placeInRun(model.frames, runOf(model.frames, which), seconds).a - runOf(model.frames, which).first;
  const double within = info.seconds > 0.0 ? std::fmod(std::max(seconds, 0.0), info.seconds) : 0.0;
  return std::min(static_cast<std::size_t>(std::floor(within * kSceneFramesPerSecond + 1e-6)), info.frames - 1);
}

void poseShownAt(Shown& shown, int which, double seconds) {
  const Model& model = shown.model;
  if (!model.frames.empty()) {
    poseFrames(shown, placeInRun(model.frames, runOf(model.frames, which), seconds));
    return;
  }
  if (model.scene.empty()) return;
  const double length = animationInfo(model, which).seconds;
  // The last moment of a round is shown as such, not as its start again.
  const double within = length > 0.0 && seconds > length ? std::fmod(seconds, length) : std::max(seconds, 0.0);
  poseScene(shown, which, static_cast<float>(within));
}

Model sweptModel(const Shown& shown, int which, std::size_t samples) {
  Model swept(1);
  Shown posed;
  posed.model = shown.model;  // posed apart from what is drawn
  const AnimationInfo info = animationInfo(shown.model, which);
  const std::size_t count = std::clamp<std::size_t>(info.frames, 1, samples);
  for (std::size_t k = 0; k < count; ++k) {
    poseShownAt(posed, which, info.seconds * static_cast<double>(k) / static_cast<double>(count));
    for (const MeshObject& object : posed.model) {
      swept[0].vertices.insert(swept[0].vertices.end(), object.vertices.begin(), object.vertices.end());
    }
  }
  return swept;
}

void restShown(Shown& shown) {
  if (!shown.model.frames.empty()) poseFrames(shown, {0, 0, 0.0f});
  const SceneAnimation& scene = shown.model.scene;
  if (scene.empty()) return;
  // The rest pose: the objects as read, which the reader placed by their
  // nodes' rest transforms.
  const std::vector<float> transforms = nodeTransforms({scene.nodes, {}, scene.skins, {}}, -1, 0.0f);
  std::vector<float> positions, normals;
  for (const AnimatedObject& a : scene.objects) {
    if (a.object < 0 || static_cast<std::size_t>(a.object) >= shown.model.size()) continue;
    MeshObject& object = shown.model[static_cast<std::size_t>(a.object)];
    if (object.vertices.size() != a.positions.size()) continue;
    AnimatedObject unskinned = a;
    unskinned.skin = -1;
    unskinned.morphTargets.clear();
    poseObject(scene, unskinned, transforms, {}, positions, normals);
    letGoOfPositions(shown, static_cast<std::size_t>(a.object));
    object.vertices = positions;
    if (!normals.empty() && object.normals.values.size() == normals.size()) object.normals.values = normals;
  }
}
