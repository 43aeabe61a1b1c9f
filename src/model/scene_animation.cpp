#include "model/scene_animation.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using Matrix = std::array<float, 16>;  // column major
constexpr Matrix kIdentity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

Matrix multiply(const Matrix& a, const Matrix& b) {
  Matrix c{};
  for (int col = 0; col < 4; ++col) {
    for (int row = 0; row < 4; ++row) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += a[static_cast<std::size_t>(k * 4 + row)] * b[static_cast<std::size_t>(col * 4 + k)];
      c[static_cast<std::size_t>(col * 4 + row)] = sum;
    }
  }
  return c;
}

Matrix composed(const float t[3], const float q[4], const float s[3]) {
  const float x = q[0], y = q[1], z = q[2], w = q[3];
  Matrix m = {1 - 2 * (y * y + z * z), 2 * (x * y + z * w),     2 * (x * z - y * w),     0,
              2 * (x * y - z * w),     1 - 2 * (x * x + z * z), 2 * (y * z + x * w),     0,
              2 * (x * z + y * w),     2 * (y * z - x * w),     1 - 2 * (x * x + y * y), 0,
              t[0],                    t[1],                    t[2],                    1};
  for (std::size_t col = 0; col < 3; ++col) {
    for (std::size_t row = 0; row < 3; ++row) m[col * 4 + row] *= s[col];
  }
  return m;
}

void normalise(float* q) {
  const float length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
  if (length > 0.0f && std::isfinite(length)) {
    for (int k = 0; k < 4; ++k) q[k] /= length;
  } else {
    q[0] = q[1] = q[2] = 0.0f, q[3] = 1.0f;
  }
}

// Spherical interpolation of unit quaternions, the shorter way round.
void slerp(const float* a, const float* b, float t, float* out) {
  float d = a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
  float sign = 1.0f;
  if (d < 0.0f) d = -d, sign = -1.0f;
  float wa = 1.0f - t, wb = t;
  if (d < 0.9995f) {
    const float angle = std::acos(d), s = std::sin(angle);
    wa = std::sin((1.0f - t) * angle) / s;
    wb = std::sin(t * angle) / s;
  }
  for (int k = 0; k < 4; ++k) out[k] = wa * a[k] + sign * wb * b[k];
  normalise(out);
}

// Each node's own transform with the channels applied; weights aside.
struct Local {
  float t[3], r[4], s[3];
  bool matrix;
};

void applyChannels(const NodeAnimation& animation, float seconds, std::vector<Local>& locals) {
  for (const AnimationChannel& c : animation.channels) {
    if (c.node < 0 || static_cast<std::size_t>(c.node) >= locals.size() || c.path == ChannelPath::Weights) continue;
    Local& l = locals[static_cast<std::size_t>(c.node)];
    l.matrix = false;  // an animated node goes by its parts
    float* into = c.path == ChannelPath::Translation ? l.t : c.path == ChannelPath::Rotation ? l.r : l.s;
    sampleChannel(c, seconds, into);
    if (c.path == ChannelPath::Rotation) normalise(into);
  }
}

}  // namespace

void sampleChannel(const AnimationChannel& c, float seconds, float* out) {
  const std::size_t keys = c.times.size(), w = c.width;
  if (keys == 0 || w == 0) return;
  const bool cubic = c.interpolation == Interpolation::CubicSpline;
  const std::size_t stride = cubic ? 3 * w : w;  // a key's values
  if (c.values.size() < keys * stride) return;
  const auto value = [&](std::size_t key) { return &c.values[key * stride + (cubic ? w : 0)]; };
  if (keys == 1 || !(seconds > c.times.front())) {
    std::copy_n(value(0), w, out);
    return;
  }
  if (seconds >= c.times.back()) {
    std::copy_n(value(keys - 1), w, out);
    return;
  }
  const std::size_t next = static_cast<std::size_t>(std::upper_bound(c.times.begin(), c.times.end(), seconds) - c.times.begin());
  const std::size_t k = next - 1;
  const float span = c.times[next] - c.times[k];
  const float t = span > 0.0f ? (seconds - c.times[k]) / span : 0.0f;
  if (c.interpolation == Interpolation::Step) {
    std::copy_n(value(k), w, out);
    return;
  }
  if (cubic) {
    // Hermite: p0 and p1 the values, m0 the first key's out-tangent and m1
    // the second's in-tangent, both scaled by the time between the keys.
    const float t2 = t * t, t3 = t2 * t;
    const float* p0 = value(k);
    const float* m0 = &c.values[k * stride + 2 * w];
    const float* m1 = &c.values[next * stride];
    const float* p1 = value(next);
    for (std::size_t i = 0; i < w; ++i) {
      out[i] = (2 * t3 - 3 * t2 + 1) * p0[i] + (t3 - 2 * t2 + t) * span * m0[i] + (-2 * t3 + 3 * t2) * p1[i] +
               (t3 - t2) * span * m1[i];
    }
    if (c.path == ChannelPath::Rotation) normalise(out);
    return;
  }
  if (c.path == ChannelPath::Rotation && w == 4) {
    slerp(value(k), value(next), t, out);
    return;
  }
  for (std::size_t i = 0; i < w; ++i) out[i] = value(k)[i] + (value(next)[i] - value(k)[i]) * t;
}

std::vector<float> nodeTransforms(const SceneAnimation& scene, int which, float seconds) {
  const std::size_t n = scene.nodes.size();
  std::vector<Local> locals(n);
  for (std::size_t i = 0; i < n; ++i) {
    const SceneNode& node = scene.nodes[i];
    Local& l = locals[i];
    std::copy_n(node.translation, 3, l.t);
    std::copy_n(node.rotation, 4, l.r);
    std::copy_n(node.scale, 3, l.s);
    l.matrix = node.hasMatrix;
  }
  for (std::size_t a = 0; a < scene.animations.size(); ++a) {
    if (which < 0 || static_cast<std::size_t>(which) == a) applyChannels(scene.animations[a], seconds, locals);
  }
  // Parents come before their children in no given order: each node's
  // world transform is made once, its parents' first.
  std::vector<Matrix> world(n);
  std::vector<char> made(n, 0);
  std::vector<std::size_t> chain;
  for (std::size_t i = 0; i < n; ++i) {
    chain.clear();
    for (std::size_t at = i; !made[at]; ) {
      chain.push_back(at);
      const int parent = scene.nodes[at].parent;
      if (parent < 0 || static_cast<std::size_t>(parent) >= n || chain.size() > n) break;
      at = static_cast<std::size_t>(parent);
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      const std::size_t at = *it;
      if (made[at]) continue;
      const Local& l = locals[at];
      Matrix local;
      if (l.matrix) {
        std::copy_n(scene.nodes[at].matrix, 16, local.begin());
      } else {
        local = composed(l.t, l.r, l.s);
      }
      const int parent = scene.nodes[at].parent;
      const bool hasParent = parent >= 0 && static_cast<std::size_t>(parent) < n && made[static_cast<std::size_t>(parent)];
      world[at] = hasParent ? multiply(world[static_cast<std::size_t>(parent)], local) : local;
      made[at] = 1;
    }
  }
  std::vector<float> out(16 * n);
  for (std::size_t i = 0; i < n; ++i) std::copy(world[i].begin(), world[i].end(), out.begin() + static_cast<std::ptrdiff_t>(16 * i));
  return out;
}

std::vector<std::vector<float>> nodeWeights(const SceneAnimation& scene, int which, float seconds) {
  std::vector<std::vector<float>> weights(scene.nodes.size());
  for (std::size_t i = 0; i < scene.nodes.size(); ++i) weights[i] = scene.nodes[i].weights;
  for (std::size_t a = 0; a < scene.animations.size(); ++a) {
    if (which >= 0 && static_cast<std::size_t>(which) != a) continue;
    for (const AnimationChannel& c : scene.animations[a].channels) {
      if (c.path != ChannelPath::Weights || c.node < 0 || static_cast<std::size_t>(c.node) >= weights.size()) continue;
      std::vector<float>& w = weights[static_cast<std::size_t>(c.node)];
      w.assign(c.width, 0.0f);
      sampleChannel(c, seconds, w.data());
    }
  }
  return weights;
}

void poseObject(const SceneAnimation& scene, const AnimatedObject& o, const std::vector<float>& transforms,
                const std::vector<float>& weights, std::vector<float>& positions, std::vector<float>& normals) {
  const std::size_t count = o.positions.size() / 3;
  positions = o.positions;
  // Morph targets first, in the mesh's own space.
  for (std::size_t t = 0; t < o.morphTargets.size() && t < weights.size(); ++t) {
    const float w = weights[t];
    if (w == 0.0f || o.morphTargets[t].size() != positions.size()) continue;
    for (std::size_t i = 0; i < positions.size(); ++i) positions[i] += w * o.morphTargets[t][i];
  }
  normals = o.normals;
  const auto place = [&](const float* m, std::size_t v) {
    float* p = &positions[3 * v];
    const float x = p[0], y = p[1], z = p[2];
    for (int r = 0; r < 3; ++r) p[r] = m[r] * x + m[4 + r] * y + m[8 + r] * z + m[12 + r];
    if (normals.size() == positions.size()) {
      float* n = &normals[3 * v];
      const float a = n[0], b = n[1], c = n[2];
      for (int r = 0; r < 3; ++r) n[r] = m[r] * a + m[4 + r] * b + m[8 + r] * c;
      const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
      if (length > 0.0f) n[0] /= length, n[1] /= length, n[2] /= length;
    }
  };
  const bool skinned = o.skin >= 0 && static_cast<std::size_t>(o.skin) < scene.skins.size() &&
                       o.joints.size() == 4 * count && o.jointWeights.size() == 4 * count;
  if (!skinned) {
    if (o.node < 0 || 16 * static_cast<std::size_t>(o.node) >= transforms.size()) return;
    const float* m = &transforms[16 * static_cast<std::size_t>(o.node)];
    for (std::size_t v = 0; v < count; ++v) place(m, v);
    return;
  }
  // Each joint's matrix: its world transform after its inverse bind matrix.
  const SceneSkin& skin = scene.skins[static_cast<std::size_t>(o.skin)];
  std::vector<Matrix> jointMatrices(skin.joints.size(), kIdentity);
  for (std::size_t j = 0; j < skin.joints.size(); ++j) {
    const int node = skin.joints[j];
    if (node < 0 || 16 * static_cast<std::size_t>(node) >= transforms.size()) continue;
    Matrix world, inverse = kIdentity;
    std::copy_n(&transforms[16 * static_cast<std::size_t>(node)], 16, world.begin());
    if (skin.inverseBind.size() >= 16 * (j + 1)) std::copy_n(&skin.inverseBind[16 * j], 16, inverse.begin());
    jointMatrices[j] = multiply(world, inverse);
  }
  for (std::size_t v = 0; v < count; ++v) {
    Matrix blended{};
    float total = 0.0f;
    for (std::size_t k = 0; k < 4; ++k) {
      const float w = o.jointWeights[4 * v + k];
      const std::size_t j = o.joints[4 * v + k];
      if (w == 0.0f || j >= jointMatrices.size()) continue;
      for (std::size_t e = 0; e < 16; ++e) blended[e] += w * jointMatrices[j][e];
      total += w;
    }
    if (!(total > 0.0f)) continue;  // bound to no joint: it stays in place
    place(blended.data(), v);
  }
}
