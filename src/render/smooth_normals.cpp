#include "render/smooth_normals.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// Beyond this many corners at one place (the hub of a fan, a pole) the
// pairwise comparison would cost its square: such corners keep their face's
// own normal.
constexpr std::size_t kMostCornersCompared = 512;

void normalise(float n[3], bool& ok) {
  const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  ok = length > 0.0f && std::isfinite(length);
  if (!ok) return;
  for (int k = 0; k < 3; ++k) n[k] /= length;
}

// Ids that are equal for vertices at the same place.
std::vector<std::uint32_t> placeIds(const MeshObject& object) {
  const float* v = object.vertices.data();
  const auto count = static_cast<std::uint32_t>(object.numVertices());
  std::vector<std::uint32_t> order(count);
  std::iota(order.begin(), order.end(), 0u);
  const auto less = [v](std::uint32_t a, std::uint32_t b) {
    return std::lexicographical_compare(v + 3 * a, v + 3 * a + 3, v + 3 * b, v + 3 * b + 3);
  };
  std::sort(order.begin(), order.end(), less);
  std::vector<std::uint32_t> ids(count);
  std::uint32_t id = 0;
  for (std::size_t k = 0; k < order.size(); ++k) {
    if (k > 0 && less(order[k - 1], order[k])) ++id;
    ids[order[k]] = id;
  }
  return ids;
}

// The angle of each corner between its two edges.
float cornerAngle(const float* previous, const float* corner, const float* next) {
  float a[3], b[3];
  for (int k = 0; k < 3; ++k) a[k] = previous[k] - corner[k], b[k] = next[k] - corner[k];
  const float dot = a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
  const float lengths = std::sqrt((a[0] * a[0] + a[1] * a[1] + a[2] * a[2]) * (b[0] * b[0] + b[1] * b[1] + b[2] * b[2]));
  if (!(lengths > 0.0f) || !std::isfinite(lengths)) return 0.0f;
  return std::acos(std::clamp(dot / lengths, -1.0f, 1.0f));
}

}  // namespace

void faceNormal(const MeshObject& object, std::size_t face, float normal[3]) {
  const auto corners = object.faces[face];
  const float* v = object.vertices.data();
  double n[3] = {0, 0, 0};
  for (std::size_t k = 0; k < corners.size(); ++k) {
    const float* a = v + 3 * static_cast<std::size_t>(corners[k]);
    const float* b = v + 3 * static_cast<std::size_t>(corners[(k + 1) % corners.size()]);
    n[0] += (static_cast<double>(a[1]) - b[1]) * (static_cast<double>(a[2]) + b[2]);
    n[1] += (static_cast<double>(a[2]) - b[2]) * (static_cast<double>(a[0]) + b[0]);
    n[2] += (static_cast<double>(a[0]) - b[0]) * (static_cast<double>(a[1]) + b[1]);
  }
  for (int k = 0; k < 3; ++k) normal[k] = static_cast<float>(n[k]);
  bool ok = false;
  normalise(normal, ok);
  if (!ok) normal[0] = normal[1] = 0.0f, normal[2] = 1.0f;
}

namespace {

// Each face's normal and each corner's angle at the object's present pose.
struct Pose {
  std::vector<float> faceNormals, angles;
  std::vector<std::uint32_t> faceOfSlot;
};

// `quick`, for poses made every frame: each face weighs by its area (a
// triangle's normal is its cross product, not made unit long) instead of by
// its corners' angles; else as a still model's are made.
Pose poseOf(const MeshObject& object, bool quick = false) {
  const FaceTable& faces = object.faces;
  const std::size_t faceCount = faces.count(), slots = faces.indices.size();
  const float* v = object.vertices.data();
  Pose p;
  p.faceNormals.resize(3 * faceCount);
  p.angles.resize(slots);
  p.faceOfSlot.resize(slots);
  for (std::size_t f = 0; f < faceCount; ++f) {
    const auto corners = faces[f];
    const std::size_t m = corners.size();
    float* n = &p.faceNormals[3 * f];
    if (quick && m == 3) {
      const float* a = v + 3 * static_cast<std::size_t>(corners[0]);
      const float* b = v + 3 * static_cast<std::size_t>(corners[1]);
      const float* c = v + 3 * static_cast<std::size_t>(corners[2]);
      n[0] = (b[1] - a[1]) * (c[2] - a[2]) - (b[2] - a[2]) * (c[1] - a[1]);
      n[1] = (b[2] - a[2]) * (c[0] - a[0]) - (b[0] - a[0]) * (c[2] - a[2]);
      n[2] = (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
    } else {
      faceNormal(object, f, n);
    }
    for (std::size_t k = 0; k < m; ++k) {
      const std::size_t slot = faces.offsets[f] + k;
      p.faceOfSlot[slot] = static_cast<std::uint32_t>(f);
      const float* previous = v + 3 * static_cast<std::size_t>(corners[(k + m - 1) % m]);
      const float* corner = v + 3 * static_cast<std::size_t>(corners[k]);
      const float* next = v + 3 * static_cast<std::size_t>(corners[(k + 1) % m]);
      p.angles[slot] = quick ? 1.0f : cornerAngle(previous, corner, next);
    }
  }
  return p;
}

SmoothingPlan planFor(const MeshObject& object, const Pose& pose, float creaseDegrees) {
  const FaceTable& faces = object.faces;
  const std::size_t slots = faces.indices.size();
  // The slots at each place, grouped (counting sort by place id).
  const std::vector<std::uint32_t> ids = placeIds(object);
  const std::size_t places = ids.empty() ? 0 : *std::max_element(ids.begin(), ids.end()) + 1;
  std::vector<std::uint32_t> starts(places + 1, 0), slotsAt(slots);
  for (std::int32_t vertex : faces.indices) ++starts[ids[static_cast<std::size_t>(vertex)] + 1];
  std::partial_sum(starts.begin(), starts.end(), starts.begin());
  std::vector<std::uint32_t> fill(starts.begin(), starts.end() - 1);
  for (std::size_t s = 0; s < slots; ++s) slotsAt[fill[ids[static_cast<std::size_t>(faces.indices[s])]]++] = static_cast<std::uint32_t>(s);

  const float cosCrease = std::cos(creaseDegrees * 3.14159265f / 180.0f);
  const std::vector<std::uint32_t>& groups = object.smoothingGroups;
  const auto together = [&](std::uint32_t f, std::uint32_t g) {
    if (f == g) return true;
    if (!groups.empty()) return (groups[f] & groups[g]) != 0;
    const float* a = &pose.faceNormals[3 * f];
    const float* b = &pose.faceNormals[3 * g];
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2] >= cosCrease;
  };
  // Each slot's list, in the order of its place's slots; a slot at a place
  // of too many corners has none and keeps its own face's normal.
  std::vector<std::vector<std::uint32_t>> lists(slots);
  for (std::size_t p = 0; p < places; ++p) {
    const std::uint32_t* begin = &slotsAt[0] + starts[p];
    const std::uint32_t* end = &slotsAt[0] + starts[p + 1];
    const bool compare = static_cast<std::size_t>(end - begin) <= kMostCornersCompared;
    for (const std::uint32_t* s = begin; s != end; ++s) {
      if (!compare) continue;  // none: its face's own normal
      for (const std::uint32_t* t = begin; t != end; ++t) {
        if (together(pose.faceOfSlot[*s], pose.faceOfSlot[*t])) lists[*s].push_back(*t);
      }
    }
  }
  // Corners of one place with the same list share it (on a smooth surface,
  // every corner at a vertex).
  SmoothingPlan plan;
  plan.shareOf.assign(slots, 0);
  for (std::size_t p = 0; p < places; ++p) {
    const std::size_t first = plan.starts.size() - 1;  // this place's first share
    for (std::uint32_t k = starts[p]; k < starts[p + 1]; ++k) {
      const std::uint32_t s = slotsAt[k];
      std::size_t share = plan.starts.size() - 1;
      for (std::size_t c = first; c + 1 < plan.starts.size(); ++c) {
        const auto begin = plan.together.begin() + plan.starts[c], end = plan.together.begin() + plan.starts[c + 1];
        if (std::equal(begin, end, lists[s].begin(), lists[s].end())) {
          share = c;
          break;
        }
      }
      if (share == plan.starts.size() - 1) {
        plan.together.insert(plan.together.end(), lists[s].begin(), lists[s].end());
        plan.starts.push_back(static_cast<std::uint32_t>(plan.together.size()));
      }
      plan.shareOf[s] = static_cast<std::uint32_t>(share);
    }
  }
  return plan;
}

std::vector<float> normalsBy(const Pose& pose, const SmoothingPlan& plan, std::size_t slots) {
  // Each share's normal once; a share without a direction (or a corner in
  // none) leaves its corners their own faces' normals.
  const std::size_t shares = plan.starts.size() - 1;
  std::vector<float> shared(3 * shares, 0.0f);
  std::vector<char> usable(shares, 0);
  for (std::size_t c = 0; c < shares; ++c) {
    float* n = &shared[3 * c];
    for (std::uint32_t k = plan.starts[c]; k < plan.starts[c + 1]; ++k) {
      const std::uint32_t t = plan.together[k];
      const std::uint32_t g = pose.faceOfSlot[t];
      for (int i = 0; i < 3; ++i) n[i] += pose.angles[t] * pose.faceNormals[3 * g + i];
    }
    bool ok = false;
    normalise(n, ok);
    usable[c] = ok;
  }
  std::vector<float> normals(3 * slots);
  for (std::size_t s = 0; s < slots && s < plan.shareOf.size(); ++s) {
    const std::uint32_t c = plan.shareOf[s];
    float* n = &normals[3 * s];
    if (c < shares && usable[c]) {
      std::copy_n(&shared[3 * c], 3, n);
      continue;
    }
    // Its face's own normal, made unit long where a quick pose left it at
    // its face's area (no direction at all: towards the eye's way).
    std::copy_n(&pose.faceNormals[3 * pose.faceOfSlot[s]], 3, n);
    bool ok = false;
    normalise(n, ok);
    if (!ok) n[0] = n[1] = 0.0f, n[2] = 1.0f;
  }
  return normals;
}

}  // namespace

SmoothingPlan smoothingPlan(const MeshObject& object, float creaseDegrees) {
  return planFor(object, poseOf(object), creaseDegrees);
}

std::vector<float> smoothCornerNormals(const MeshObject& object, float creaseDegrees) {
  const Pose pose = poseOf(object);
  return normalsBy(pose, planFor(object, pose, creaseDegrees), object.faces.indices.size());
}

std::vector<float> smoothCornerNormals(const MeshObject& object, const SmoothingPlan& plan) {
  return normalsBy(poseOf(object, true), plan, object.faces.indices.size());
}
