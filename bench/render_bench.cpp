// Frame time of the scene drawing on a model of about a million triangles,
// offscreen at 800x600, in each display style; against a reference frame
// that sends the same model with one glDrawElements call per pass, and that
// reference compiled into a display list.
// Run: build/bench/render_bench
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <chrono>
#include <cmath>

#include "formats/model_dispatch.h"
#include "platform/headless/offscreen_context.h"
#include "render/rotation.h"
#include "render/shown_pose.h"
#include "render/scene.h"
#include "render/standard_views.h"
#include "render/view_setup.h"
#include "bench_models.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;

// What the benchmark shows, as the viewer's shell holds it.
Shown shown;
Camera camera;
ViewOptions viewOptions;

void prepare(int style) {
  static bool ready = false;
  if (!ready) {
    makeOffscreenContextCurrent(kWidth, kHeight);
    showModel(shown, {makeTriangleGrid(708)}, format3DStudio);  // 1,002,528 triangles
    frameWorld(camera, shown.world);
    viewOptions.foregroundColor = {1, 1, 1};
    viewOptions.backgroundColor = {0, 0.5f, 1};
    viewOptions.pivot = Pivot::Center;
    viewOptions.showAxes = viewOptions.showBoundingBox = true;
    viewOptions.depthCueLevel = 0.3f;
    initGL(viewOptions);
    resizeView(camera, kWidth, kHeight);
    ready = true;
  }
  viewOptions.style = style == 0 ? DisplayStyle::Solid : style == 1 ? DisplayStyle::HiddenLine : DisplayStyle::Wireframe;
}

// The same frame with the model in vertex arrays.
void referenceFrame(int style) {
  const MeshObject& o = shown.model[0];
  const World& world = shown.world;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glPushMatrix();
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  const DepthRange depth = depthRange(camera.eyeDistance(), camera.viewRadius);
  gluPerspective(70.0, static_cast<double>(kWidth) / kHeight, depth.nearPlane, depth.farPlane);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(-world.xCenMass, -world.yCenMass, -world.zCenMass - camera.viewDistance);
  applyRotation(camera);
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, o.vertices.data());
  const auto count = static_cast<GLsizei>(o.faces.indices.size());
  const void* indices = o.faces.indices.data();
  if (style == 1) {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 1.0f);
    glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, indices);
    glDisable(GL_POLYGON_OFFSET_FILL);
  }
  glPolygonMode(GL_FRONT_AND_BACK, style == 0 ? GL_FILL : GL_LINE);
  glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, indices);
  glDisableClientState(GL_VERTEX_ARRAY);
  glPopMatrix();
  glFinish();
}

void BM_DrawScene(benchmark::State& state) {
  const int style = static_cast<int>(state.range(0));
  prepare(style);
  // Each frame a little turned, as in a spin.
  for (auto _ : state) {
    turnModel(camera, 0.5f, 1.0f, 0.0f, 0.0f);
    drawScene(shown, camera, viewOptions);
    glFinish();
  }
}

void BM_ReferenceDrawElements(benchmark::State& state) {
  const int style = static_cast<int>(state.range(0));
  prepare(style);
  for (auto _ : state) {
    turnModel(camera, 0.5f, 1.0f, 0.0f, 0.0f);
    referenceFrame(style);
  }
}

// The reference frame compiled once into a display list per style, called
// each frame: whether Mesa draws a list faster than client arrays.
void BM_ReferenceDisplayList(benchmark::State& state) {
  const int style = static_cast<int>(state.range(0));
  prepare(style);
  const GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  referenceFrame(style);
  glEndList();
  for (auto _ : state) {
    glCallList(list);
    glFinish();
  }
  glDeleteLists(list, 1);
}

// The solid frame of the same model with a colour at every vertex, against
// the plain one, unlit and lit (smooth): arguments colours 0/1, lit 0/1.
void BM_SolidFrameColours(benchmark::State& state) {
  prepare(0);
  static Shown colored;
  if (!colored.hasModel()) {
    MeshObject object = shown.model[0];
    object.colors.binding = Binding::PerVertex;
    object.colors.values.resize(4 * static_cast<std::size_t>(object.numVertices()));
    for (std::size_t v = 0; v < object.colors.values.size(); ++v) object.colors.values[v] = static_cast<float>(v % 7) / 7.0f;
    showModel(colored, {object}, format3DStudio);
  }
  const Shown& drawn = state.range(0) != 0 ? colored : shown;
  ViewOptions options = viewOptions;
  options.lighting = state.range(1) != 0;
  drawScene(drawn, camera, options);  // the arrays made once, outside the timing
  for (auto _ : state) {
    turnModel(camera, 0.5f, 1.0f, 0.0f, 0.0f);
    drawScene(drawn, camera, options);
    glFinish();
  }
}
BENCHMARK(BM_SolidFrameColours)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond)->Iterations(5);

// Fitting the first view of a model of 3.24 million vertices (a grid bent
// into a bowl so that it has depth), as every open does on the window's thread.
void BM_FitFirstView(benchmark::State& state) {
  static Shown bowl;
  if (!bowl.hasModel()) {
    MeshObject object = makeTriangleGrid(1799);
    for (std::size_t k = 0; k + 2 < object.vertices.size(); k += 3) {
      const float x = object.vertices[k], y = object.vertices[k + 1];
      object.vertices[k + 2] = 0.001f * (x * x + y * y);
    }
    showModel(bowl, {object}, formatOff);
  }
  Camera view;
  view.viewWidth = kWidth, view.viewHeight = kHeight;
  ViewOptions options;
  for (auto _ : state) showFirstView(view, bowl, options, UpAxis::Y);
  state.counters["vertices"] = static_cast<double>(bowl.model[0].numVertices());
}
BENCHMARK(BM_FitFirstView)->Unit(benchmark::kMillisecond)->Iterations(5);

// Argument: 0 solid, 1 hidden-line, 2 wireframe.
BENCHMARK(BM_DrawScene)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ReferenceDrawElements)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ReferenceDisplayList)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();

// A game model of 9,801 vertices and 200 frames, a wave running over it.
Shown& gameModel() {
  static Shown game;
  if (game.hasModel()) return game;
  MeshObject object = makeTriangleGrid(98);
  VertexFrames frames;
  frames.vertexCount = object.vertices.size() / 3;
  for (int k = 0; k < 200; ++k) {
    frames.names.push_back("run" + std::to_string(k % 100));
    for (std::size_t v = 0; v < object.vertices.size(); v += 3) {
      frames.positions.insert(frames.positions.end(),
                              {object.vertices[v], object.vertices[v + 1],
                               object.vertices[v + 2] + std::sin(0.1f * static_cast<float>(k) + object.vertices[v])});
    }
  }
  frames.runs = runsByName(frames.names);
  Model model{object};
  model.frames = std::move(frames);
  showModel(game, std::move(model), formatQuake2);
  return game;
}

// Playing the game model: a frame drawn at the next place of its animation
// (pose, arrays made again, drawn) against the same frame standing still;
// arguments: playing 0/1, lit 0/1 (lit with smooth normals, made again from
// each pose). A 400x300 drawing area.
void BM_PlayingFrame(benchmark::State& state) {
  prepare(0);
  Shown& game = gameModel();
  Camera view = camera;
  frameWorld(view, game.world);
  resizeView(view, 400, 300);
  glViewport(0, 0, 400, 300);
  ViewOptions options = viewOptions;
  options.lighting = state.range(1) != 0;
  drawScene(game, view, options);
  double seconds = 0.0, preparing = 0.0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (state.range(0) != 0) {
      seconds += 1.0 / 60.0;
      poseShownAt(game, -1, seconds);
    }
    // The pose and the arrays made again from it: the work playing adds.
    preparing += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() +
                 drawScene(game, view, options).preparingMs;
    glFinish();
  }
  state.counters["pose_and_arrays_ms"] = benchmark::Counter(preparing / static_cast<double>(state.iterations()));
  glViewport(0, 0, kWidth, kHeight);
}
BENCHMARK(BM_PlayingFrame)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

// The pose alone: the place between two frames written into the vertices.
void BM_PoseAlone(benchmark::State& state) {
  Shown& game = gameModel();
  double seconds = 0.0;
  for (auto _ : state) {
    seconds += 1.0 / 60.0;
    poseShownAt(game, -1, seconds);
    benchmark::DoNotOptimize(game.model[0].vertices.data());
  }
}
BENCHMARK(BM_PoseAlone)->Unit(benchmark::kMicrosecond);
