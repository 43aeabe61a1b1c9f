// Frames of small scenes against golden pictures in tests/data/render/ (made
// by this test with TESSERA_UPDATE_GOLDEN=1 and looked at before they were kept).
#include <cmath>
#include <fstream>
#include <functional>

#include "render/spin.h"
#include "render_fixture.h"

namespace {

using SceneSetup = std::function<void(RenderTest&)>;

void wireframe(RenderTest& t) { t.viewOptions.style = DisplayStyle::Wireframe; }
void hiddenLine(RenderTest& t) { t.viewOptions.style = DisplayStyle::HiddenLine; }
void hiddenLineOnBlue(RenderTest& t) { hiddenLine(t), t.viewOptions.backgroundColor = {0.0f, 0.0f, 1.0f}; }

std::vector<float> star() {
  std::vector<float> corners;
  for (int k = 0; k < 10; ++k) {
    const double a = M_PI / 2 + 2 * M_PI * k / 10, r = (k % 2) ? 0.4 : 1.0;
    corners.insert(corners.end(), {static_cast<float>(r * std::cos(a)), static_cast<float>(r * std::sin(a)), 0});
  }
  return corners;
}

// A picture of one colour behind the model; imports that fail change nothing.
void behindAPicture(RenderTest& t) {
  const std::string plain = t.state.dir().file("plain.bmp"), bad = t.state.dir().file("bad.bmp");
  writePicture(plain, 30, 20, [](int, int) { return Rgb{200, 100, 50}; });
  writeTextFile(bad, "not a picture");
  ASSERT_TRUE(makeBackgroundTexture(plain.c_str()));
  EXPECT_FALSE(makeBackgroundTexture(bad.c_str()) || makeBackgroundTexture(t.state.dir().file("absent.bmp").c_str()));
  t.shown.backgroundShown = true;
}

SceneSetup tiltedAndCued(float level) {
  return [level](RenderTest& t) { t.viewOptions.depthCueLevel = level, turnModel(t.camera, 60.0f, 1.0f, 0.0f, 0.0f); };
}

SceneSetup lit(bool smooth) {
  return [smooth](RenderTest& t) { t.viewOptions.lighting = true, t.viewOptions.smoothShading = smooth; };
}

// Two triangles of the square, coloured at each vertex or each face.
MeshObject colored(Binding binding) {
  MeshObject o = makeObject({-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0}, {{0, 1, 2}, {0, 2, 3}});
  o.colors.binding = binding;
  o.colors.values = {1, 0, 0, 1, 0, 1, 0, 1, 0, 0, 1, 1, 1, 1, 0, 1};
  o.colors.values.resize(binding == Binding::PerVertex ? 16 : 8);
  return o;
}

// The square with a 2 x 2 picture (red, green; blue, white from the bottom
// row up) over it, turned so that the light falls unevenly.
Model texturedSquare() {
  Model model{makeObject({-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0}, {{0, 1, 2, 3}})};
  model[0].texCoords = {Binding::PerVertex, {0, 0, 1, 0, 1, 1, 0, 1}, {}};
  model[0].material = 0;
  model.materials.push_back(Material{"picture", Rgba{}, 0});
  model.textures.push_back(Texture{"2x2", 2, 2, {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255}});
  return model;
}

// A triangle and a polyline beside it that is no face's edge.
MeshObject withLines() {
  MeshObject o = makeObject({-1, -1, 0, 0, -1, 0, -1, 0, 0, 0.5f, 0, 0, 1, 1, 0}, {{0, 1, 2}});
  std::ranges::copy(std::vector<std::int32_t>{1, 3, 4}, o.lines.append(3).begin());
  return o;
}

// An L whose first corner's fan would cover the notch.
MeshObject letterL() { return makeObject({2, 0, 0, 2, 1, 0, 1, 1, 0, 1, 2, 0, 0, 2, 0, 0, 0, 0}, {{0, 1, 2, 3, 4, 5}}); }

}  // namespace

TEST_F(RenderTest, FramesMatchTheirGoldenPictures) {
  const struct {
    const char* name;
    Model model;
    FormatId format;
    SceneSetup setup;
  } scenes[] = {
      {"solid", {square()}, formatOff, nullptr},
      {"hidden-line", {square()}, formatOff, hiddenLineOnBlue},
      {"wireframe", {square()}, formatOff, wireframe},
      {"hidden-behind-nearer-faces",
       {makeObject({-2, -2, -1, 2, -2, -1, 2, 2, -1, -2, 2, -1, -0.05f, -2, -1, 0.05f, 2, -1}, {{0, 1, 2, 3}, {4, 5, 4}}),
        makeObject({-0.5f, -0.5f, 0.5f, 0.5f, -0.5f, 0.5f, 0.5f, 0.5f, 0.5f, -0.5f, 0.5f, 0.5f}, {{0, 1, 2, 3}})},
       formatOff, hiddenLine},
      // Fog runs over the model's own depth: from none at its nearest edge
      // to the level's share at its farthest; a face seen square-on has no
      // depth and is not fogged at all, however high the level.
      {"depth-cue-50", {square()}, formatOff, tiltedAndCued(0.5f)},
      {"depth-cue-99", {square()}, formatOff, tiltedAndCued(0.99f)},
      {"depth-cue-99-face-on", {square()}, formatOff, [](RenderTest& t) { t.viewOptions.depthCueLevel = 0.99f; }},
      {"axes", {makeObject({-2, -4, 0, 6, 4, 0}, {})}, formatOff, [](RenderTest& t) { t.viewOptions.showAxes = true; }},
      {"axes-of-a-small-model", {makeObject({-0.05f, -0.05f, -0.05f, 0.05f, 0.05f, 0.05f}, {})}, formatOff,
       [](RenderTest& t) { t.viewOptions.showAxes = true, turnModel(t.camera, 30.0f, 1.0f, 1.0f, 0.0f); }},
      {"box-in-the-contrast-colour",
       {makeObject({-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0, 0, 0, 1, 0, 0, -1}, {{0, 1, 2, 3}})}, formatOff,
       [](RenderTest& t) { wireframe(t), t.viewOptions.showBoundingBox = true, t.viewOptions.backgroundColor = {0.2f, 0.6f, 0.0f};
         applyBackgroundColor(t.viewOptions); }},
      {"centre-of-mass", {square()}, formatOff, [](RenderTest& t) { t.viewOptions.showCenterOfMass = true; }},
      {"triangles-3ds", {square()}, format3DStudio, nullptr},
      {"triangles-md2", {square()}, formatQuake2, nullptr},
      {"concave-solid", {letterL()}, formatOff, nullptr},
      {"concave-wireframe", {letterL()}, formatOff, wireframe},
      // A face with all its corners on a line above the square fills nothing.
      {"face-on-a-line",
       {makeObject({-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0, -0.5f, 1.5f, 0.1f, 0, 1.5f, 0.1f, 0.5f, 1.5f, 0.1f, 0.9f, 1.5f,
                    0.1f},
                   {{0, 1, 2, 3}, {4, 5, 6, 7}})},
       formatOff, nullptr},
      {"star-solid", {makeObject(star(), {{1, 2, 3, 4, 5, 6, 7, 8, 9, 0}})}, formatOff, nullptr},
      {"star-hidden-line", {makeObject(star(), {{1, 2, 3, 4, 5, 6, 7, 8, 9, 0}})}, formatOff, hiddenLineOnBlue},
      // A torus without a hole: a sphere, its faces at every angle to the light at the eye.
      {"lit-sphere", {makeTorus(32, 32, 0.0f, 1.0f)}, formatOff, lit(false)},
      {"lit-sphere-smooth", {makeTorus(32, 32, 0.0f, 1.0f)}, formatOff, lit(true)},
      // The model's own look: colours at the vertices and of the faces, a
      // picture, points and lines, and Model Colours off.
      {"vertex-colours", {colored(Binding::PerVertex)}, formatOff, nullptr},
      {"face-colours", {colored(Binding::PerFace)}, formatOff, nullptr},
      {"colours-off", {colored(Binding::PerVertex)}, formatOff, [](RenderTest& t) { t.viewOptions.modelColors = false; }},
      {"textured-lit", texturedSquare(), formatOff, lit(true)},
      {"points", {makeObject(star(), {})}, formatOff, [](RenderTest& t) { t.viewOptions.pointSize = 3; }},
      {"lines-and-faces", {withLines()}, formatOff, wireframe},
      // Hidden-line faces take the background colour, not the picture's.
      {"picture-alone", {}, formatOff, behindAPicture},
      {"picture-behind-the-model", {square()}, formatOff, behindAPicture},
      {"picture-behind-hidden-line", {square()}, formatOff, [](RenderTest& t) { behindAPicture(t), hiddenLine(t); }},
  };
  const bool update = std::getenv("TESSERA_UPDATE_GOLDEN") != nullptr;
  const ViewOptions plain = viewOptions;
  for (const auto& scene : scenes) {
    viewOptions = plain;
    shown.backgroundShown = false;
    resetRotation(camera);
    applyBackgroundColor(viewOptions);
    if (scene.setup) scene.setup(*this);
    show(scene.model, scene.format);
    draw();
    std::string picture(kSize * kSize * 4, '\0');
    glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, picture.data());
    const std::string path = std::string(TESSERA_SOURCE_DIR) + "/tests/data/render/" + scene.name + ".rgba";
    if (update) std::ofstream(path, std::ios::binary) << picture;
    EXPECT_TRUE(picture == readTextFile(path)) << scene.name;
  }
  EXPECT_FALSE(glIsEnabled(GL_FOG));
}

TEST_F(RenderTest, DrawingNeverTurnsTheModel) {
  show({square()});
  turnModel(camera, 10.0f, 0.0f, 0.0f, 1.0f);
  EXPECT_NEAR(camera.rotationMatrix[0], std::cos(10.0 * M_PI / 180), 1e-6);
  EXPECT_NEAR(camera.rotationMatrix[1], std::sin(10.0 * M_PI / 180), 1e-6);
  float before[16];
  std::copy(camera.rotationMatrix, camera.rotationMatrix + 16, before);
  draw();
  const std::vector<std::uint8_t> first = frame();
  viewOptions.pivot = Pivot::Origin;  // about the other pivot: still no turn of its own
  for (int repaint = 0; repaint < 3; ++repaint) draw();
  EXPECT_TRUE(std::equal(before, before + 16, camera.rotationMatrix));
  viewOptions.pivot = Pivot::Center;
  draw();
  EXPECT_TRUE(frame() == first);  // an expose draws the same picture again
  turnModel(camera, 30.0f, 0.0f, 0.0f, 0.0f);  // a zero axis turns nothing
  EXPECT_TRUE(std::equal(before, before + 16, camera.rotationMatrix));
}

TEST(Spin, TurnsByTheTimeThatPassedNotByTheFrames) {
  const float axis[3] = {0.0f, 1.0f, 0.0f};
  // A 3-degree step in 1/60 s spins at 180 degrees a second, whatever the frame rate.
  for (const int framesPerSecond : {10, 37, 100, 1000}) {
    Spin spin = spinAtRelease(3.0f, axis, 1.0 / 60, 0.01, 5.0);
    ASSERT_TRUE(spin.on);
    float turned = 0.0f;
    for (int frame = 1; frame <= framesPerSecond; ++frame) turned += spinTurn(spin, 5.0 + double(frame) / framesPerSecond);
    EXPECT_NEAR(turned, 180.0f, 180.0f / framesPerSecond) << framesPerSecond << " frames a second";
    EXPECT_EQ(spinTurn(spin, 6.0), 0.0f);  // a second tick at the same moment adds nothing
  }
  const struct {
    float step;
    double stepSeconds, pause;
    float degreesPerSecond;  // 0: no spin
  } releases[] = {
      {3.0f, 0.02, 0.0, 150.0f},
      {3.0f, 0.0, 0.0, 375.0f},  // two events at once: the shortest step
      {3.0f, 0.02, 0.2, 0.0f},   // held still before the release
      {0.0f, 0.02, 0.0, 0.0f},
  };
  for (const auto& r : releases) {
    const Spin spin = spinAtRelease(r.step, axis, r.stepSeconds, r.pause, 0.0);
    EXPECT_EQ(spin.on, r.degreesPerSecond > 0.0f);
    EXPECT_NEAR(spin.degreesPerSecond, r.degreesPerSecond, 1e-3f);
  }
}
