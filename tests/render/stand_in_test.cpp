// The stand-in drawn while a large model moves: how large it is made, that
// it keeps the model's shape, place, colours and materials, its cost in
// memory, and that frames of a model without one are drawn as before.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <set>
#include <thread>

#include "render/drawn_model.h"
#include "render/stand_in.h"
#include "render/stand_in_use.h"
#include "render_fixture.h"

namespace {

// A torus of `rings` x `segments` quads: twice as many triangles drawn.
Model torusModel(int rings, int segments) {
  Model model;
  model.push_back(makeTorus(rings, segments, 2.0f, 0.6f));
  return model;
}

struct Made {
  std::vector<ObjectArrays> fills;
  std::vector<const ObjectArrays*> pointers;
};

Made fillsOf(const Model& model) {
  Made made;
  for (const MeshObject& object : model) made.fills.push_back(makeFillArrays(object, false));
  for (const ObjectArrays& fill : made.fills) made.pointers.push_back(&fill);
  return made;
}

// Lowest and highest x, y, z of the positions (x, y, z in turn).
std::array<float, 6> boundsOf(const std::vector<float>& p) {
  std::array<float, 6> b = {INFINITY, INFINITY, INFINITY, -INFINITY, -INFINITY, -INFINITY};
  for (std::size_t i = 0; i + 2 < p.size(); i += 3) {
    for (int k = 0; k < 3; ++k) b[k] = std::min(b[k], p[i + k]), b[3 + k] = std::max(b[3 + k], p[i + k]);
  }
  return b;
}

std::size_t trianglesIn(const StandInObject& o) {
  std::size_t n = 0;
  for (const SurfaceBatch& b : o.surface.batches) n += b.triangles.size() / 3;
  return n;
}

}  // namespace

TEST(StandIn, TargetFollowsTheFullFramesTime) {
  const StandInBudget budget;  // 20 ms, 200,000 primitives, 15% of the memory
  const std::size_t big = 10'000'000, bytes = 240'000'000;
  const struct {
    const char* what;
    std::size_t primitives, bytes;
    double ms;
    std::size_t expected;
  } cases[] = {
      {"fast enough", big, bytes, 20.0, 0},
      {"too small to gain, however slow", 150'000, bytes, 500.0, 0},
      {"no frame time", big, bytes, std::nan(""), 0},
      // 20 ms of 800 ms, less a fifth for what every frame costs.
      {"ten times the budget", big, bytes, 800.0, 200'000},
      {"never more than half the model", 1'000'000, 1'000'000'000, 21.0, 500'000},
      // 15% of 24 MB at 96 bytes a triangle kept (all levels).
      {"memory bounds it", big, 24'000'000, 30.0, 37'500},
  };
  for (const auto& c : cases) EXPECT_EQ(standInTarget(c.primitives, c.bytes, c.ms, budget), c.expected) << c.what;
}

TEST(StandIn, KeepsTheShapeWithinItsBoundsAndBudget) {
  const Model model = torusModel(300, 300);  // 180,000 triangles
  const Made f = fillsOf(model);
  ASSERT_EQ(drawnPrimitives(model, f.pointers), 180'000u);
  const std::size_t target = standInTarget(180'000, modelArrayBytes(model), 200.0, {20.0, 8.0, 100'000, 0.15});
  ASSERT_GT(target, 5'000u);
  const std::vector<StandIn> levels = makeStandInLevels(model, f.pointers, false, target);
  ASSERT_GE(levels.size(), 1u);
  std::size_t bytes = 0;
  const auto full = boundsOf(model[0].vertices);
  for (std::size_t l = 0; l < levels.size(); ++l) {
    const StandIn& s = levels[l];
    SCOPED_TRACE("level " + std::to_string(l));
    bytes += s.bytes();
    ASSERT_EQ(s.objects.size(), 1u);
    const StandInObject& o = s.objects[0];
    EXPECT_EQ(trianglesIn(o), s.triangles);
    // About what was asked: the first level near the target, each later one about half the one before.
    const double wanted = l == 0 ? static_cast<double>(target) : static_cast<double>(levels[l - 1].triangles) / 2.0;
    EXPECT_GT(static_cast<double>(s.triangles), wanted * 0.5);
    EXPECT_LT(static_cast<double>(s.triangles), wanted * 1.25);
    // The same place and size: every bound within 1% of the model's extent.
    const auto b = boundsOf(o.surface.positions);
    for (int k = 0; k < 6; ++k) EXPECT_NEAR(b[k], full[k], 0.01f * (full[k % 3 + 3] - full[k % 3])) << k;
    // Every index in the stand-in's own table; normals one per entry, of unit length.
    const std::size_t entries = o.surface.positions.size() / 3;
    for (std::uint32_t e : o.surface.batches[0].triangles) ASSERT_LT(e, entries);
    ASSERT_EQ(o.surface.normals.size(), o.surface.positions.size());
    for (std::size_t i = 0; i < o.surface.normals.size(); i += 3) {
      const float* n = &o.surface.normals[i];
      ASSERT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1.0f, 1e-3f);
    }
    // Each edge once, and each an edge of a triangle.
    std::set<std::pair<std::uint32_t, std::uint32_t>> edges, triangleEdges;
    const auto& t = o.surface.batches[0].triangles;
    for (std::size_t i = 0; i < t.size(); i += 3) {
      for (int k = 0; k < 3; ++k) triangleEdges.insert(std::minmax(t[i + k], t[i + (k + 1) % 3]));
    }
    for (std::size_t i = 0; i < o.edges.size(); i += 2) edges.insert(std::minmax(o.edges[i], o.edges[i + 1]));
    EXPECT_EQ(edges.size(), o.edges.size() / 2);
    EXPECT_EQ(edges, triangleEdges);
  }
  EXPECT_LE(static_cast<double>(bytes), 0.15 * static_cast<double>(modelArrayBytes(model)));
}

TEST(StandIn, CarriesColoursTextureCoordinatesAndMaterials) {
  Model model = torusModel(200, 100);
  MeshObject& torus = model[0];
  // Colour and texture coordinates that tell each vertex by where it is.
  torus.colors.binding = Binding::PerVertex;
  torus.texCoords.binding = Binding::PerVertex;
  for (std::size_t v = 0; v < torus.vertices.size(); v += 3) {
    const float x = (torus.vertices[v] + 3.0f) / 6.0f, z = (torus.vertices[v + 2] + 1.0f) / 2.0f;
    torus.colors.values.insert(torus.colors.values.end(), {x, 0.5f, z, 1.0f});
    torus.texCoords.values.insert(torus.texCoords.values.end(), {x, z});
  }
  // Two materials, the first half of the faces and the second.
  model.materials.resize(2);
  model.textures.resize(1);
  model.materials[0].texture = 0;  // so that the coordinates are in use
  model.materials[1].baseColor = {1.0f, 0.5f, 1.0f, 1.0f};  // tints the green alone
  torus.faceMaterials.assign(torus.faces.count(), 0);
  std::fill(torus.faceMaterials.begin() + static_cast<std::ptrdiff_t>(torus.faces.count() / 2), torus.faceMaterials.end(), 1);
  const Made f = fillsOf(model);
  const StandIn s = makeStandIn(model, f.pointers, false, 4'000);
  const SurfaceArrays& a = s.objects[0].surface;
  std::set<std::int32_t> materials;
  for (const SurfaceBatch& b : a.batches) materials.insert(b.material);
  EXPECT_EQ(materials, (std::set<std::int32_t>{0, 1}));
  const std::size_t entries = a.positions.size() / 3;
  ASSERT_EQ(a.colors.size(), 4 * entries);
  ASSERT_EQ(a.texCoords.size(), 2 * entries);
  // Each kept vertex keeps its own values: they match its place.
  for (std::size_t e = 0; e < entries; ++e) {
    const float x = (a.positions[3 * e] + 3.0f) / 6.0f, z = (a.positions[3 * e + 2] + 1.0f) / 2.0f;
    ASSERT_NEAR(a.colors[4 * e] / 255.0f, x, 0.01f) << e;
    ASSERT_NEAR(a.colors[4 * e + 2] / 255.0f, z, 0.01f) << e;
    ASSERT_TRUE(a.colors[4 * e + 1] == 128 || a.colors[4 * e + 1] == 64) << e;
    ASSERT_NEAR(a.texCoords[2 * e], x, 1e-5f) << e;
    ASSERT_NEAR(a.texCoords[2 * e + 1], z, 1e-5f) << e;
  }
}

TEST(StandIn, ThinsAPointCloudToPointsOfItsOwn) {
  Model model(1);
  MeshObject& cloud = model[0];
  cloud.colors.binding = Binding::PerVertex;
  for (int i = 0; i < 50'000; ++i) {
    const float x = static_cast<float>(i % 250), y = static_cast<float>(i / 250);
    cloud.vertices.insert(cloud.vertices.end(), {x, y, std::sin(x * 0.1f) * 5.0f});
    cloud.colors.values.insert(cloud.colors.values.end(), {x / 250.0f, y / 200.0f, 0.0f, 1.0f});
  }
  const Made f = fillsOf(model);
  EXPECT_EQ(drawnPrimitives(model, f.pointers), 50'000u);
  const StandIn s = makeStandIn(model, f.pointers, false, 5'000);
  const StandInObject& o = s.objects[0];
  EXPECT_TRUE(o.surface.batches.empty());
  EXPECT_EQ(s.points, o.points.size() / 3);
  EXPECT_GT(s.points, 2'500u);
  EXPECT_LE(s.points, 5'000u);
  ASSERT_EQ(o.pointColors.size(), 4 * s.points);
  // Points of the cloud, each with its own colour.
  for (std::size_t p = 0; p < s.points; ++p) {
    const float x = o.points[3 * p], y = o.points[3 * p + 1];
    ASSERT_EQ(x, std::round(x));
    ASSERT_FLOAT_EQ(o.pointColors[4 * p], x / 250.0f);
    ASSERT_FLOAT_EQ(o.pointColors[4 * p + 1], y / 200.0f);
  }
}

TEST(StandIn, StopsWhenCancelled) {
  const Model model = torusModel(200, 200);
  const Made f = fillsOf(model);
  const std::atomic<bool> cancelled{true};
  const std::vector<StandIn> levels = makeStandInLevels(model, f.pointers, false, 10'000, &cancelled);
  ASSERT_EQ(levels.size(), 1u);
  EXPECT_EQ(levels[0].triangles, 0u);
}

// The drawing: a model without a stand-in draws the same moving or still; with
// one, moving frames draw it and still frames the model itself, unchanged.
TEST_F(RenderTest, MovingFramesDrawTheStandInAndStillFramesTheModel) {
  show(torusModel(120, 60));  // 14,400 triangles
  const auto still = [&] {
    const FrameReport report = drawScene(shown, camera, viewOptions, false);
    EXPECT_FALSE(report.simplified);
    return frame();
  };
  const struct {
    const char* what;
    DisplayStyle style;
    bool lighting;
  } styles[] = {{"solid", DisplayStyle::Solid, false},
                {"solid lit", DisplayStyle::Solid, true},
                {"hidden-line", DisplayStyle::HiddenLine, false},
                {"wireframe", DisplayStyle::Wireframe, false}};
  for (const auto& s : styles) {
    viewOptions.style = s.style;
    viewOptions.lighting = s.lighting;
    const auto full = still();
    EXPECT_FALSE(drawScene(shown, camera, viewOptions, true).simplified) << s.what;
    EXPECT_EQ(frame(), full) << s.what << ": without a stand-in, a moving frame is the same";
  }
  // Under the budget (a fast frame, or a small model) none is made.
  weighFullFrame(shown, 5.0);
  EXPECT_FALSE(standInInMaking(shown));
  EXPECT_EQ(readyStandIn(shown, DisplayStyle::Solid), nullptr);
  // Weighed as slow with a budget that lets a model this small have one.
  drawnModelOf(shown)->weighed = false;
  const StandInBudget budget{20.0, 8.0, 1'000, 0.15};
  weighFullFrame(shown, 400.0, budget);
  for (int wait = 0; wait < 500 && standInInMaking(shown); ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const StandIn* standIn = readyStandIn(shown, DisplayStyle::Solid);
  ASSERT_NE(standIn, nullptr);
  EXPECT_LT(standIn->triangles, 14'400u / 2 + 1);
  for (const auto& s : styles) {
    viewOptions.style = s.style;
    viewOptions.lighting = s.lighting;
    const auto full = still();
    EXPECT_TRUE(drawScene(shown, camera, viewOptions, true).simplified) << s.what;
    const auto moving = frame();
    EXPECT_NE(moving, full) << s.what << ": the stand-in has fewer triangles";
    // In the same place at the same size: the drawn pixels span the same rectangle.
    const auto span = [](const std::vector<std::uint8_t>& rgba) {
      std::array<int, 4> r = {kSize, kSize, -1, -1};
      for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
          const std::uint8_t* p = &rgba[4 * static_cast<std::size_t>(y * kSize + x)];
          if (p[0] == 0 && p[1] == 0 && p[2] == 0) continue;
          r = {std::min(r[0], x), std::min(r[1], y), std::max(r[2], x), std::max(r[3], y)};
        }
      }
      return r;
    };
    const auto a = span(full), b = span(moving);
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(a[k], b[k], 1) << s.what << " side " << k;
    EXPECT_EQ(still(), full) << s.what << ": at rest the model itself again";
  }
}

TEST(StandInLevels, SlowFramesMoveAStyleToACoarserLevel) {
  Shown shown;
  showModel(shown, torusModel(200, 100), formatOff);
  auto drawn = std::make_shared<DrawnModel>();
  drawn->objects.resize(1);
  drawn->objects[0].fill = makeFillArrays(shown.model[0], false);
  shown.drawn = drawn;
  drawn->standIns = makeStandInLevels(shown.model, {&drawn->objects[0].fill}, false, 16'000);
  ASSERT_GE(drawn->standIns.size(), 2u);
  const StandInBudget budget;  // 8 ms a moving frame
  const StandIn* finest = &drawn->standIns[0];
  const struct {
    double ms;
    std::size_t level;
  } frames[] = {{9.0, 0}, {5.0, 0}, {9.0, 0}, {9.0, 1}, {7.9, 1}, {30.0, 1}, {30.0, 2}};
  for (const auto& f : frames) {
    timeStandInFrame(shown, DisplayStyle::HiddenLine, f.ms, budget);
    const std::size_t expected = std::min(f.level, drawn->standIns.size() - 1);
    EXPECT_EQ(readyStandIn(shown, DisplayStyle::HiddenLine), &drawn->standIns[expected]) << f.ms;
  }
  // Each style keeps its own level.
  EXPECT_EQ(readyStandIn(shown, DisplayStyle::Solid), finest);
}
