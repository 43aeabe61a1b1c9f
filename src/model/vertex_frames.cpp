#include "model/vertex_frames.h"

#include <algorithm>
#include <cctype>
#include <cmath>

std::string frameStem(const std::string& name) {
  std::size_t end = name.size();
  while (end > 0 && std::isdigit(static_cast<unsigned char>(name[end - 1]))) --end;
  // A name of digits alone is its own stem.
  if (end == 0) return name;
  // Frames are numbered in two digits at most: before them, more digits
  // belong to the name (pain1 of pain101 .. pain104, pain2 of pain201 ..).
  if (name.size() - end > 2) end = name.size() - 2;
  return name.substr(0, end);
}

std::vector<FrameRun> runsByName(const std::vector<std::string>& names, const std::vector<std::size_t>& groupStarts) {
  std::vector<FrameRun> runs;
  std::size_t nextGroup = 0;
  for (std::size_t k = 0; k < names.size(); ++k) {
    bool starts = runs.empty() || frameStem(names[k]) != runs.back().name;
    while (nextGroup < groupStarts.size() && groupStarts[nextGroup] < k) ++nextGroup;
    if (nextGroup < groupStarts.size() && groupStarts[nextGroup] == k) starts = true;
    if (starts) {
      runs.push_back({frameStem(names[k]), k, 1});
    } else {
      ++runs.back().count;
    }
  }
  return runs;
}

void blendFrames(const VertexFrames& frames, std::size_t a, std::size_t b, float t, std::vector<float>& out) {
  const std::size_t n = 3 * frames.vertexCount;
  out.resize(n);
  const float* p = frames.frame(a);
  const float* q = frames.frame(b);
  for (std::size_t i = 0; i < n; ++i) out[i] = p[i] + (q[i] - p[i]) * t;
}

FramePlace placeInRun(const VertexFrames& frames, const FrameRun& run, double seconds) {
  if (run.count == 0) return {run.first, run.first, 0.0f};
  const double at = std::max(0.0, seconds) * static_cast<double>(frames.framesPerSecond);
  const double within = std::fmod(at, static_cast<double>(run.count));
  const auto k = static_cast<std::size_t>(within);
  FramePlace place;
  place.a = run.first + std::min(k, run.count - 1);
  place.b = run.first + (k + 1) % run.count;  // the last frame leads back to the first
  place.t = static_cast<float>(within - static_cast<double>(k));
  return place;
}
