#pragma once
// Keyframes of an object's vertex positions, as game models keep their
// animations: every frame gives every vertex its place. The object's own
// vertex table holds the first frame; which frame is shown is the view's
// business, not the model's.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct FrameRun {
  std::string name;        // the frames' names without their numbers: "run" for run01 .. run06
  std::size_t first = 0;   // its first frame
  std::size_t count = 0;   // how many frames in a row
};

struct VertexFrames {
  std::int32_t object = 0;          // the object whose vertices move
  std::size_t vertexCount = 0;      // vertices a frame
  std::vector<std::string> names;   // one a frame
  std::vector<float> positions;     // frame after frame: x, y, z of each vertex
  std::vector<FrameRun> runs;       // the named animations, in file order
  float framesPerSecond = 10.0f;

  std::size_t count() const { return names.size(); }
  bool empty() const { return names.size() < 2; }
  const float* frame(std::size_t k) const { return positions.data() + 3 * vertexCount * k; }
};

// A frame's name without the (at most two) digits that number it
// ("run01" -> "run", "pain101" -> "pain1", "crattak9" -> "crattak").
std::string frameStem(const std::string& name);

// Consecutive frames of the same stem, as runs; `groupStarts` are frames
// that begin a run of their own whatever their names (a file's own groups).
std::vector<FrameRun> runsByName(const std::vector<std::string>& names, const std::vector<std::size_t>& groupStarts = {});

// The positions between frames `a` and `b` at `t` (0: a, 1: b), into `out`
// (x, y, z of each vertex).
void blendFrames(const VertexFrames& frames, std::size_t a, std::size_t b, float t, std::vector<float>& out);

// A time in seconds into a run, looping, as frame a, frame b and the share
// of the way from one to the other.
struct FramePlace {
  std::size_t a = 0, b = 0;
  float t = 0.0f;
};
FramePlace placeInRun(const VertexFrames& frames, const FrameRun& run, double seconds);
