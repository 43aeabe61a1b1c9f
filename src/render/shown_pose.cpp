#include "render/shown_pose.h"

#include "render/drawn_model.h"

FrameRun allFrames(const VertexFrames& frames) { return {"", 0, frames.count()}; }

const FrameRun* runNamed(const VertexFrames& frames, const std::string& name) {
  for (const FrameRun& run : frames.runs) {
    if (run.name == name) return &run;
  }
  return nullptr;
}

void poseShown(Shown& shown, const FramePlace& place) {
  const VertexFrames& frames = shown.model.frames;
  if (frames.empty() || frames.object < 0 || static_cast<std::size_t>(frames.object) >= shown.model.size()) return;
  if (place.a >= frames.count() || place.b >= frames.count()) return;
  MeshObject& object = shown.model[static_cast<std::size_t>(frames.object)];
  if (object.vertices.size() != 3 * frames.vertexCount) return;
  DrawnModel* drawn = drawnModelOf(shown);
  // A stand-in being made reads the vertices: it ends first. A moving model
  // small enough to animate draws whole.
  if (drawn != nullptr) {
    drawn->maker.reset();
    drawn->standIns.clear();
    drawn->weighed = true;
  }
  blendFrames(frames, place.a, place.b, place.t, object.vertices);
  if (drawn == nullptr || static_cast<std::size_t>(frames.object) >= drawn->objects.size()) return;
  DrawnObject& d = drawn->objects[static_cast<std::size_t>(frames.object)];
  // Index lists stay; what holds positions (or normals made from them) goes.
  d.surface.reset();
  d.fill.litMade = false;
  std::vector<float>().swap(d.fill.litCorners);
  std::vector<float>().swap(d.fill.litNormals);
  if (!d.fill.concave.triangles.empty()) d.fill = makeFillArrays(object, shown.drawsTriangles);
}
