#include "render/concave_fill.h"

#include <GL/glu.h>

#include <array>
#include <cmath>
#include <deque>

namespace {

struct Normal {
  double x = 0, y = 0, z = 0;
};

// Newell's normal: the polygon's area vector, robust for non-planar faces.
Normal faceNormal(const float* vertices, std::span<const std::int32_t> face) {
  Normal n;
  const std::size_t count = face.size();
  for (std::size_t k = 0; k < count; ++k) {
    const float* a = vertices + 3 * static_cast<std::size_t>(face[k]);
    const float* b = vertices + 3 * static_cast<std::size_t>(face[(k + 1) % count]);
    n.x += (static_cast<double>(a[1]) - b[1]) * (static_cast<double>(a[2]) + b[2]);
    n.y += (static_cast<double>(a[2]) - b[2]) * (static_cast<double>(a[0]) + b[0]);
    n.z += (static_cast<double>(a[0]) - b[0]) * (static_cast<double>(a[1]) + b[1]);
  }
  return n;
}

int sign(double value) { return (value > 0) - (value < 0); }

// Counts the sign changes of a cyclic sequence, zeros left out.
struct SignChanges {
  int first = 0, last = 0, changes = 0;
  void add(int s) {
    if (s == 0) return;
    if (first == 0) first = s;
    else if (s != last) ++changes;
    last = s;
  }
  int total() const { return changes + (first != 0 && last != first ? 1 : 0); }
};

}  // namespace

bool isConvexFace(const float* vertices, std::span<const std::int32_t> face) {
  const std::size_t count = face.size();
  if (count <= 3) return true;
  const Normal n = faceNormal(vertices, face);
  // Project onto the plane across the normal's largest component.
  int u = 0, v = 1;
  double facing = n.z;
  if (std::fabs(n.x) >= std::fabs(n.y) && std::fabs(n.x) >= std::fabs(n.z)) {
    u = 1, v = 2, facing = n.x;
  } else if (std::fabs(n.y) >= std::fabs(n.z)) {
    u = 2, v = 0, facing = n.y;
  }
  if (facing == 0) return true;  // all corners on one line: nothing to fill
  const int turn = sign(facing);
  SignChanges du, dv;
  for (std::size_t k = 0; k < count; ++k) {
    const float* a = vertices + 3 * static_cast<std::size_t>(face[k]);
    const float* b = vertices + 3 * static_cast<std::size_t>(face[(k + 1) % count]);
    const float* c = vertices + 3 * static_cast<std::size_t>(face[(k + 2) % count]);
    const double e1u = static_cast<double>(b[u]) - a[u], e1v = static_cast<double>(b[v]) - a[v];
    const double e2u = static_cast<double>(c[u]) - b[u], e2v = static_cast<double>(c[v]) - b[v];
    if (sign(e1u * e2v - e1v * e2u) == -turn) return false;
    du.add(sign(e1u));
    dv.add(sign(e1v));
  }
  // Turning one way only but round more than once (a star drawn in one
  // stroke) changes direction more than twice along an axis.
  return du.total() <= 2 && dv.total() <= 2;
}

namespace {

// What the tessellator's callbacks write into.
struct Tessellation {
  std::vector<float>* out = nullptr;
  std::deque<std::array<GLdouble, 3>> added;  // corners made where edges cross
  bool failed = false;
};

void GLAPIENTRY onVertex(void* vertex, void* data) {
  const auto* p = static_cast<const GLdouble*>(vertex);
  auto* t = static_cast<Tessellation*>(data);
  for (int k = 0; k < 3; ++k) t->out->push_back(static_cast<float>(p[k]));
}

void GLAPIENTRY onCombine(GLdouble coords[3], void* /*neighbours*/[4], GLfloat /*weights*/[4],
                          void** result, void* data) {
  auto* t = static_cast<Tessellation*>(data);
  t->added.push_back({coords[0], coords[1], coords[2]});
  *result = t->added.back().data();
}

void GLAPIENTRY onError(GLenum /*error*/, void* data) { static_cast<Tessellation*>(data)->failed = true; }

// Registering an edge-flag callback makes GLU hand out plain triangles only.
void GLAPIENTRY onEdgeFlag(GLboolean /*flag*/, void* /*data*/) {}

using TessCallback = void(GLAPIENTRY*)();

}  // namespace

ConcaveFill makeConcaveFill(const MeshObject& object) {
  ConcaveFill fill;
  const float* vertices = object.vertices.data();
  GLUtesselator* tess = nullptr;
  std::vector<std::array<GLdouble, 3>> corners;
  for (std::size_t f = 0; f < object.faces.count(); ++f) {
    const auto face = object.faces[f];
    if (isConvexFace(vertices, face)) continue;
    if (tess == nullptr) {
      tess = gluNewTess();
      if (tess == nullptr) break;
      gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<TessCallback>(onVertex));
      gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<TessCallback>(onCombine));
      gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<TessCallback>(onError));
      gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<TessCallback>(onEdgeFlag));
      gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
    }
    const Normal n = faceNormal(vertices, face);
    gluTessNormal(tess, n.x, n.y, n.z);
    // The tessellator keeps pointers to the corners until the polygon ends.
    corners.resize(face.size());
    for (std::size_t k = 0; k < face.size(); ++k) {
      const float* p = vertices + 3 * static_cast<std::size_t>(face[k]);
      corners[k] = {p[0], p[1], p[2]};
    }
    const std::size_t before = fill.triangles.size();
    Tessellation t;
    t.out = &fill.triangles;
    gluTessBeginPolygon(tess, &t);
    gluTessBeginContour(tess);
    for (auto& corner : corners) gluTessVertex(tess, corner.data(), corner.data());
    gluTessEndContour(tess);
    gluTessEndPolygon(tess);
    // A face the tessellator could not split is drawn as before.
    if (t.failed || (fill.triangles.size() - before) % 9 != 0) {
      fill.triangles.resize(before);
      continue;
    }
    fill.faces.push_back(static_cast<std::uint32_t>(f));
    fill.starts.push_back(static_cast<std::uint32_t>(fill.triangles.size()));
  }
  if (tess != nullptr) gluDeleteTess(tess);
  return fill;
}
