#include "model/appearance_check.h"

#include <cmath>

namespace {

bool allFinite(const std::vector<float>& values) {
  for (float v : values) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

bool inRange(const std::vector<std::int32_t>& indices, std::size_t limit, bool noneAllowed) {
  for (std::int32_t i : indices) {
    if (!(i == -1 && noneAllowed) && !(i >= 0 && static_cast<std::size_t>(i) < limit)) return false;
  }
  return true;
}

template <int W>
bool fits(const SurfaceAttribute<W>& a, const MeshObject& object) {
  if (a.values.size() % W != 0 || !allFinite(a.values)) return false;
  switch (a.binding) {
    case Binding::None: return a.values.empty();
    case Binding::PerVertex: return a.count() == static_cast<std::size_t>(object.numVertices());
    case Binding::PerFace: return a.count() == object.faces.count();
    case Binding::PerCorner:
      return a.corners.size() == object.faces.indices.size() && inRange(a.corners, a.count(), false);
  }
  return false;
}

void note(std::string& dropped, const char* what) {
  if (dropped.find(what) != std::string::npos) return;
  if (!dropped.empty()) dropped += ", ";
  dropped += what;
}

// Lines through a missing vertex, or of fewer than two, go.
bool dropUnfittingLines(MeshObject& object) {
  FaceTable kept;
  const auto limit = static_cast<std::size_t>(object.numVertices());
  bool dropped = false;
  for (std::size_t l = 0; l < object.lines.count(); ++l) {
    const auto line = object.lines[l];
    bool fitting = line.size() >= 2;
    for (std::int32_t v : line) fitting = fitting && v >= 0 && static_cast<std::size_t>(v) < limit;
    if (!fitting) {
      dropped = true;
      continue;
    }
    auto copy = kept.append(line.size());
    std::copy(line.begin(), line.end(), copy.begin());
  }
  if (dropped) object.lines = std::move(kept);
  return dropped;
}

template <typename T>
void keepEntries(std::vector<T>& values, std::size_t width, const std::vector<bool>& kept) {
  std::size_t write = 0;
  for (std::size_t f = 0; f < kept.size(); ++f) {
    if (!kept[f]) continue;
    for (std::size_t k = 0; k < width; ++k) values[write * width + k] = values[f * width + k];
    ++write;
  }
  values.resize(write * width);
}

template <int W>
void keepFacesOf(SurfaceAttribute<W>& a, const MeshObject& object, const std::vector<bool>& kept) {
  if (a.binding == Binding::PerFace) keepEntries(a.values, W, kept);
  if (a.binding != Binding::PerCorner) return;
  std::size_t write = 0;
  for (std::size_t f = 0; f < kept.size(); ++f) {
    const std::size_t begin = object.faces.offsets[f], end = object.faces.offsets[f + 1];
    if (!kept[f]) continue;
    for (std::size_t k = begin; k < end; ++k) a.corners[write++] = a.corners[k];
  }
  a.corners.resize(write);
}

}  // namespace

std::string dropUnfittingAppearance(Model& model) {
  std::string dropped;
  for (Texture& texture : model.textures) {
    if (texture.width <= 0 || texture.height <= 0 ||
        texture.rgba.size() != 4 * static_cast<std::size_t>(texture.width) * static_cast<std::size_t>(texture.height)) {
      texture = Texture{texture.name, 0, 0, {}};
      note(dropped, "textures");
    }
  }
  for (Material& m : model.materials) {
    const bool colorFits = std::isfinite(m.baseColor.r) && std::isfinite(m.baseColor.g) &&
                           std::isfinite(m.baseColor.b) && std::isfinite(m.baseColor.a);
    if (!colorFits) m.baseColor = Rgba{}, note(dropped, "material colours");
    if (m.texture < -1 || m.texture >= static_cast<std::int32_t>(model.textures.size())) {
      m.texture = -1, note(dropped, "textures");
    } else if (m.texture >= 0 && model.textures[static_cast<std::size_t>(m.texture)].rgba.empty()) {
      m.texture = -1;  // dropped above
    }
    if (!std::isfinite(m.alphaCutoff)) m.alphaCutoff = 0.5f;
  }
  const std::size_t materials = model.materials.size();
  for (MeshObject& object : model) {
    if (!fits(object.colors, object)) object.colors.clear(), note(dropped, "colours");
    if (!fits(object.normals, object)) object.normals.clear(), note(dropped, "normals");
    if (!fits(object.texCoords, object)) object.texCoords.clear(), note(dropped, "texture coordinates");
    if (!object.faceMaterials.empty() &&
        (object.faceMaterials.size() != object.faces.count() || !inRange(object.faceMaterials, materials, true))) {
      object.faceMaterials.clear(), note(dropped, "face materials");
    }
    if (object.material < -1 || object.material >= static_cast<std::int32_t>(materials)) {
      object.material = -1, note(dropped, "object materials");
    }
    if (!object.smoothingGroups.empty() && object.smoothingGroups.size() != object.faces.count()) {
      object.smoothingGroups.clear(), note(dropped, "smoothing groups");
    }
    if (dropUnfittingLines(object)) note(dropped, "lines");
  }
  return dropped;
}

void keepFacesOfAppearance(MeshObject& object, const std::vector<bool>& kept) {
  keepFacesOf(object.colors, object, kept);
  keepFacesOf(object.normals, object, kept);
  keepFacesOf(object.texCoords, object, kept);
  if (!object.faceMaterials.empty()) keepEntries(object.faceMaterials, 1, kept);
  if (!object.smoothingGroups.empty()) keepEntries(object.smoothingGroups, 1, kept);
}
