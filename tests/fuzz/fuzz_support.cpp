#include "fuzz_support.h"

#include <vector>

#include <stdlib.h>

const std::string& fuzzConfigHome() {
  static const std::string home = [] {
    static const TempDir folder;  // removed when the target ends
    setenv("XDG_CONFIG_HOME", folder.path().c_str(), 1);
    return folder.path();
  }();
  return home;
}

std::string writeFuzzFile(const std::string& name, const std::string& prefix, const std::uint8_t* data,
                          std::size_t size) {
  const std::string path = fuzzConfigHome() + "/" + name;
  writeTextFile(path, prefix + std::string(reinterpret_cast<const char*>(data), size));
  return path;
}

void checkModel(const Model& model) {
  for (const MeshObject& object : model) {
    if (object.vertices.size() % 3 != 0 || object.faces.offsets.back() != object.faces.indices.size()) {
      __builtin_trap();
    }
    for (std::int32_t index : object.faces.indices) {
      if (index < 0 || index >= object.numVertices()) __builtin_trap();
    }
  }
  // What moves it: every frame there in full, every run within the frames,
  // and poses at a few times of every animation computed without a fault.
  const VertexFrames& frames = model.frames;
  if (!frames.names.empty()) {
    if (frames.positions.size() != 3 * frames.vertexCount * frames.count()) __builtin_trap();
    for (const FrameRun& run : frames.runs) {
      if (run.first + run.count > frames.count()) __builtin_trap();
      const FramePlace place = placeInRun(frames, run, 0.35);
      std::vector<float> pose;
      blendFrames(frames, place.a, place.b, place.t, pose);
    }
  }
  const SceneAnimation& scene = model.scene;
  std::vector<float> positions, normals;
  for (int which = -1; which < static_cast<int>(scene.animations.size()) && which < 4; ++which) {
    const float length = which < 0 ? 1.0f : scene.animations[static_cast<std::size_t>(which)].seconds;
    for (float t : {0.0f, 0.5f * length, length + 0.25f}) {
      const std::vector<float> transforms = nodeTransforms(scene, which, t);
      const std::vector<std::vector<float>> weights = nodeWeights(scene, which, t);
      if (transforms.size() != 16 * scene.nodes.size() || weights.size() != scene.nodes.size()) __builtin_trap();
      for (const AnimatedObject& a : scene.objects) {
        const bool hasNode = a.node >= 0 && static_cast<std::size_t>(a.node) < weights.size();
        poseObject(scene, a, transforms, hasNode ? weights[static_cast<std::size_t>(a.node)] : std::vector<float>{}, positions,
                   normals);
        if (positions.size() != a.positions.size()) __builtin_trap();
      }
    }
  }
}
