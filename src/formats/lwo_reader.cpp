// Lightwave objects: an IFF FORM of big-endian chunks. LWOB (the classic
// layout) pairs each point list with the polygon list after it; LWO2 (what
// LightWave has written since version 6) pads chunks to even lengths and
// gives each point list the faces of every polygon list up to the next one.
// Surfaces give faces their colour (both layouts) and, in LWO2, an image
// mapped through a UV map (VMAP, with VMAD's per-polygon corrections).
// LWO3 (LightWave 2018 on) keeps LWO2's geometry chunks but writes surfaces
// and clips as FORMs of chunks with 4-byte lengths, each FORM's header a
// chunk with a blank tag, and gives a surface's colour in its node graph.
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "formats/binary_file.h"
#include "formats/readers.h"
#include "formats/texture_files.h"

namespace {

// A variable-length index: 2 bytes, or 4 when the first byte is 0xFF.
bool readVx(ByteCursor& in, std::size_t end, std::uint32_t& value) {
  if (end - in.tell() < 2) return false;
  const std::uint16_t first = in.u16be();
  if ((first >> 8) != 0xFF) return value = first, true;
  if (end - in.tell() < 2) return false;
  value = ((first & 0xFFu) << 16) | in.u16be();
  return true;
}

// A zero-ended name padded to an even length.
bool readS0(ByteCursor& in, std::size_t end, std::string& text) {
  text.clear();
  while (in.tell() < end) {
    const char c = static_cast<char>(in.u8());
    if (c == 0) {
      if ((text.size() & 1) == 0 && in.tell() < end) in.u8();
      return true;
    }
    text += c;
  }
  return false;
}

// What the surfaces say, gathered over the walk and given to the faces at
// its end, since names, images and UV maps may come in any order.
struct Surface {
  std::string name;
  Rgba color;
  std::uint32_t clip = 0;  // the image's clip index; 0: none
  std::string uvMap;       // the UV map the image is laid on
};

struct ObjectLooks {
  std::vector<std::uint32_t> faceTags;  // per face: a tag (LWO2) or surface number (LWOB)
  std::string uvName;                   // the first UV map's name
  std::map<std::uint32_t, std::pair<float, float>> uv;   // by point
  std::map<std::pair<std::uint32_t, std::uint32_t>, std::pair<float, float>> uvOfCorner;  // by point, polygon
};

struct Looks {
  std::vector<std::string> tags;  // LWO2 TAGS, or LWOB SRFS
  std::vector<Surface> surfaces;
  std::map<std::uint32_t, std::string> clips;
  std::map<std::size_t, ObjectLooks> objects;
};

bool readPoints(ByteCursor& in, std::uint32_t length, MeshObject& object) {
  object.vertices.resize(3 * static_cast<std::size_t>(length / 12));
  for (float& coordinate : object.vertices) coordinate = in.f32be();
  return !in.damaged();
}

void appendFace(MeshObject& object, std::span<const std::int32_t> indices) {
  std::span<std::int32_t> face = object.faces.append(indices.size());
  std::copy(indices.begin(), indices.end(), face.begin());
}

// LWOB polygons: count, 16-bit indices, 16-bit surface. A negative surface
// is followed by the count of detail polygons, which are ordinary polygons
// after it: the count word is read past so that they stay aligned.
bool readClassicPolygons(ByteCursor& in, std::size_t end, MeshObject& object, std::vector<std::uint32_t>& surfaces) {
  std::vector<std::int32_t> indices;
  object.faces.clear();
  surfaces.clear();
  while (in.tell() < end) {
    const std::uint16_t count = in.u16be();
    if (count > 32767 || in.tell() + 2u * count + 2u > end) return false;
    indices.resize(count);
    for (std::int32_t& index : indices) index = in.u16be();
    const auto surface = static_cast<std::int16_t>(in.u16be());
    if (surface < 0) {
      if (in.tell() + 2 > end) return false;
      in.u16be();
    }
    appendFace(object, indices);
    surfaces.push_back(static_cast<std::uint32_t>(surface < 0 ? -surface : surface));
  }
  return !in.damaged();
}

// LWO2 polygons: a type, then per polygon a word of flags and count (count in
// the low 10 bits) and variable-length indices: 2 bytes, or 4 when the first
// byte is 0xFF (24 bits of value).
bool readModernPolygons(ByteCursor& in, std::size_t end, MeshObject& object) {
  if (end - in.tell() < 4) return false;
  const std::string_view type = in.text(4);
  if (type != "FACE" && type != "PTCH" && type != "SUBD") return true;
  std::vector<std::int32_t> indices;
  while (in.tell() < end) {
    if (end - in.tell() < 2) return false;
    const std::uint16_t count = in.u16be() & 0x03FF;
    indices.resize(count);
    for (std::int32_t& index : indices) {
      if (end - in.tell() < 2) return false;
      const std::uint16_t first = in.u16be();
      if ((first >> 8) == 0xFF) {
        if (end - in.tell() < 2) return false;
        index = static_cast<std::int32_t>(((first & 0xFFu) << 16) | in.u16be());
      } else {
        index = first;
      }
    }
    appendFace(object, indices);
  }
  return !in.damaged();
}

bool isClassicChunk(std::string_view tag) {
  return tag == "PNTS" || tag == "POLS" || tag == "SRFS" || tag == "CRVS" || tag == "PCHS" ||
         tag == "SURF";
}

// The objects a filling walk has touched, by their place among the point
// lists: a list with nothing in it makes no object, so a file of empty
// chunks costs no memory beyond its own.
using Objects = std::map<std::size_t, MeshObject>;

// LWO2 chunks that dress the faces; a damaged one is left out, never the
// model, and the walk goes on at the next chunk.
// Tags for the polygons of the list just read (from `firstFace` of the
// object's `faceCount`); a polygon beyond them is damage.
bool readSurfaceTags(ByteCursor& in, std::size_t end, std::size_t firstFace, std::size_t faceCount,
                     ObjectLooks& object) {
  if (end - in.tell() < 4 || in.text(4) != "SURF") return true;
  object.faceTags.resize(faceCount, UINT32_MAX);
  while (in.tell() < end) {
    std::uint32_t polygon = 0;
    if (!readVx(in, end, polygon) || end - in.tell() < 2) return false;
    const std::uint16_t tag = in.u16be();
    if (firstFace + polygon >= faceCount) return false;
    object.faceTags[firstFace + polygon] = tag;
  }
  return true;
}

bool readUvMap(ByteCursor& in, std::size_t end, bool perPolygon, ObjectLooks& object) {
  std::string name;
  if (end - in.tell() < 6 || in.text(4) != "TXUV") return true;
  const std::uint16_t dimension = in.u16be();
  if (!readS0(in, end, name)) return false;
  if (dimension != 2) return true;
  if (object.uvName.empty()) object.uvName = name;
  if (name != object.uvName) return true;  // one map per object: the first
  while (in.tell() < end) {
    std::uint32_t point = 0, polygon = 0;
    if (!readVx(in, end, point) || (perPolygon && !readVx(in, end, polygon)) || end - in.tell() < 8) return false;
    const float u = in.f32be(), v = in.f32be();
    if (perPolygon) {
      object.uvOfCorner[{point, polygon}] = {u, v};
    } else {
      object.uv[point] = {u, v};
    }
  }
  return true;
}

bool readClip(ByteCursor& in, std::size_t end, Looks& looks) {
  if (end - in.tell() < 4) return false;
  const std::uint32_t index = in.u32be();
  while (end - in.tell() >= 6) {
    const std::string_view tag = in.text(4);
    const std::size_t length = in.u16be();
    if (length > end - in.tell()) return false;
    const std::size_t next = in.tell() + length + (length & 1);
    std::string file;
    if (tag == "STIL" && readS0(in, in.tell() + length, file)) looks.clips[index] = file;
    if (!in.seek(std::min(next, end))) return false;
  }
  return true;
}

// A surface's sub-chunks (4-byte tag, 2-byte length); LWO2 nests an image
// block's own the same way.
bool readSurface(ByteCursor& in, std::size_t end, bool modern, Looks& looks) {
  Surface surface;
  std::string source;
  if (!readS0(in, end, surface.name) || (modern && !readS0(in, end, source))) return false;
  const auto readSubChunks = [&](auto&& self, std::size_t stop) -> bool {
    while (stop - in.tell() >= 6) {
      const std::string_view tag = in.text(4);
      const std::size_t length = in.u16be();
      if (length > stop - in.tell()) return false;
      const std::size_t start = in.tell(), next = start + length + (length & 1);
      if (tag == "COLR" && modern && length >= 12) {
        surface.color.r = in.f32be(), surface.color.g = in.f32be(), surface.color.b = in.f32be();
      } else if (tag == "COLR" && length >= 3) {
        surface.color.r = in.u8() / 255.0f, surface.color.g = in.u8() / 255.0f, surface.color.b = in.u8() / 255.0f;
      } else if (tag == "TRAN" && modern && length >= 4) {
        surface.color.a = 1.0f - std::clamp(in.f32be(), 0.0f, 1.0f);
      } else if (tag == "BLOK" && modern) {
        if (!self(self, start + length)) return false;
      } else if (tag == "IMAG" && modern) {
        std::uint32_t clip = 0;
        if (surface.clip == 0 && readVx(in, start + length, clip)) surface.clip = clip;
      } else if (tag == "VMAP" && modern && surface.uvMap.empty()) {
        readS0(in, start + length, surface.uvMap);
      } else if (tag == "IMAP" && modern) {
        // The block's header: an ordinal string and its own sub-chunks.
        std::string ordinal;
        if (!readS0(in, start + length, ordinal) || !self(self, start + length)) return false;
      }
      if (!in.seek(std::min(next, stop))) return false;
    }
    return true;
  };
  if (!readSubChunks(readSubChunks, end)) return false;
  looks.surfaces.push_back(std::move(surface));
  return true;
}

// LWO3 chunks: a 4-byte tag and a 4-byte length, padded to even; a FORM's
// type comes first in its data. `visit(tag, isForm, start, stop)` finds the
// cursor at `start`; the walk goes on after the chunk whatever it did.
template <typename Visit>
bool forEachChunk3(ByteCursor& in, std::size_t end, Visit&& visit) {
  while (end - in.tell() >= 8) {
    std::string_view tag = in.text(4);
    const std::size_t length = in.u32be();
    if (length > end - in.tell()) return false;
    std::size_t start = in.tell();
    const std::size_t stop = start + length;
    const bool form = tag == "FORM";
    if (form) {
      if (length < 4) return false;
      tag = in.text(4), start += 4;
    }
    if (!visit(tag, form, start, stop)) return false;
    if (!in.seek(std::min(stop + (length & 1), end))) return false;
  }
  return true;
}

double f64be(ByteCursor& in) {
  const std::uint64_t bits = (static_cast<std::uint64_t>(in.u32be()) << 32) | in.u32be();
  double value = 0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// An LWO3 surface: its name in the header chunk; the colour from a COLR
// chunk or, in the node graph, the Color input of the first Standard or
// Principled BSDF node (a value of 3 doubles); its transparency the same
// way; the first image block's clip and UV map as in LWO2.
bool readSurface3(ByteCursor& in, std::size_t end, Looks& looks) {
  Surface surface;
  bool named = false, colored = false, transparent = false;
  bool inMaterialNode = false;
  std::string entry, parent;
  const auto walkIn = [&](auto&& self, std::size_t stop, int depth) -> bool {
    return forEachChunk3(in, stop, [&](std::string_view tag, bool form, std::size_t start, std::size_t chunkEnd) {
      if (depth > 24) return true;  // deeper than writers nest: passed over
      if (form) {
        const std::string outer = std::exchange(parent, std::string(tag));
        const bool outerNode = inMaterialNode;
        if (tag == "NTAG") inMaterialNode = false;
        if (tag == "ENTR") entry.clear();
        const bool ok = self(self, chunkEnd, depth + 1);
        parent = outer;
        if (tag == "NTAG") inMaterialNode = outerNode;
        return ok;
      }
      const std::size_t length = chunkEnd - start;
      if (tag == "    " && depth == 0 && !named) {
        named = readS0(in, chunkEnd, surface.name);
      } else if (tag == "NRNM") {
        std::string kind;
        readS0(in, chunkEnd, kind);
        inMaterialNode = (kind == "Standard" || kind == "Principled BSDF") && !colored;
      } else if (tag == "NAME") {
        readS0(in, chunkEnd, entry);
      } else if (tag == "    " && inMaterialNode && parent == "VALU" && length >= 12) {
        const std::uint32_t count = in.u32be();
        if ((entry == "Color" || entry == "Base Color") && count == 3 && length >= 28 && !colored) {
          surface.color.r = static_cast<float>(f64be(in));
          surface.color.g = static_cast<float>(f64be(in));
          surface.color.b = static_cast<float>(f64be(in));
          colored = true;
        } else if (entry == "Transparency" && count == 1 && !transparent) {
          surface.color.a = 1.0f - std::clamp(static_cast<float>(f64be(in)), 0.0f, 1.0f);
          transparent = true;
        }
      } else if ((tag == "COLR" || (tag == "    " && parent == "COLR")) && length >= 12 && !colored) {
        surface.color.r = in.f32be(), surface.color.g = in.f32be(), surface.color.b = in.f32be();
        colored = true;
      } else if (tag == "IMAG" && surface.clip == 0) {
        std::uint32_t clip = 0;
        if (readVx(in, chunkEnd, clip)) surface.clip = clip;
      } else if (tag == "VMAP" && surface.uvMap.empty()) {
        readS0(in, chunkEnd, surface.uvMap);
      }
      return true;
    });
  };
  if (!walkIn(walkIn, end, 0) || !named) return false;
  looks.surfaces.push_back(std::move(surface));
  return true;
}

// An LWO3 clip: its index in the header chunk, a still image's file name in
// the header of its STIL form.
bool readClip3(ByteCursor& in, std::size_t end, Looks& looks) {
  std::uint32_t index = 0;
  bool indexed = false;
  return forEachChunk3(in, end, [&](std::string_view tag, bool form, std::size_t, std::size_t chunkEnd) {
    if (tag == "    " && !form && !indexed && chunkEnd - in.tell() >= 4) {
      index = in.u32be(), indexed = true;
    } else if (tag == "STIL" && form && indexed && chunkEnd - in.tell() >= 8 && in.text(4) == "    ") {
      const std::size_t length = in.u32be();
      std::string file;
      if (length <= chunkEnd - in.tell() && readS0(in, in.tell() + length, file)) looks.clips[index] = file;
    }
    return true;
  });
}

// The materials from the surfaces, and each object's faces given theirs by
// their tag's (LWO2) or surface number's (LWOB) name.
void dressObjects(Model& model, const std::map<std::size_t, std::size_t>& places, Looks& looks, bool modern,
                  const char* path) {
  if (looks.surfaces.empty()) return;
  for (const Surface& surface : looks.surfaces) {
    Material m{surface.name, surface.color};
    if (surface.color.a < 1.0f) m.alphaMode = AlphaMode::Blend;
    if (const auto clip = looks.clips.find(surface.clip); surface.clip != 0 && clip != looks.clips.end()) {
      m.texture = addTextureFile(model, path, clip->second);
    }
    model.materials.push_back(std::move(m));
  }
  const auto materialNamed = [&](std::uint32_t tag) -> std::int32_t {
    // LWOB numbers surfaces from 1 in the SRFS list.
    const std::size_t k = modern ? tag : tag - 1;
    if (tag == UINT32_MAX || (!modern && tag == 0) || k >= looks.tags.size()) return -1;
    for (std::size_t m = 0; m < looks.surfaces.size(); ++m) {
      if (looks.surfaces[m].name == looks.tags[k]) return static_cast<std::int32_t>(m);
    }
    return -1;
  };
  for (const auto& [target, index] : places) {
    const auto found = looks.objects.find(target);
    if (found == looks.objects.end()) continue;
    ObjectLooks& o = found->second;
    MeshObject& object = model[index];
    if (!o.faceTags.empty()) {
      object.faceMaterials.resize(object.faces.count(), -1);
      for (std::size_t f = 0; f < o.faceTags.size() && f < object.faceMaterials.size(); ++f) {
        object.faceMaterials[f] = materialNamed(o.faceTags[f]);
      }
    }
    if (o.uv.empty() && o.uvOfCorner.empty()) continue;
    // Each point's UV, then each corner's where a polygon sets its own:
    // LightWave's v runs up the picture, as ours does.
    TexCoordAttribute& uv = object.texCoords;
    const auto points = static_cast<std::uint32_t>(object.numVertices());
    uv.values.assign(2 * static_cast<std::size_t>(points), 0.0f);
    for (const auto& [point, value] : o.uv) {
      if (point < points) uv.values[2 * point] = value.first, uv.values[2 * point + 1] = value.second;
    }
    uv.binding = Binding::PerCorner;
    uv.corners.resize(object.faces.indices.size());
    for (std::size_t f = 0; f < object.faces.count(); ++f) {
      for (std::size_t k = object.faces.offsets[f]; k < object.faces.offsets[f + 1]; ++k) {
        const auto point = static_cast<std::uint32_t>(object.faces.indices[k]);
        uv.corners[k] = static_cast<std::int32_t>(point);
        const auto own = o.uvOfCorner.find({point, static_cast<std::uint32_t>(f)});
        if (own == o.uvOfCorner.end()) continue;
        uv.corners[k] = static_cast<std::int32_t>(uv.count());
        uv.values.insert(uv.values.end(), {own->second.first, own->second.second});
      }
    }
    if (o.uvOfCorner.empty()) {
      uv.binding = Binding::PerVertex;  // no corner differs from its point
      uv.corners.clear();
    }
  }
}

// One walk over the form. Counting only (objects == nullptr) or filling.
bool walk(ByteCursor& in, std::size_t& pointLists, Objects* objects, Looks* looks = nullptr,
          const char* path = "") {
  const std::size_t objectCount = pointLists;
  in.seek(0);
  in.text(4);  // FORM, checked before
  const std::uint32_t formLength = in.u32be();
  debugMessage("length=%d\n", static_cast<std::int32_t>(formLength));
  const std::string_view formType = in.text(4);
  if (in.damaged() || formLength < 4 || formLength > in.size() - 8) return false;
  const std::size_t formEnd = 8 + static_cast<std::size_t>(formLength);
  const bool modern = formType == "LWO2" || formType == "LWO3";

  pointLists = 0;
  std::size_t polygonLists = 0, lastPolygonsStart = 0;
  while (in.tell() < formEnd) {
    if (formEnd - in.tell() < 4) return false;
    const std::string_view tag = in.text(4);
    if (!modern && !isClassicChunk(tag)) continue;  // the tag alone is read past
    if (formEnd - in.tell() < 4) return false;
    const std::uint32_t length = in.u32be();
    if (length > formEnd - in.tell()) return false;
    const std::size_t dataEnd = in.tell() + length;
    if (tag == "PNTS") {
      // Classic files fill the object the next polygon list will finish.
      const std::size_t target = modern ? pointLists : polygonLists;
      if (objects != nullptr && target < objectCount && (length >= 12 || objects->contains(target)) &&
          !readPoints(in, length, (*objects)[target])) {
        return false;
      }
      ++pointLists;
    } else if (tag == "POLS") {
      const std::size_t target = modern ? pointLists - 1 : polygonLists;
      const bool holdsPolygons = length > (modern ? 4u : 0u);
      if (objects != nullptr && (modern ? pointLists > 0 : target < objectCount) &&
          (holdsPolygons || objects->contains(target))) {
        MeshObject& object = (*objects)[target];
        lastPolygonsStart = object.faces.count();
        std::vector<std::uint32_t> surfaces;
        if (!(modern ? readModernPolygons(in, dataEnd, object) : readClassicPolygons(in, dataEnd, object, surfaces))) {
          return false;
        }
        if (!modern && looks != nullptr) looks->objects[target].faceTags = std::move(surfaces);
      }
      ++polygonLists;
    } else if (looks != nullptr) {
      // What dresses the faces: never a reason to refuse the model.
      bool ok = true;
      const std::size_t target = pointLists > 0 ? pointLists - 1 : 0;
      if (tag == "TAGS" || tag == "SRFS") {
        std::string text;
        while (in.tell() < dataEnd && looks->tags.size() < 65536 && readS0(in, dataEnd, text)) looks->tags.push_back(text);
      } else if (tag == "PTAG" && modern && pointLists > 0 && objects->contains(target)) {
        ok = readSurfaceTags(in, dataEnd, lastPolygonsStart, (*objects)[target].faces.count(), looks->objects[target]);
      } else if ((tag == "VMAP" || tag == "VMAD") && pointLists > 0) {
        ok = readUvMap(in, dataEnd, tag == "VMAD", looks->objects[target]);
      } else if (tag == "CLIP") {
        ok = readClip(in, dataEnd, *looks);
      } else if (tag == "SURF") {
        ok = readSurface(in, dataEnd, modern, *looks);
      } else if (tag == "FORM" && formType == "LWO3" && length >= 4) {
        const std::string_view type = in.text(4);
        if (type == "SURF") ok = readSurface3(in, dataEnd, *looks);
        if (type == "CLIP") ok = readClip3(in, dataEnd, *looks);
      }
      if (!ok) debugMessage("File, %s, has a damaged %.4s chunk; it was left out.\n", path, tag.data());
    }
    // Modern chunks are padded to an even length.
    const std::size_t next = dataEnd + (modern && (length & 1) ? 1 : 0);
    if (!in.seek(next < formEnd ? next : formEnd)) return false;
  }
  return !in.damaged();
}

}  // namespace

ReadResult readLwoFile(const char* name) {
  std::vector<std::uint8_t> bytes;
  if (ReadResult loaded = loadBinaryFile(name, bytes); !loaded) return loaded;
  if (!beginsLike(bytes, "FORM")) return refuseFile(name, "is not a Lightwave file");
  if (bytes.size() >= 12) {
    const std::string_view type(reinterpret_cast<const char*>(bytes.data()) + 8, 4);
    if (type != "LWOB" && type != "LWLO" && type != "LWO2" && type != "LWO3") return refuseFile(name, "is not a Lightwave file");
  }
  ByteCursor in(bytes);
  // A counting walk finds the point lists, a filling walk fills the objects.
  std::size_t pointLists = 0;
  if (!walk(in, pointLists, nullptr)) return refuseDamaged(name);
  Objects objects;
  Looks looks;
  if (!walk(in, pointLists, &objects, &looks, name)) return refuseDamaged(name);
  Model model;
  model.reserve(objects.size());
  std::map<std::size_t, std::size_t> places;  // point-list place -> object
  for (auto& [place, object] : objects) {
    places[place] = model.size();
    model.push_back(std::move(object));
  }
  const std::string_view type = in.size() >= 12 ? std::string_view(reinterpret_cast<const char*>(bytes.data()) + 8, 4) : "";
  dressObjects(model, places, looks, type == "LWO2" || type == "LWO3", name);
  return finishModel(std::move(model), name);
}
