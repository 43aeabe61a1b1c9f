// 3D Studio: a tree of chunks (id word, length dword counting its own
// 6-byte header, body). The walk follows main -> editor -> named object ->
// triangle mesh -> vertex list / mapping coordinates / face list (with its
// material groups and smoothing groups), and editor -> material (name,
// diffuse colour, transparency, texture map name); it reads past
// everything else.
#include <string>
#include <string_view>
#include <vector>

#include "formats/binary_file.h"
#include "formats/readers.h"
#include "formats/texture_files.h"

namespace {

constexpr std::uint16_t kEditor = 0x3D3D, kNamedObject = 0x4000;
constexpr std::uint16_t kTriangleMesh = 0x4100, kVertexList = 0x4110, kFaceList = 0x4120;
constexpr std::uint16_t kMappingCoordinates = 0x4140, kFaceMaterial = 0x4130, kSmoothingGroups = 0x4150;
constexpr std::uint16_t kMaterial = 0xAFFF, kMaterialName = 0xA000, kDiffuse = 0xA020, kTransparency = 0xA050;
constexpr std::uint16_t kTextureMap = 0xA200, kMapFileName = 0xA300;
constexpr std::uint16_t kColorFloat = 0x0010, kColor24 = 0x0011, kLinearColor24 = 0x0012, kLinearColorFloat = 0x0013;
constexpr std::uint16_t kPercentInt = 0x0030, kPercentFloat = 0x0031;

// What the file says of its materials and which faces use them: names are
// matched once the whole file is read, since either may come first.
struct MaterialNames {
  struct Defined {
    std::string name;
    Rgba color;
    std::string textureFile;
  };
  struct Use {
    std::size_t object;
    std::string name;
    std::vector<std::uint16_t> faces;
  };
  std::vector<Defined> defined;
  std::vector<Use> uses;
};

// A zero-ended name within [at, end); false when it does not end there.
bool readName(ByteCursor& in, std::size_t at, std::size_t end, std::string& name, std::size_t& after) {
  if (!in.seek(at)) return false;
  name.clear();
  for (; at < end; ++at) {
    const char c = static_cast<char>(in.u8());
    if (c == 0) {
      after = at + 1;
      return !in.damaged();
    }
    name += c;
  }
  return false;
}

struct Chunk {
  std::uint16_t id;
  std::size_t body;  // first byte after the header
  std::size_t end;   // first byte after the chunk
};

// Calls visit(chunk) for each child in [begin, end). False on a header that
// does not fit, a length below 6 (it could not advance) or a child that runs
// past its parent.
template <typename Visit>
bool walkChildren(ByteCursor& in, std::size_t begin, std::size_t end, Visit&& visit) {
  for (std::size_t at = begin; at < end;) {
    if (end - at < 6 || !in.seek(at)) return false;
    const std::uint16_t id = in.u16le();
    const std::uint32_t length = in.u32le();
    if (length < 6 || length > end - at) return false;
    if (!visit(Chunk{id, at + 6, at + length})) return false;
    at += length;
  }
  return true;
}

// Appearance never costs the geometry: a material, mapping or face group
// that does not fit its chunk is left out (with a line), and the walk goes on.
void leaveOut(const char* path, const char* what) {
  debugMessage("File, %s, has a damaged %s; it was left out.\n", path, what);
}

bool readVertices(ByteCursor& in, const Chunk& chunk, MeshObject& object) {
  const std::uint16_t count = in.u16le();
  if (in.tell() + 12u * count > chunk.end) return false;
  object.vertices.resize(3 * static_cast<std::size_t>(count));
  for (float& coordinate : object.vertices) coordinate = in.f32le();
  return !in.damaged();
}

bool readFaces(ByteCursor& in, const Chunk& chunk, MeshObject& object) {
  const std::uint16_t count = in.u16le();
  if (in.tell() + 8u * count > chunk.end) return false;
  object.faces.clear();
  object.faces.indices.reserve(3 * static_cast<std::size_t>(count));
  object.faces.offsets.reserve(static_cast<std::size_t>(count) + 1);
  for (std::size_t f = 0; f < count; ++f) {
    std::span<std::int32_t> face = object.faces.append(3);
    face[0] = in.u16le();
    face[1] = in.u16le();
    face[2] = in.u16le();
    in.u16le();  // flags
  }
  // Material and smoothing groups after the faces are read past by the
  // chunk's length.
  return !in.damaged();
}

void readMappingCoordinates(ByteCursor& in, const Chunk& chunk, MeshObject& object, const char* path) {
  if (chunk.end - chunk.body < 2) return leaveOut(path, "mapping");
  const std::uint16_t count = in.u16le();
  if (in.tell() + 8u * count > chunk.end) return leaveOut(path, "mapping");
  object.texCoords.binding = Binding::PerVertex;
  object.texCoords.values.resize(2 * static_cast<std::size_t>(count));
  for (float& value : object.texCoords.values) value = in.f32le();
}

// The face list's own children, after its faces: which faces take which
// material, and the smoothing groups.
void readFaceChildren(ByteCursor& in, const Chunk& list, std::size_t objectIndex, MeshObject& object,
                      MaterialNames& materials, const char* path) {
  const std::size_t facesEnd = list.body + 2 + 8 * object.faces.count();
  const std::size_t usesBefore = materials.uses.size();
  const bool ok = walkChildren(in, facesEnd, list.end, [&](const Chunk& chunk) {
    if (chunk.id == kFaceMaterial) {
      MaterialNames::Use use{objectIndex, {}, {}};
      std::size_t at = 0;
      if (!readName(in, chunk.body, chunk.end, use.name, at) || at + 2 > chunk.end || !in.seek(at)) return false;
      const std::uint16_t count = in.u16le();
      if (in.tell() + 2u * count > chunk.end) return false;
      use.faces.resize(count);
      for (std::uint16_t& face : use.faces) face = in.u16le();
      materials.uses.push_back(std::move(use));
      return !in.damaged();
    }
    if (chunk.id == kSmoothingGroups) {
      if (!in.seek(chunk.body) || chunk.body + 4 * object.faces.count() > chunk.end) return false;
      object.smoothingGroups.resize(object.faces.count());
      for (std::uint32_t& group : object.smoothingGroups) group = in.u32le();
      return !in.damaged();
    }
    return true;
  });
  if (!ok) {
    materials.uses.resize(usesBefore);
    object.smoothingGroups.clear();
    leaveOut(path, "face material or smoothing list");
  }
}

bool readTriangleMesh(ByteCursor& in, const Chunk& mesh, Model& model, MaterialNames& materials, const char* path) {
  MeshObject object;
  const bool read = walkChildren(in, mesh.body, mesh.end, [&](const Chunk& chunk) {
    if (!in.seek(chunk.body)) return false;
    if (chunk.id == kVertexList) return readVertices(in, chunk, object);
    if (chunk.id == kMappingCoordinates) readMappingCoordinates(in, chunk, object, path);
    if (chunk.id == kFaceList) {
      if (!readFaces(in, chunk, object)) return false;
      readFaceChildren(in, chunk, model.size(), object, materials, path);
    }
    return true;  // local axes (not applied) and anything else
  });
  // An empty mesh is not kept at all, so that a file of them cannot claim
  // memory far beyond its size.
  if (read && (!object.vertices.empty() || object.faces.count() > 0)) model.push_back(std::move(object));
  return read;
}

bool readNamedObject(ByteCursor& in, const Chunk& named, Model& model, MaterialNames& materials, const char* path) {
  // The name runs to its zero byte, whatever its length.
  if (!in.seek(named.body)) return false;
  std::size_t at = named.body;
  while (at < named.end && in.u8() != 0) ++at;
  if (at >= named.end) return false;
  return walkChildren(in, at + 1, named.end, [&](const Chunk& chunk) {
    return chunk.id != kTriangleMesh || readTriangleMesh(in, chunk, model, materials, path);
  });
}

// A colour chunk's RGB: floats or bytes, the gamma-corrected forms alike.
bool readColor(ByteCursor& in, const Chunk& parent, Rgba& color) {
  bool found = false;
  return walkChildren(in, parent.body, parent.end, [&](const Chunk& chunk) {
    if (found) return true;
    if (!in.seek(chunk.body)) return false;
    if ((chunk.id == kColorFloat || chunk.id == kLinearColorFloat) && chunk.end - chunk.body >= 12) {
      color.r = in.f32le(), color.g = in.f32le(), color.b = in.f32le();
      found = true;
    } else if ((chunk.id == kColor24 || chunk.id == kLinearColor24) && chunk.end - chunk.body >= 3) {
      color.r = in.u8() / 255.0f, color.g = in.u8() / 255.0f, color.b = in.u8() / 255.0f;
      found = true;
    }
    return !in.damaged();
  });
}

// A percentage chunk's value as a fraction.
bool readPercent(ByteCursor& in, const Chunk& parent, float& fraction) {
  return walkChildren(in, parent.body, parent.end, [&](const Chunk& chunk) {
    if (!in.seek(chunk.body)) return false;
    if (chunk.id == kPercentInt && chunk.end - chunk.body >= 2) fraction = static_cast<std::int16_t>(in.u16le()) / 100.0f;
    if (chunk.id == kPercentFloat && chunk.end - chunk.body >= 4) fraction = in.f32le() / 100.0f;
    return !in.damaged();
  });
}

void readMaterial(ByteCursor& in, const Chunk& block, MaterialNames& materials, const char* path) {
  MaterialNames::Defined material;
  float transparency = 0.0f;
  const bool ok = walkChildren(in, block.body, block.end, [&](const Chunk& chunk) {
    std::size_t after = 0;
    if (chunk.id == kMaterialName) return readName(in, chunk.body, chunk.end, material.name, after);
    if (chunk.id == kDiffuse) return readColor(in, chunk, material.color);
    if (chunk.id == kTransparency) return readPercent(in, chunk, transparency);
    if (chunk.id == kTextureMap) {
      return walkChildren(in, chunk.body, chunk.end, [&](const Chunk& map) {
        return map.id != kMapFileName || readName(in, map.body, map.end, material.textureFile, after);
      });
    }
    return true;
  });
  if (!ok) leaveOut(path, "material");
  material.color.a = 1.0f - std::min(std::max(transparency, 0.0f), 1.0f);
  materials.defined.push_back(std::move(material));
}

// Gives the faces their materials by name; a name no material has leaves
// its faces plain.
void applyMaterials(Model& model, const MaterialNames& names, const char* path) {
  if (names.uses.empty()) return;
  for (const MaterialNames::Defined& d : names.defined) {
    Material m{d.name, d.color};
    if (d.color.a < 1.0f) m.alphaMode = AlphaMode::Blend;
    if (!d.textureFile.empty()) m.texture = addTextureFile(model, path, d.textureFile);
    model.materials.push_back(std::move(m));
  }
  for (const MaterialNames::Use& use : names.uses) {
    if (use.object >= model.size()) continue;
    MeshObject& object = model[use.object];
    std::int32_t material = -1;
    for (std::size_t k = 0; k < names.defined.size(); ++k) {
      if (names.defined[k].name == use.name) material = static_cast<std::int32_t>(k);
    }
    object.faceMaterials.resize(object.faces.count(), -1);
    for (std::uint16_t face : use.faces) {
      if (face < object.faceMaterials.size()) object.faceMaterials[face] = material;
    }
  }
}

}  // namespace

ReadResult read3dsFile(const char* name) {
  std::vector<std::uint8_t> bytes;
  if (ReadResult loaded = loadBinaryFile(name, bytes); !loaded) return loaded;
  // Every 3D Studio file is one main chunk, id 0x4D4D.
  if (!beginsLike(bytes, "MM")) return refuseFile(name, "is not a 3D Studio file");
  ByteCursor in(bytes);
  in.u16le();
  // Bytes after the main chunk's stated length are never read.
  const std::uint32_t length = in.u32le();
  if (in.damaged() || length < 6 || length > in.size()) return refuseDamaged(name);
  Model model;
  MaterialNames materials;
  const bool ok = walkChildren(in, 6, length, [&](const Chunk& editor) {
    return editor.id != kEditor ||
           walkChildren(in, editor.body, editor.end, [&](const Chunk& object) {
             if (object.id == kMaterial) readMaterial(in, object, materials, name);
             return object.id != kNamedObject || readNamedObject(in, object, model, materials, name);
           });
  });
  if (!ok) return refuseDamaged(name);
  applyMaterials(model, materials, name);
  return finishModel(std::move(model), name);
}
