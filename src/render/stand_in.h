#pragma once
// A lighter copy of a large model drawn while the view moves: fewer
// triangles over fewer vertices, made once per model off the window's
// thread, so that a software rasteriser can turn it smoothly. At rest the
// model itself is drawn.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/mesh_object.h"
#include "render/model_arrays.h"
#include "render/surface_arrays.h"

struct StandInObject {
  // Its own small vertex table with the values each kept vertex had (the
  // simplifier keeps a subset of the vertices), smooth normals from its own
  // triangles, and one batch per material.
  SurfaceArrays surface;
  std::vector<std::uint32_t> edges;  // two entries an edge, each edge once
  // A point cloud's kept points: x, y, z and (when it has them) R, G, B, A.
  std::vector<float> points;
  std::vector<float> pointColors;
};

struct StandIn {
  std::vector<StandInObject> objects;  // one per object of the model, in order
  std::size_t triangles = 0;
  std::size_t points = 0;

  std::size_t bytes() const;
};

// Triangles and points a frame of the model draws.
std::size_t drawnPrimitives(const Model& model, const std::vector<const ObjectArrays*>& fills);

// Bytes the model's own arrays hold (vertices, faces and their attributes).
std::size_t modelArrayBytes(const Model& model);

// What makes a stand-in worth having.
struct StandInBudget {
  // A full frame drawn slower than this asks for a stand-in.
  double frameMs = 20.0;
  // A stand-in's frame drawn slower makes way for a coarser level: with what
  // the window system adds to each frame, this keeps to a 60 Hz display.
  double movingFrameMs = 8.0;
  std::size_t minPrimitives = 200'000;  // a smaller model is drawn whole
  double memoryShare = 0.15;         // at most this share of the model's own bytes
};

// How many triangles and points the stand-in should keep, from how long a
// full frame of `primitives` took to draw; 0: none is wanted, the model draws
// fast enough (or is too small to gain).
std::size_t standInTarget(std::size_t primitives, std::size_t modelBytes, double fullFrameMs,
                          const StandInBudget& budget = {});

// A stand-in is made in levels, finest first, each about half the one
// before, so that each display style can draw the finest its frames allow.
constexpr std::size_t kMaxStandInLevels = 6;
constexpr std::size_t kLevelStep = 2;
constexpr std::size_t kCoarsestStandIn = 4'000;

// Simplifies every object to about `target` triangles and points in all.
// Returns early with what is made so far when `cancelled` is set.
// `fills`: the objects' filled-pass arrays, as the scene made them.
StandIn makeStandIn(const Model& model, const std::vector<const ObjectArrays*>& fills, bool trianglesOnly,
                    std::size_t target, const std::atomic<bool>* cancelled = nullptr);

// A stand-in thinned further to about `target` triangles and points.
StandIn coarserStandIn(const StandIn& finer, std::size_t target, const std::atomic<bool>* cancelled = nullptr);

// The levels: the first of about `target`, then each half the one before
// while it stays above kCoarsestStandIn.
std::vector<StandIn> makeStandInLevels(const Model& model, const std::vector<const ObjectArrays*>& fills,
                                       bool trianglesOnly, std::size_t target,
                                       const std::atomic<bool>* cancelled = nullptr);
