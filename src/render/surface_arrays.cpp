#include "render/surface_arrays.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "render/smooth_normals.h"

namespace {

// Hard edges stay hard: faces meeting at a sharper angle than this do not
// share their normals.
constexpr float kCreaseDegrees = 60.0f;

template <int W>
const float* valueAt(const SurfaceAttribute<W>& a, std::uint32_t face, std::uint32_t slot, std::int32_t vertex) {
  switch (a.binding) {
    case Binding::PerVertex: return &a.values[W * static_cast<std::size_t>(vertex)];
    case Binding::PerFace: return &a.values[W * static_cast<std::size_t>(face)];
    case Binding::PerCorner: return &a.values[W * static_cast<std::size_t>(a.corners[slot])];
    case Binding::None: break;
  }
  return nullptr;
}

template <int W>
bool perVertexOrNone(const SurfaceAttribute<W>& a) {
  return a.binding == Binding::None || a.binding == Binding::PerVertex;
}

std::uint8_t toByte(float value) { return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f)); }

std::int32_t materialOf(const MeshObject& object, std::size_t face) {
  return object.faceMaterials.empty() ? object.material : object.faceMaterials[face];
}

const Material* materialAt(const Model& model, std::int32_t material) {
  return material >= 0 ? &model.materials[static_cast<std::size_t>(material)] : nullptr;
}

// Calls triangle(face, slots, positions) for every triangle the filled passes
// draw, in their order. A corner a concave split made takes the slot of the
// face corner at its place, else the face's first.
template <typename Triangle>
void forEachTriangle(const MeshObject& object, const ObjectArrays& fill, bool trianglesOnly, Triangle&& triangle) {
  const FaceTable& faces = object.faces;
  const float* v = object.vertices.data();
  const auto at = [v](std::int32_t vertex) { return v + 3 * static_cast<std::size_t>(vertex); };
  std::size_t nextSplit = 0;
  for (std::size_t f = 0; f < faces.count(); ++f) {
    const auto face = faces[f];
    const auto base = faces.offsets[f];
    const auto face32 = static_cast<std::uint32_t>(f);
    if (nextSplit < fill.concave.faces.size() && fill.concave.faces[nextSplit] == f) {
      const auto split = fill.concave.trianglesOf(nextSplit++);
      for (std::size_t k = 0; k + 8 < split.size(); k += 9) {
        std::uint32_t slots[3];
        const float* positions[3];
        for (int c = 0; c < 3; ++c) {
          positions[c] = &split[k + 3 * static_cast<std::size_t>(c)];
          slots[c] = base;
          for (std::size_t j = 0; j < face.size(); ++j) {
            if (std::memcmp(at(face[j]), positions[c], 3 * sizeof(float)) == 0) {
              slots[c] = base + static_cast<std::uint32_t>(j);
              break;
            }
          }
        }
        triangle(face32, slots, positions, true);
      }
      continue;
    }
    if (face.size() < 3) continue;
    const std::size_t corners = trianglesOnly ? 3 : face.size();
    if (trianglesOnly) {
      const std::uint32_t slots[3] = {base, base + 1, base + 2};
      const float* positions[3] = {at(face[0]), at(face[1]), at(face[2])};
      triangle(face32, slots, positions, false);
      continue;
    }
    // GL's own polygon order (k, k + 1, 0), as the plain filled pass draws it.
    for (std::uint32_t k = 1; k + 1 < corners; ++k) {
      const std::uint32_t slots[3] = {base + k, base + k + 1, base};
      const float* positions[3] = {at(face[k]), at(face[k + 1]), at(face[0])};
      triangle(face32, slots, positions, false);
    }
  }
}

void flatNormal(const float* const p[3], float n[3]) {
  const float* a = p[0];
  const float* b = p[1];
  const float* c = p[2];
  n[0] = (b[1] - a[1]) * (c[2] - a[2]) - (b[2] - a[2]) * (c[1] - a[1]);
  n[1] = (b[2] - a[2]) * (c[0] - a[0]) - (b[0] - a[0]) * (c[2] - a[2]);
  n[2] = (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
  const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  if (length > 0.0f && std::isfinite(length)) {
    for (int k = 0; k < 3; ++k) n[k] /= length;
  } else {
    n[0] = n[1] = 0.0f, n[2] = 1.0f;  // no area, no direction: it faces the eye's way
  }
}

// What the object's faces use of the model's materials.
struct MaterialUse {
  bool anyTexture = false;
  bool anyTinted = false;  // a base colour other than white
};

MaterialUse materialUse(const MeshObject& object, const Model& model) {
  MaterialUse use;
  std::vector<bool> seen(model.materials.size() + 1, false);
  const auto look = [&](std::int32_t material) {
    if (seen[static_cast<std::size_t>(material + 1)]) return;
    seen[static_cast<std::size_t>(material + 1)] = true;
    const Material* m = materialAt(model, material);
    if (m == nullptr) return;
    use.anyTexture = use.anyTexture || m->texture >= 0;
    const Rgba& c = m->baseColor;
    use.anyTinted = use.anyTinted || c.r != 1.0f || c.g != 1.0f || c.b != 1.0f || c.a != 1.0f;
  };
  look(object.material);
  for (std::int32_t material : object.faceMaterials) look(material);
  return use;
}

void normalised(const float* n, float out[3]) {
  const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  const float scale = length > 0.0f && std::isfinite(length) ? 1.0f / length : 0.0f;
  for (int k = 0; k < 3; ++k) out[k] = n[k] * scale;
  if (scale == 0.0f) out[2] = 1.0f;
}

}  // namespace

bool blends(const Model& model, std::int32_t material) {
  const Material* m = materialAt(model, material);
  return m != nullptr && m->alphaMode == AlphaMode::Blend;
}

bool hasAppearance(const MeshObject& object, const Model& model) {
  if (object.colors.present() || object.material >= 0) return true;
  return std::any_of(object.faceMaterials.begin(), object.faceMaterials.end(), [](std::int32_t m) { return m >= 0; }) ||
         (object.texCoords.present() && materialUse(object, model).anyTexture);
}

SurfaceArrays makeSurfaceArrays(const MeshObject& object, const Model& model, const ObjectArrays& fill,
                                SurfaceChoice choice, std::shared_ptr<const SmoothingPlan>* plan) {
  const MaterialUse use = choice.appearance ? materialUse(object, model) : MaterialUse{};
  const bool colored = choice.appearance && object.colors.present();
  const bool mapped = object.texCoords.present() && use.anyTexture;
  const auto materialFor = [&](std::size_t face) { return choice.appearance ? materialOf(object, face) : -1; };
  const bool fileNormals = choice.smooth && object.normals.present();
  std::vector<float> computed;
  if (choice.lit && choice.smooth && !fileNormals) {
    if (plan == nullptr) {
      computed = smoothCornerNormals(object, kCreaseDegrees);
    } else {
      if (*plan == nullptr || (*plan)->shareOf.size() != object.faces.indices.size()) {
        *plan = std::make_shared<const SmoothingPlan>(smoothingPlan(object, kCreaseDegrees));
      }
      computed = smoothCornerNormals(object, **plan);
    }
  }
  // One entry per vertex only where every value in use belongs to a vertex,
  // and no material tints the vertex colours (vertices may sit between faces
  // of different materials).
  const bool perVertex = perVertexOrNone(object.colors) && (!mapped || perVertexOrNone(object.texCoords)) &&
                         (!choice.lit || (fileNormals && perVertexOrNone(object.normals))) &&
                         !(colored && use.anyTinted);

  SurfaceArrays arrays;
  const auto add = [&](std::uint32_t face, std::uint32_t slot, const float* position, const float* flat) {
    const std::int32_t vertex = object.faces.indices[slot];
    arrays.positions.insert(arrays.positions.end(), position, position + 3);
    if (colored) {
      const float* c = valueAt(object.colors, face, slot, vertex);
      const Material* m = materialAt(model, materialFor(face));
      const Rgba tint = m != nullptr ? m->baseColor : Rgba{};
      arrays.colors.insert(arrays.colors.end(),
                           {toByte(c[0] * tint.r), toByte(c[1] * tint.g), toByte(c[2] * tint.b), toByte(c[3] * tint.a)});
    }
    if (mapped) {
      const float* t = valueAt(object.texCoords, face, slot, vertex);
      arrays.texCoords.insert(arrays.texCoords.end(), t, t + 2);
    }
    if (choice.lit) {
      float n[3];
      if (fileNormals) {
        normalised(valueAt(object.normals, face, slot, vertex), n);
      } else if (!computed.empty()) {
        std::copy_n(&computed[3 * static_cast<std::size_t>(slot)], 3, n);
      } else {
        std::copy_n(flat, 3, n);
      }
      arrays.normals.insert(arrays.normals.end(), n, n + 3);
    }
  };

  std::vector<std::vector<std::uint32_t>> byMaterial(model.materials.size() + 1);
  std::uint32_t entries = 0;
  if (!perVertex) {
    // An entry a drawn corner: about as many as the face table's.
    const std::size_t corners = object.faces.indices.size();
    arrays.positions.reserve(3 * corners);
    if (colored) arrays.colors.reserve(4 * corners);
    if (mapped) arrays.texCoords.reserve(2 * corners);
    if (choice.lit) arrays.normals.reserve(3 * corners);
  }
  if (perVertex) {
    // The vertex table itself, each vertex's values beside it: a vertex not
    // on any face takes its values too, through a face slot of its own.
    const auto count = static_cast<std::size_t>(object.numVertices());
    arrays.positions = object.vertices;
    if (colored) {
      arrays.colors.resize(4 * count);
      for (std::size_t i = 0; i < 4 * count; ++i) arrays.colors[i] = toByte(object.colors.values[i]);
    }
    if (mapped) arrays.texCoords = object.texCoords.values;
    if (choice.lit) {
      arrays.normals.resize(3 * count);
      for (std::size_t i = 0; i < count; ++i) normalised(&object.normals.values[3 * i], &arrays.normals[3 * i]);
    }
    entries = static_cast<std::uint32_t>(count);
  }
  forEachTriangle(object, fill, choice.trianglesOnly,
                  [&](std::uint32_t face, const std::uint32_t* slots, const float* const* positions, bool split) {
                    std::vector<std::uint32_t>& batch = byMaterial[static_cast<std::size_t>(materialFor(face) + 1)];
                    float flat[3] = {0, 0, 1};
                    if (choice.lit && !fileNormals && computed.empty()) flatNormal(positions, flat);
                    for (int c = 0; c < 3; ++c) {
                      if (perVertex && !split) {
                        batch.push_back(static_cast<std::uint32_t>(object.faces.indices[slots[c]]));
                        continue;
                      }
                      add(face, slots[c], positions[c], flat);
                      batch.push_back(entries++);
                    }
                  });
  for (int pass = 0; pass < 2; ++pass) {
    for (std::size_t k = 0; k < byMaterial.size(); ++k) {
      const auto material = static_cast<std::int32_t>(k) - 1;
      if (byMaterial[k].empty() || blends(model, material) != (pass == 1)) continue;
      arrays.batches.push_back({material, std::move(byMaterial[k])});
    }
  }
  return arrays;
}
