#include "render/scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "formats/model_dispatch.h"
#include "model/current_model.h"
#include "model/world.h"
#include "platform/platform.h"
#include "render/background.h"
#include "render/model_arrays.h"
#include "render/rotation.h"
#include "render/view_setup.h"

namespace {

void setColor(const Color& c) { glColor3f(c.r, c.g, c.b); }

bool drawsTriangles() {
  const FormatInfo* format = formatInfo(currentFormat);
  return format != nullptr && format->drawsTriangles;
}

// The arrays each object is drawn from, made once for each model shown
// (the outlines' edge lists the first time an outline is drawn).
std::vector<ObjectArrays> modelArrays;
std::uint64_t modelArraysGeneration = ~std::uint64_t{0};

std::vector<ObjectArrays>& arraysOfCurrentModel() {
  if (modelArraysGeneration != worldGeneration) {
    modelArrays.clear();
    for (const MeshObject& object : currentModel) modelArrays.push_back(makeFillArrays(object, drawsTriangles()));
    modelArraysGeneration = worldGeneration;
  }
  return modelArrays;
}

bool fillingPolygons() {
  GLint mode[2] = {GL_FILL, GL_FILL};
  glGetIntegerv(GL_POLYGON_MODE, mode);
  return mode[0] == GL_FILL;
}

void drawIndexed(GLenum mode, const std::uint32_t* indices, std::size_t count) {
  if (count > 0) glDrawElements(mode, static_cast<GLsizei>(count), GL_UNSIGNED_INT, indices);
}

// Every object from its arrays: filled, its triangles (as GL would split
// its polygons, concave faces from their own triangles); outlined, each edge
// of the face boundaries once, as lines.
void drawModel() {
  std::vector<ObjectArrays>& all = arraysOfCurrentModel();
  const bool filled = fillingPolygons();
  glEnableClientState(GL_VERTEX_ARRAY);
  for (std::size_t i = 0; i < currentModel.size() && i < all.size(); ++i) {
    const MeshObject& object = currentModel[i];
    ObjectArrays& arrays = all[i];
    glVertexPointer(3, GL_FLOAT, 0, object.vertices.data());
    if (!filled) {
      if (!arrays.edgesMade) makeEdgeArrays(object, drawsTriangles(), arrays);
      drawIndexed(GL_LINES, arrays.edges.data(), arrays.edges.size());
      continue;
    }
    if (viewOptions.lighting) {
      if (!arrays.litMade) makeLitArrays(object, arrays);
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
  glDisableClientState(GL_VERTEX_ARRAY);
}

void finishFrame() {
  glFlush();
  platformSwapBuffers();
}

// Moves the eye back from the world centre, zooms, and turns the model by the
// stored rotation about the chosen pivot. Draws the centre-of-mass marker on
// the way, where the origin stands at the centre of mass.
void placeModel() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  const DepthRange depth = depthRange(eyeDistance(), viewRadius);
  gluPerspective(fieldOfView, static_cast<double>(viewWidth) / static_cast<double>(viewHeight),
                 depth.nearPlane, depth.farPlane);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(panX, panY, 0.0f);
  // The eye looks at the world centre from viewDistance along the view axis.
  glTranslatef(-world.xCenMass, -world.yCenMass, -world.zCenMass - viewDistance);
  glTranslatef(0.0f, 0.0f, zoomOffset);
  if (viewOptions.pivotAtOrigin) applyRotation();
  glTranslatef(world.xCenMass, world.yCenMass, world.zCenMass);
  if (viewOptions.showCenterOfMass) {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glColor3f(0.9f, 0.8f, 0.0f);
    gluSphere(sphereQuadric, viewDistance * 0.02, 8, 8);
  }
  if (viewOptions.pivotAtCenter) applyRotation();
  glTranslatef(-world.xCenMass, -world.yCenMass, -world.zCenMass);
}

// Linear fog from the centre of mass outward: a level of 0.5 puts the fog's
// end at the centre of mass.
bool startDepthCue() {
  const float level = viewOptions.depthCueLevel;
  if (level == 0.0f) return false;
  const float s = worldSize / 6.0f;
  const float eye = eyeDistance();
  const Color& b = viewOptions.backgroundColor;
  const GLfloat fogColor[4] = {b.r, b.g, b.b, 1.0f};
  glEnable(GL_FOG);
  glFogi(GL_FOG_MODE, GL_LINEAR);
  glFogfv(GL_FOG_COLOR, fogColor);
  glFogf(GL_FOG_START, eye - s);
  glFogf(GL_FOG_END, eye + s - 2.0f * s * level);
  return true;
}

// With Lighting on, the filled passes are lit by one light at the eye, on
// both sides of every face, in the colour given.
void startLighting() {
  if (!viewOptions.lighting) return;
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

void drawInStyle() {
  const ViewOptions& o = viewOptions;
  if (o.solidMode) {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    setColor(o.foregroundColor);
    startLighting();
    drawModel();
    stopLighting();
  } else if (o.hiddenLineMode) {
    // Faces in the background colour (lit, in the foreground colour) hide
    // the lines behind them; the offset keeps each face's own edges in front.
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 1.0f);
    setColor(o.lighting ? o.foregroundColor : o.backgroundColor);
    startLighting();
    drawModel();
    stopLighting();
    glDisable(GL_POLYGON_OFFSET_FILL);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    setColor(o.foregroundColor);
    drawModel();
  } else if (o.wireframeMode) {
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    setColor(o.foregroundColor);
    drawModel();
  } else {
    setColor(o.foregroundColor);
    drawModel();
  }
}

// Each axis fades from its own colour at the model's origin into the
// background colour at its far end.
void drawAxes() {
  const Color& b = viewOptions.backgroundColor;
  const float length = axisLength;
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
void drawBoundingBox() {
  const World& w = world;
  setColor(contrastColor);
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

unsigned long long framesDrawn = 0;

void drawScene() {
  ++framesDrawn;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  // A drawing area without height has no aspect ratio: only the clear.
  if (viewHeight <= 0 || viewWidth <= 0) {
    finishFrame();
    return;
  }
  if (backgroundShown) drawBackground();
  if (!modelLoaded) {
    finishFrame();
    return;
  }
  glPushMatrix();
  placeModel();
  const bool fogged = startDepthCue();
  drawInStyle();
  if (fogged) glDisable(GL_FOG);
  if (!viewOptions.wireframeMode) glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  if (viewOptions.showAxes) drawAxes();
  if (viewOptions.showBoundingBox) drawBoundingBox();
  glPopMatrix();
  finishFrame();
}
