#include "render/scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "formats/model_dispatch.h"
#include "model/current_model.h"
#include "model/world.h"
#include "platform/platform.h"
#include "render/background.h"
#include "render/rotation.h"
#include "render/view_setup.h"

namespace {

void setColor(const Color& c) { glColor3f(c.r, c.g, c.b); }

bool drawsTriangles() {
  return currentFormat == format3DStudio || currentFormat == formatQuake1 ||
         currentFormat == formatQuake2;
}

void drawModel() {
  const std::int32_t count = objectCount < static_cast<std::int32_t>(currentModel.size())
                                 ? objectCount
                                 : static_cast<std::int32_t>(currentModel.size());
  for (std::int32_t i = 0; i < count; ++i) drawObject(currentModel[static_cast<std::size_t>(i)]);
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
  gluPerspective(fieldOfView, static_cast<double>(viewWidth) / static_cast<double>(viewHeight),
                 1.0, 10000.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(-world.xCenMass, -world.yCenMass, -viewDistance);
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
  const float s = (std::fabs(world.xMin) + std::fabs(world.xMax) + std::fabs(world.yMin) +
                   std::fabs(world.yMax) + std::fabs(world.zMin) + std::fabs(world.zMax)) /
                  6.0f;
  const float eye = viewDistance - world.zCenMass - zoomOffset;
  const Color& b = viewOptions.backgroundColor;
  const GLfloat fogColor[4] = {b.r, b.g, b.b, 1.0f};
  glEnable(GL_FOG);
  glFogi(GL_FOG_MODE, GL_LINEAR);
  glFogfv(GL_FOG_COLOR, fogColor);
  glFogf(GL_FOG_START, eye - s);
  glFogf(GL_FOG_END, eye + s - 2.0f * s * level);
  return true;
}

void drawInStyle() {
  const ViewOptions& o = viewOptions;
  if (o.solidMode) {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    setColor(o.foregroundColor);
    drawModel();
  } else if (o.hiddenLineMode) {
    // Faces in the background colour hide the lines behind them; the offset
    // keeps each face's own edges in front of it.
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 1.0f);
    setColor(o.backgroundColor);
    drawModel();
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
  const int length = axisLength;
  glBegin(GL_LINES);
  glColor3f(1.0f, 0.0f, 0.0f);
  glVertex3i(0, 0, 0);
  setColor(b);
  glVertex3i(length, 0, 0);
  glEnd();
  glBegin(GL_LINES);
  glColor3f(0.0f, 1.0f, 0.0f);
  glVertex3i(0, 0, 0);
  setColor(b);
  glVertex3i(0, length, 0);
  glEnd();
  glBegin(GL_LINES);
  glColor3f(0.0f, 0.0f, 1.0f);
  glVertex3i(0, 0, 0);
  setColor(b);
  glVertex3i(0, 0, length);
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

void drawObject(const MeshObject& object) {
  const float* vertices = object.vertices.data();
  const std::size_t faceCount = object.faces.count();
  if (drawsTriangles()) {
    for (std::size_t f = 0; f < faceCount; ++f) {
      const auto face = object.faces[f];
      glBegin(GL_TRIANGLES);
      if (face.size() >= 3) {
        for (int k = 0; k < 3; ++k) glVertex3fv(vertices + 3 * static_cast<std::size_t>(face[static_cast<std::size_t>(k)]));
      }
      glEnd();
    }
    return;
  }
  for (std::size_t f = 0; f < faceCount; ++f) {
    glBegin(GL_POLYGON);
    for (std::int32_t index : object.faces[f]) glVertex3fv(vertices + 3 * static_cast<std::size_t>(index));
    glEnd();
  }
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
