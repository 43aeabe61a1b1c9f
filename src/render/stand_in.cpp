#include "render/stand_in.h"

#include <meshoptimizer.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

namespace {

// What a stand-in costs a triangle it keeps, in round figures: its three
// indices, one and a half edges, and half a vertex with its values.
constexpr double kBytesPerKeptTriangle = 48.0;
// A frame has costs of its own besides the triangles (clearing, the
// window's composing): the stand-in aims below the budget to leave room.
constexpr double kFrameShareForTriangles = 0.8;
// Below this many a batch is kept whole: too few to gain from.
constexpr std::size_t kKeptWhole = 64;

template <typename T>
std::size_t bytesOf(const std::vector<T>& v) {
  return v.capacity() * sizeof(T);
}

template <int W>
std::size_t attributeBytes(const SurfaceAttribute<W>& a) {
  return bytesOf(a.values) + bytesOf(a.corners);
}

// The triangles the filled passes draw from an object's own vertex table.
std::span<const std::uint32_t> plainTriangles(const MeshObject& object, const ObjectArrays& fill) {
  if (fill.facesAreTriangles) {
    return {reinterpret_cast<const std::uint32_t*>(object.faces.indices.data()), object.faces.indices.size()};
  }
  return fill.triangles;
}

std::size_t trianglesOf(const MeshObject& object, const ObjectArrays& fill) {
  return plainTriangles(object, fill).size() / 3 + fill.concave.triangles.size() / 9;
}

// One batch simplified to about `target` triangles. A batch drawing from a
// small part of a large table is simplified over that part alone, so that
// the simplifier's work follows the batch's size, not the table's.
std::vector<std::uint32_t> simplifyBatch(std::span<const std::uint32_t> indices, const float* positions,
                                         std::size_t entries, std::size_t target) {
  if (indices.size() / 3 <= std::max(target, kKeptWhole)) return {indices.begin(), indices.end()};
  std::vector<std::uint32_t> out(indices.size());
  if (indices.size() * 4 >= entries) {
    out.resize(meshopt_simplifySloppy(out.data(), indices.data(), indices.size(), positions, entries,
                                      3 * sizeof(float), target * 3, 1.0f, nullptr));
    return out;
  }
  std::vector<std::uint32_t> local(indices.size()), used;
  std::vector<float> localPositions;
  {
    std::vector<std::uint32_t> sorted(indices.begin(), indices.end());
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    used = std::move(sorted);
  }
  localPositions.reserve(used.size() * 3);
  for (std::uint32_t e : used) localPositions.insert(localPositions.end(), positions + 3 * e, positions + 3 * e + 3);
  for (std::size_t i = 0; i < indices.size(); ++i) {
    local[i] = static_cast<std::uint32_t>(std::lower_bound(used.begin(), used.end(), indices[i]) - used.begin());
  }
  out.resize(meshopt_simplifySloppy(out.data(), local.data(), local.size(), localPositions.data(), used.size(),
                                    3 * sizeof(float), target * 3, 1.0f, nullptr));
  for (std::uint32_t& e : out) e = used[e];
  return out;
}

// Each edge of the triangles once, lower index first.
std::vector<std::uint32_t> edgesOf(const std::vector<SurfaceBatch>& batches) {
  std::vector<std::uint64_t> keys;
  for (const SurfaceBatch& batch : batches) {
    const std::vector<std::uint32_t>& t = batch.triangles;
    for (std::size_t i = 0; i + 2 < t.size(); i += 3) {
      for (int k = 0; k < 3; ++k) {
        const std::uint32_t a = t[i + k], b = t[i + (k + 1) % 3];
        keys.push_back(static_cast<std::uint64_t>(std::min(a, b)) << 32 | std::max(a, b));
      }
    }
  }
  std::sort(keys.begin(), keys.end());
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
  std::vector<std::uint32_t> edges;
  edges.reserve(keys.size() * 2);
  for (std::uint64_t key : keys) edges.insert(edges.end(), {static_cast<std::uint32_t>(key >> 32), static_cast<std::uint32_t>(key)});
  return edges;
}

// Smooth normals of the stand-in's own triangles: each vertex the sum of
// its triangles' normals weighted by their areas.
std::vector<float> smoothNormalsOf(const SurfaceArrays& s) {
  std::vector<float> normals(s.positions.size(), 0.0f);
  const float* p = s.positions.data();
  for (const SurfaceBatch& batch : s.batches) {
    const std::vector<std::uint32_t>& t = batch.triangles;
    for (std::size_t i = 0; i + 2 < t.size(); i += 3) {
      const float* a = p + 3 * t[i];
      const float* b = p + 3 * t[i + 1];
      const float* c = p + 3 * t[i + 2];
      const float n[3] = {(b[1] - a[1]) * (c[2] - a[2]) - (b[2] - a[2]) * (c[1] - a[1]),
                          (b[2] - a[2]) * (c[0] - a[0]) - (b[0] - a[0]) * (c[2] - a[2]),
                          (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0])};
      for (int k = 0; k < 3; ++k) {
        for (int j = 0; j < 3; ++j) normals[3 * t[i + k] + j] += n[j];
      }
    }
  }
  for (std::size_t v = 0; v < normals.size(); v += 3) {
    float* n = &normals[v];
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (length > 0.0f && std::isfinite(length)) {
      n[0] /= length, n[1] /= length, n[2] /= length;
    } else {
      n[0] = n[1] = 0.0f, n[2] = 1.0f;
    }
  }
  return normals;
}

// What an object's triangles are drawn from: a table of entries (positions
// and the values beside them) and batches of triangles over it.
struct Source {
  const float* positions = nullptr;
  std::size_t entries = 0;
  const std::uint8_t* colors = nullptr;
  const float* texCoords = nullptr;
  std::vector<std::pair<std::int32_t, std::span<const std::uint32_t>>> batches;
};

Source sourceOf(const SurfaceArrays& s) {
  Source src;
  src.positions = s.positions.data();
  src.entries = s.positions.size() / 3;
  src.colors = s.colors.empty() ? nullptr : s.colors.data();
  src.texCoords = s.texCoords.empty() ? nullptr : s.texCoords.data();
  for (const SurfaceBatch& b : s.batches) src.batches.emplace_back(b.material, b.triangles);
  return src;
}

// The source's triangles thinned to about `target`, on a table of their own.
StandInObject simplified(const Source& src, std::size_t target, const std::atomic<bool>* cancelled) {
  std::size_t total = 0;
  for (const auto& [material, triangles] : src.batches) total += triangles.size() / 3;

  StandInObject out;
  SurfaceArrays& s = out.surface;
  constexpr std::uint32_t kUnused = std::numeric_limits<std::uint32_t>::max();
  std::vector<std::uint32_t> remap(src.entries, kUnused);
  for (const auto& [material, triangles] : src.batches) {
    if (cancelled != nullptr && cancelled->load()) return out;
    const std::size_t share = static_cast<std::size_t>(
        std::ceil(static_cast<double>(target) * static_cast<double>(triangles.size() / 3) / static_cast<double>(std::max<std::size_t>(total, 1))));
    std::vector<std::uint32_t> kept = simplifyBatch(triangles, src.positions, src.entries, std::max<std::size_t>(share, 1));
    // Onto the stand-in's own table, each entry with its values.
    for (std::uint32_t& e : kept) {
      if (remap[e] == kUnused) {
        remap[e] = static_cast<std::uint32_t>(s.positions.size() / 3);
        s.positions.insert(s.positions.end(), src.positions + 3 * std::size_t{e}, src.positions + 3 * std::size_t{e} + 3);
        if (src.colors != nullptr) s.colors.insert(s.colors.end(), src.colors + 4 * std::size_t{e}, src.colors + 4 * std::size_t{e} + 4);
        if (src.texCoords != nullptr) {
          s.texCoords.insert(s.texCoords.end(), src.texCoords + 2 * std::size_t{e}, src.texCoords + 2 * std::size_t{e} + 2);
        }
      }
      e = remap[e];
    }
    kept.shrink_to_fit();
    if (!kept.empty()) s.batches.push_back({material, std::move(kept)});
  }
  s.positions.shrink_to_fit();
  s.colors.shrink_to_fit();
  s.texCoords.shrink_to_fit();
  s.normals = smoothNormalsOf(s);
  out.edges = edgesOf(s.batches);
  return out;
}

StandInObject standInOfFaces(const MeshObject& object, const Model& model, const ObjectArrays& fill,
                             bool trianglesOnly, std::size_t target, const std::atomic<bool>* cancelled) {
  // The values beside the positions only where the file gives any, or
  // concave faces need corners of their own; else the vertex table itself.
  if (hasAppearance(object, model) || !fill.concave.triangles.empty()) {
    const SurfaceArrays full = makeSurfaceArrays(object, model, fill, {true, false, false, trianglesOnly});
    return simplified(sourceOf(full), target, cancelled);
  }
  Source src;
  src.positions = object.vertices.data();
  src.entries = object.vertices.size() / 3;
  src.batches.emplace_back(-1, plainTriangles(object, fill));
  return simplified(src, target, cancelled);
}

// About `target` of the points, spread over the cloud as it lies in space.
// `colors`: R, G, B, A a point, or null.
StandInObject thinnedPoints(const float* positions, std::size_t count, const float* colors, std::size_t target) {
  StandInObject out;
  std::vector<std::uint32_t> kept;
  if (count <= target) {
    kept.resize(count);
    for (std::size_t i = 0; i < count; ++i) kept[i] = static_cast<std::uint32_t>(i);
  } else {
    kept.resize(target);
    kept.resize(meshopt_simplifyPoints(kept.data(), positions, count, 3 * sizeof(float), target));
  }
  out.points.reserve(kept.size() * 3);
  for (std::uint32_t v : kept) {
    out.points.insert(out.points.end(), positions + 3 * std::size_t{v}, positions + 3 * std::size_t{v} + 3);
    if (colors != nullptr) out.pointColors.insert(out.pointColors.end(), colors + 4 * std::size_t{v}, colors + 4 * std::size_t{v} + 4);
  }
  return out;
}

StandInObject standInOfPoints(const MeshObject& object, std::size_t target) {
  const std::size_t count = object.vertices.size() / 3;
  const bool colored = object.colors.binding == Binding::PerVertex && object.colors.values.size() >= 4 * count;
  return thinnedPoints(object.vertices.data(), count, colored ? object.colors.values.data() : nullptr, target);
}

std::size_t shareOf(std::size_t target, std::size_t own, std::size_t total) {
  return std::max<std::size_t>(static_cast<std::size_t>(std::ceil(static_cast<double>(target) * static_cast<double>(own) /
                                                                   static_cast<double>(std::max<std::size_t>(total, 1)))),
                               1);
}

void count(StandIn& standIn) {
  standIn.triangles = standIn.points = 0;
  for (const StandInObject& o : standIn.objects) {
    standIn.points += o.points.size() / 3;
    for (const SurfaceBatch& b : o.surface.batches) standIn.triangles += b.triangles.size() / 3;
  }
}

}  // namespace

std::size_t StandIn::bytes() const {
  std::size_t total = 0;
  for (const StandInObject& o : objects) {
    const SurfaceArrays& s = o.surface;
    total += bytesOf(s.positions) + bytesOf(s.normals) + bytesOf(s.colors) + bytesOf(s.texCoords) + bytesOf(o.edges) +
             bytesOf(o.points) + bytesOf(o.pointColors);
    for (const SurfaceBatch& b : s.batches) total += bytesOf(b.triangles);
  }
  return total;
}

std::size_t drawnPrimitives(const Model& model, const std::vector<const ObjectArrays*>& fills) {
  std::size_t total = 0;
  for (std::size_t i = 0; i < model.size() && i < fills.size(); ++i) {
    total += model[i].isPointCloud() ? model[i].vertices.size() / 3 : trianglesOf(model[i], *fills[i]);
  }
  return total;
}

std::size_t modelArrayBytes(const Model& model) {
  std::size_t total = 0;
  for (const MeshObject& o : model) {
    total += bytesOf(o.vertices) + bytesOf(o.faces.indices) + bytesOf(o.faces.offsets) + bytesOf(o.lines.indices) +
             bytesOf(o.lines.offsets) + attributeBytes(o.colors) + attributeBytes(o.normals) +
             attributeBytes(o.texCoords) + bytesOf(o.faceMaterials) + bytesOf(o.smoothingGroups);
  }
  return total;
}

std::size_t standInTarget(std::size_t primitives, std::size_t modelBytes, double fullFrameMs, const StandInBudget& budget) {
  if (primitives < budget.minPrimitives || !(fullFrameMs > budget.frameMs)) return 0;
  const double share = budget.frameMs * kFrameShareForTriangles / fullFrameMs;
  const double byTime = static_cast<double>(primitives) * share;
  // The coarser levels add at most as much again as the finest.
  const double byMemory = budget.memoryShare * static_cast<double>(modelBytes) / (kBytesPerKeptTriangle * 2.0);
  const double wanted = std::min({byTime, byMemory, static_cast<double>(primitives) / 2.0});
  return static_cast<std::size_t>(std::max(wanted, 1.0));
}

StandIn makeStandIn(const Model& model, const std::vector<const ObjectArrays*>& fills, bool trianglesOnly,
                    std::size_t target, const std::atomic<bool>* cancelled) {
  StandIn standIn;
  const std::size_t total = drawnPrimitives(model, fills);
  standIn.objects.resize(model.size());
  for (std::size_t i = 0; i < model.size() && i < fills.size(); ++i) {
    if (cancelled != nullptr && cancelled->load()) break;
    const MeshObject& object = model[i];
    const std::size_t own = object.isPointCloud() ? object.vertices.size() / 3 : trianglesOf(object, *fills[i]);
    if (own == 0) continue;
    const std::size_t share = shareOf(target, own, total);
    standIn.objects[i] = object.isPointCloud() ? standInOfPoints(object, share)
                                               : standInOfFaces(object, model, *fills[i], trianglesOnly, share, cancelled);
  }
  count(standIn);
  return standIn;
}

StandIn coarserStandIn(const StandIn& finer, std::size_t target, const std::atomic<bool>* cancelled) {
  StandIn coarser;
  const std::size_t total = finer.triangles + finer.points;
  coarser.objects.resize(finer.objects.size());
  for (std::size_t i = 0; i < finer.objects.size(); ++i) {
    if (cancelled != nullptr && cancelled->load()) break;
    const StandInObject& o = finer.objects[i];
    if (!o.points.empty()) {
      coarser.objects[i] = thinnedPoints(o.points.data(), o.points.size() / 3,
                                         o.pointColors.empty() ? nullptr : o.pointColors.data(),
                                         shareOf(target, o.points.size() / 3, total));
    } else if (!o.surface.batches.empty()) {
      std::size_t own = 0;
      for (const SurfaceBatch& b : o.surface.batches) own += b.triangles.size() / 3;
      coarser.objects[i] = simplified(sourceOf(o.surface), shareOf(target, own, total), cancelled);
    }
  }
  count(coarser);
  return coarser;
}

std::vector<StandIn> makeStandInLevels(const Model& model, const std::vector<const ObjectArrays*>& fills,
                                       bool trianglesOnly, std::size_t target, const std::atomic<bool>* cancelled) {
  std::vector<StandIn> levels;
  levels.push_back(makeStandIn(model, fills, trianglesOnly, target, cancelled));
  while (levels.size() < kMaxStandInLevels && (cancelled == nullptr || !cancelled->load())) {
    const StandIn& last = levels.back();
    const std::size_t now = last.triangles + last.points;
    const std::size_t next = now / kLevelStep;
    if (next < kCoarsestStandIn) break;
    StandIn coarser = coarserStandIn(last, next, cancelled);
    // Sloppy clustering may not thin a small level further: no use keeping it.
    if (coarser.triangles + coarser.points >= now * 3 / 4) break;
    levels.push_back(std::move(coarser));
  }
  return levels;
}
