#include "render/scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "render/background.h"
#include "render/drawn_model.h"
#include "render/rotation.h"
#include "render/stand_in_use.h"
#include "render/view_setup.h"

namespace {

void setColor(const Color& c) { glColor3f(c.r, c.g, c.b); }

// What one frame is drawn from; `standIn`: drawn in the model's place.
struct Frame {
  const Shown& shown;
  const Camera& camera;
  const ViewOptions& options;
  const StandIn* standIn = nullptr;
};

// Time this frame spends making arrays, which later frames will not.
double preparingSeconds = 0.0;
struct Preparing {
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  ~Preparing() { preparingSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); }
};

void drawIndexed(GLenum mode, const std::uint32_t* indices, std::size_t count) {
  if (count > 0) glDrawElements(mode, static_cast<GLsizei>(count), GL_UNSIGNED_INT, indices);
}

// The arrays each object is drawn from, made the first time a model is
// drawn and kept with it (the outlines' edge lists the first time an outline
// is drawn, the appearance's the first time the solid style shows it).
DrawnModel& drawnOf(const Shown& shown) {
  if (!shown.drawn) {
    const Preparing preparing;
    auto drawn = std::make_shared<DrawnModel>();
    drawn->objects.resize(shown.model.size());
    for (std::size_t i = 0; i < shown.model.size(); ++i) {
      drawn->objects[i].fill = makeFillArrays(shown.model[i], shown.drawsTriangles);
      drawn->objects[i].hasAppearance = hasAppearance(shown.model[i], shown.model);
    }
    shown.drawn = drawn;
  }
  return *static_cast<DrawnModel*>(shown.drawn.get());
}

void setColor(const Rgba& c) { glColor4f(c.r, c.g, c.b, c.a); }

// One material's triangles, in its colour (where the arrays hold none), its
// texture and its way with alpha.
void drawBatch(const Frame& f, DrawnModel& drawn, const SurfaceArrays& s, const SurfaceBatch& batch) {
  const Material* m =
      batch.material >= 0 ? &f.shown.model.materials[static_cast<std::size_t>(batch.material)] : nullptr;
  if (s.colors.empty()) {
    if (m != nullptr) {
      setColor(m->baseColor);
    } else {
      setColor(f.options.foregroundColor);
    }
  }
  GLuint texture = 0;
  if (m != nullptr && !s.texCoords.empty()) {
    const Preparing preparing;  // the first time, the picture is handed to GL
    texture = drawn.textures.name(f.shown.model, m->texture);
  }
  if (texture != 0) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, 0, s.texCoords.data());
  }
  const AlphaMode alpha = m != nullptr ? m->alphaMode : AlphaMode::Opaque;
  if (alpha == AlphaMode::Blend) {
    // Seen through: what is behind shows, and it hides nothing drawn later.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
  } else if (alpha == AlphaMode::Mask) {
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GEQUAL, m->alphaCutoff);
  }
  drawIndexed(GL_TRIANGLES, batch.triangles.data(), batch.triangles.size());
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glDepthMask(GL_TRUE);
  if (texture != 0) {
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
  }
}

// The solid style of an object with its colours, materials, textures or
// smooth normals: its opaque batches, or its blended ones (drawn after
// every object's opaque ones, so that what is behind them is there to show).
void drawSurfaceArrays(const Frame& f, DrawnModel& drawn, const SurfaceArrays& s, bool blended) {
  glVertexPointer(3, GL_FLOAT, 0, s.positions.data());
  if (!s.normals.empty()) {
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 0, s.normals.data());
  }
  if (!s.colors.empty()) {
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, s.colors.data());
  }
  for (const SurfaceBatch& batch : s.batches) {
    if (blends(f.shown.model, batch.material) == blended) drawBatch(f, drawn, s, batch);
  }
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  setColor(f.options.foregroundColor);
}

void drawSurface(const Frame& f, DrawnModel& drawn, DrawnObject& object, const MeshObject& mesh, bool blended) {
  const SurfaceChoice choice{f.options.modelColors, f.options.lighting, f.options.smoothShading,
                             f.shown.drawsTriangles};
  if (!object.surface || !(object.surfaceChoice == choice)) {
    const Preparing preparing;
    // A model that moves keeps which corners smooth together from pose to pose.
    const bool moves = !f.shown.model.frames.empty() || !f.shown.model.scene.empty();
    object.surface = std::make_unique<SurfaceArrays>(
        makeSurfaceArrays(mesh, f.shown.model, object.fill, choice, moves ? &object.smoothing : nullptr));
    object.surfaceChoice = choice;
  }
  drawSurfaceArrays(f, drawn, *object.surface, blended);
}

// An object's stand-in in the pass under way: its edges when outlining,
// else its triangles, with the model's colours where the solid style shows
// them and, lit, its smooth normals (faceted where the model is drawn flat).
void drawStandInObject(const Frame& f, DrawnModel& drawn, const StandInObject& object, bool appearance, bool smooth,
                       bool filled, bool blended) {
  const SurfaceArrays& s = object.surface;
  if (!filled) {
    glVertexPointer(3, GL_FLOAT, 0, s.positions.data());
    drawIndexed(GL_LINES, object.edges.data(), object.edges.size());
    return;
  }
  if (f.options.lighting && !smooth) glShadeModel(GL_FLAT);
  if (appearance) {
    drawSurfaceArrays(f, drawn, s, blended);
  } else if (!blended) {
    glVertexPointer(3, GL_FLOAT, 0, s.positions.data());
    if (f.options.lighting) {
      glEnableClientState(GL_NORMAL_ARRAY);
      glNormalPointer(GL_FLOAT, 0, s.normals.data());
    }
    for (const SurfaceBatch& batch : s.batches) drawIndexed(GL_TRIANGLES, batch.triangles.data(), batch.triangles.size());
    glDisableClientState(GL_NORMAL_ARRAY);
  }
  glShadeModel(GL_SMOOTH);
}

bool fillingPolygons() {
  GLint mode[2] = {GL_FILL, GL_FILL};
  glGetIntegerv(GL_POLYGON_MODE, mode);
  return mode[0] == GL_FILL;
}

// Every object from its arrays: filled, its triangles (as GL would split
// its polygons, concave faces from their own triangles); outlined, each edge
// of the face boundaries once, as lines. `solid`: the solid style's pass,
// which shows the model's appearance and smooth shading.
void drawModel(const Frame& f, bool solid) {
  const Model& model = f.shown.model;
  const bool drawsTriangles = f.shown.drawsTriangles;
  DrawnModel& drawn = drawnOf(f.shown);
  const bool filled = fillingPolygons();
  const ViewOptions& o = f.options;
  const auto showsSurface = [&](std::size_t i) {
    return solid && ((o.modelColors && drawn.objects[i].hasAppearance) || (o.lighting && o.smoothShading));
  };
  const auto standInOf = [&](std::size_t i) -> const StandInObject* {
    if (f.standIn == nullptr || i >= f.standIn->objects.size()) return nullptr;
    const StandInObject& s = f.standIn->objects[i];
    return s.surface.batches.empty() ? nullptr : &s;
  };
  const auto showsColors = [&](std::size_t i) { return solid && o.modelColors && drawn.objects[i].hasAppearance; };
  glEnableClientState(GL_VERTEX_ARRAY);
  for (std::size_t i = 0; i < model.size() && i < drawn.objects.size(); ++i) {
    const MeshObject& object = model[i];
    ObjectArrays& arrays = drawn.objects[i].fill;
    if (const StandInObject* s = standInOf(i)) {
      drawStandInObject(f, drawn, *s, showsColors(i), solid && o.smoothShading, filled, false);
      continue;
    }
    if (showsSurface(i)) {
      drawSurface(f, drawn, drawn.objects[i], object, false);
      continue;
    }
    glVertexPointer(3, GL_FLOAT, 0, object.vertices.data());
    if (!filled) {
      if (!arrays.edgesMade) {
        const Preparing preparing;
        makeEdgeArrays(object, drawsTriangles, arrays);
      }
      drawIndexed(GL_LINES, arrays.edges.data(), arrays.edges.size());
      continue;
    }
    if (f.options.lighting) {
      if (!arrays.litMade) {
        const Preparing preparing;
        makeLitArrays(object, arrays);
      }
      glEnableClientState(GL_NORMAL_ARRAY);
      glVertexPointer(3, GL_FLOAT, 0, arrays.litCorners.data());
      glNormalPointer(GL_FLOAT, 0, arrays.litNormals.data());
      glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(arrays.litCorners.size() / 3));
      glDisableClientState(GL_NORMAL_ARRAY);
      continue;
    }
    if (arrays.facesAreTriangles) {
      drawIndexed(GL_TRIANGLES, reinterpret_cast<const std::uint32_t*>(object.faces.indices.data()),
                  object.faces.indices.size());
    } else {
      drawIndexed(GL_TRIANGLES, arrays.triangles.data(), arrays.triangles.size());
    }
    if (!arrays.concave.triangles.empty()) {
      glVertexPointer(3, GL_FLOAT, 0, arrays.concave.triangles.data());
      glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(arrays.concave.triangles.size() / 3));
    }
  }
  for (std::size_t i = 0; i < model.size() && i < drawn.objects.size(); ++i) {
    if (const StandInObject* s = standInOf(i)) {
      if (showsColors(i)) drawStandInObject(f, drawn, *s, true, o.smoothShading, filled, true);
    } else if (showsSurface(i)) {
      drawSurface(f, drawn, drawn.objects[i], model[i], true);
    }
  }
  glDisableClientState(GL_VERTEX_ARRAY);
}

// Lines and point clouds, unlit, in every style: in their colours where the
// file gives them per vertex, else their material's, else the foreground.
void drawLinesAndPoints(const Frame& f) {
  const Model& model = f.shown.model;
  DrawnModel& drawn = drawnOf(f.shown);
  const ViewOptions& o = f.options;
  glEnableClientState(GL_VERTEX_ARRAY);
  for (std::size_t i = 0; i < model.size() && i < drawn.objects.size(); ++i) {
    const MeshObject& object = model[i];
    if (object.lines.count() == 0 && !object.isPointCloud()) continue;
    glVertexPointer(3, GL_FLOAT, 0, object.vertices.data());
    const bool colored = o.modelColors && object.colors.binding == Binding::PerVertex;
    if (colored) {
      glEnableClientState(GL_COLOR_ARRAY);
      glColorPointer(4, GL_FLOAT, 0, object.colors.values.data());
    } else if (o.modelColors && object.material >= 0) {
      setColor(model.materials[static_cast<std::size_t>(object.material)].baseColor);
    } else {
      setColor(o.foregroundColor);
    }
    std::vector<std::uint32_t>& segments = drawn.objects[i].lineSegments;
    if (segments.empty() && object.lines.count() > 0) {
      const Preparing preparing;
      for (std::size_t l = 0; l < object.lines.count(); ++l) {
        const auto line = object.lines[l];
        for (std::size_t k = 0; k + 1 < line.size(); ++k) {
          segments.insert(segments.end(), {static_cast<std::uint32_t>(line[k]), static_cast<std::uint32_t>(line[k + 1])});
        }
      }
    }
    drawIndexed(GL_LINES, segments.data(), segments.size());
    if (object.isPointCloud()) {
      glPointSize(static_cast<GLfloat>(std::clamp(o.pointSize, 1, 10)));
      const StandInObject* s = f.standIn != nullptr && i < f.standIn->objects.size() ? &f.standIn->objects[i] : nullptr;
      if (s != nullptr && !s->points.empty()) {
        glVertexPointer(3, GL_FLOAT, 0, s->points.data());
        if (colored && !s->pointColors.empty()) glColorPointer(4, GL_FLOAT, 0, s->pointColors.data());
        glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(s->points.size() / 3));
      } else {
        glDrawArrays(GL_POINTS, 0, object.numVertices());
      }
      glPointSize(1.0f);
    }
    glDisableClientState(GL_COLOR_ARRAY);
  }
  glDisableClientState(GL_VERTEX_ARRAY);
}

void finishFrame() {
  glFlush();
  platformSwapBuffers();
}

// Moves the eye back from the world centre, zooms, and turns the model by the
// stored rotation about the chosen pivot. Draws the centre-of-mass marker on
// the way, where the origin stands at the centre of mass.
void placeModel(const Frame& f) {
  const Camera& c = f.camera;
  const World& world = f.shown.world;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  const double aspect = static_cast<double>(c.viewWidth) / static_cast<double>(c.viewHeight);
  // A parallel view shows at the world centre's depth what the perspective
  // one shows there, so switching keeps the model's size; the eye distance
  // only scales it, and the eye itself stands back outside the model so
  // that nothing falls behind it (fog counts from the eye).
  float standOff = 0.0f;
  if (f.options.orthographic) {
    const double halfHeight = std::max(static_cast<double>(c.eyeDistance()), 1e-30) *
                              std::tan(fieldOfView * M_PI / 360.0);
    standOff = std::max(0.0f, c.viewRadius * 1.05f - c.eyeDistance());
    const DepthRange depth = depthRange(c.eyeDistance() + standOff, c.viewRadius);
    glOrtho(-halfHeight * aspect, halfHeight * aspect, -halfHeight, halfHeight, depth.nearPlane, depth.farPlane);
  } else {
    const DepthRange depth = depthRange(c.eyeDistance(), c.viewRadius);
    gluPerspective(fieldOfView, aspect, depth.nearPlane, depth.farPlane);
  }
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(0.0f, 0.0f, -standOff);
  glTranslatef(c.panX, c.panY, 0.0f);
  // The eye looks at the world centre from viewDistance along the view axis.
  glTranslatef(-world.xCenMass, -world.yCenMass, -world.zCenMass - c.viewDistance);
  glTranslatef(0.0f, 0.0f, c.zoomOffset);
  if (f.options.pivot == Pivot::Origin) applyRotation(c);
  glTranslatef(world.xCenMass, world.yCenMass, world.zCenMass);
  if (f.options.showCenterOfMass) {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glColor3f(0.9f, 0.8f, 0.0f);
    GLUquadric* sphere = gluNewQuadric();
    gluSphere(sphere, c.viewDistance * 0.02, 8, 8);
    gluDeleteQuadric(sphere);
  }
  if (f.options.pivot == Pivot::Center) applyRotation(c);
  glTranslatef(-world.xCenMass, -world.yCenMass, -world.zCenMass);
}

// The World box's nearest and farthest depth from the eye, as the modelview
// now places it (its corners: exact for a box, and no depth for a flat model).
std::pair<float, float> depthExtent(const World& w) {
  GLfloat m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  float nearest = INFINITY, farthest = -INFINITY;
  for (int corner = 0; corner < 8; ++corner) {
    const float x = corner & 1 ? w.xMax : w.xMin, y = corner & 2 ? w.yMax : w.yMin, z = corner & 4 ? w.zMax : w.zMin;
    const float depth = -(m[2] * x + m[6] * y + m[10] * z + m[14]);
    nearest = std::min(nearest, depth), farthest = std::max(farthest, depth);
  }
  return {nearest, farthest};
}

// Linear fog across the model's own depth: its nearest point keeps its
// colour, its farthest is fogged by the level (0.99 all but gone), so no
// level hides the model and one without depth is not fogged at all.
bool startDepthCue(const Frame& f) {
  const float level = f.options.depthCueLevel;
  if (!(level > 0.0f)) return false;
  const auto [nearest, farthest] = depthExtent(f.shown.world);
  const float range = farthest - nearest;
  if (!(range > 1e-6f * std::max(1.0f, std::abs(farthest)))) return false;
  const Color& b = f.options.backgroundColor;
  const GLfloat fogColor[4] = {b.r, b.g, b.b, 1.0f};
  glEnable(GL_FOG);
  glFogi(GL_FOG_MODE, GL_LINEAR);
  glFogfv(GL_FOG_COLOR, fogColor);
  glFogf(GL_FOG_START, nearest);
  glFogf(GL_FOG_END, nearest + range / level);
  return true;
}

// With Lighting on, the filled passes are lit by one light at the eye, on
// both sides of every face, in the colour given.
void startLighting(const ViewOptions& options) {
  if (!options.lighting) return;
  glPushMatrix();
  glLoadIdentity();  // the light's place is given in eye space
  const GLfloat towardsEye[4] = {0.0f, 0.0f, 1.0f, 0.0f};
  const GLfloat diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
  glLightfv(GL_LIGHT0, GL_POSITION, towardsEye);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
  glPopMatrix();
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_LIGHT0);
  glEnable(GL_LIGHTING);
}
void stopLighting() {
  glDisable(GL_LIGHTING);
  glDisable(GL_COLOR_MATERIAL);
}

void drawInStyle(const Frame& f) {
  const ViewOptions& o = f.options;
  if (o.style == DisplayStyle::Solid) {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    setColor(o.foregroundColor);
    startLighting(o);
    drawModel(f, true);
    stopLighting();
  } else if (o.style == DisplayStyle::HiddenLine) {
    // Faces in the background colour (lit, in the foreground colour) hide
    // the lines behind them; the offset keeps each face's own edges in front.
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 1.0f);
    setColor(o.lighting ? o.foregroundColor : o.backgroundColor);
    startLighting(o);
    drawModel(f, false);
    stopLighting();
    glDisable(GL_POLYGON_OFFSET_FILL);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    setColor(o.foregroundColor);
    drawModel(f, false);
  } else {
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    setColor(o.foregroundColor);
    drawModel(f, false);
  }
  drawLinesAndPoints(f);
}

// Each axis fades from its own colour at the model's origin into the
// background colour at its far end.
void drawAxes(const Frame& f) {
  const Color& b = f.options.backgroundColor;
  const float length = f.camera.axisLength;
  glBegin(GL_LINES);
  glColor3f(1.0f, 0.0f, 0.0f);
  glVertex3f(0.0f, 0.0f, 0.0f);
  setColor(b);
  glVertex3f(length, 0.0f, 0.0f);
  glEnd();
  glBegin(GL_LINES);
  glColor3f(0.0f, 1.0f, 0.0f);
  glVertex3f(0.0f, 0.0f, 0.0f);
  setColor(b);
  glVertex3f(0.0f, length, 0.0f);
  glEnd();
  glBegin(GL_LINES);
  glColor3f(0.0f, 0.0f, 1.0f);
  glVertex3f(0.0f, 0.0f, 0.0f);
  setColor(b);
  glVertex3f(0.0f, 0.0f, length);
  glEnd();
}

// One quad strip whose four outlined quads give all twelve edges.
void drawBoundingBox(const Frame& f) {
  const World& w = f.shown.world;
  setColor(contrastColor(f.options.backgroundColor));
  glBegin(GL_QUAD_STRIP);
  glVertex3f(w.xMax, w.yMin, w.zMax);
  glVertex3f(w.xMin, w.yMin, w.zMax);
  glVertex3f(w.xMax, w.yMax, w.zMax);
  glVertex3f(w.xMin, w.yMax, w.zMax);
  glVertex3f(w.xMax, w.yMax, w.zMin);
  glVertex3f(w.xMin, w.yMax, w.zMin);
  glVertex3f(w.xMax, w.yMin, w.zMin);
  glVertex3f(w.xMin, w.yMin, w.zMin);
  glVertex3f(w.xMax, w.yMin, w.zMax);
  glVertex3f(w.xMin, w.yMin, w.zMax);
  glEnd();
}

}  // namespace

DepthRange depthRange(float eye, float radius) {
  // The ratio of the far plane to the near one bounds the depth buffer's
  // precision: 24 bits keep about four decimal digits of it.
  constexpr double kMaxDepthRatio = 10000.0;
  double farPlane = static_cast<double>(eye) + radius;
  if (!(farPlane > 0.0)) farPlane = 1.0;  // all of it behind the eye: nothing to see
  const double nearPlane = std::max(static_cast<double>(eye) - radius, farPlane / kMaxDepthRatio);
  return {nearPlane, farPlane};
}

FrameReport drawScene(const Shown& shown, const Camera& camera, const ViewOptions& options, bool moving) {
  const Frame f{shown, camera, options, moving ? readyStandIn(shown, options.style) : nullptr};
  preparingSeconds = 0.0;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  // A drawing area without height has no aspect ratio: only the clear.
  if (camera.viewHeight <= 0 || camera.viewWidth <= 0) {
    finishFrame();
    return {};
  }
  if (shown.backgroundShown) drawBackground(camera.viewWidth, camera.viewHeight);
  if (!shown.hasModel()) {
    finishFrame();
    return {};
  }
  glPushMatrix();
  placeModel(f);
  const bool fogged = startDepthCue(f);
  drawInStyle(f);
  if (fogged) glDisable(GL_FOG);
  if (options.style != DisplayStyle::Wireframe) glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  if (options.showAxes) drawAxes(f);
  if (options.showBoundingBox) drawBoundingBox(f);
  glPopMatrix();
  finishFrame();
  return {f.standIn != nullptr, preparingSeconds * 1000.0};
}
