// Lightwave objects: an IFF FORM of big-endian chunks. LWOB (the classic
// layout) pairs each point list with the polygon list after it; LWO2 (what
// LightWave has written since version 6) pads chunks to even lengths and
// gives each point list the faces of every polygon list up to the next one.
#include <map>
#include <string_view>

#include "formats/binary_file.h"
#include "formats/readers.h"

namespace {

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
bool readClassicPolygons(ByteCursor& in, std::size_t end, MeshObject& object) {
  std::vector<std::int32_t> indices;
  object.faces.clear();
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

// One walk over the form. Counting only (objects == nullptr) or filling.
bool walk(ByteCursor& in, std::size_t& pointLists, Objects* objects) {
  const std::size_t objectCount = pointLists;
  in.seek(0);
  in.text(4);  // FORM, not checked
  const std::uint32_t formLength = in.u32be();
  debugMessage("length=%d\n", static_cast<std::int32_t>(formLength));
  const std::string_view formType = in.text(4);
  if (in.damaged() || formLength < 4 || formLength > in.size() - 8) return false;
  const std::size_t formEnd = 8 + static_cast<std::size_t>(formLength);
  const bool modern = formType == "LWO2";

  pointLists = 0;
  std::size_t polygonLists = 0;
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
        if (!(modern ? readModernPolygons(in, dataEnd, object) : readClassicPolygons(in, dataEnd, object))) {
          return false;
        }
      }
      ++polygonLists;
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
  ByteCursor in(bytes);
  // A counting walk finds the point lists, a filling walk fills the objects.
  std::size_t pointLists = 0;
  if (!walk(in, pointLists, nullptr)) return refuseDamaged(name);
  Objects objects;
  if (!walk(in, pointLists, &objects)) return refuseDamaged(name);
  Model model;
  model.reserve(objects.size());
  for (auto& [place, object] : objects) model.push_back(std::move(object));
  return finishModel(std::move(model), name);
}
