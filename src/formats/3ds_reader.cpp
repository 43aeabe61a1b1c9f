// 3D Studio: a tree of chunks (id word, length dword counting its own
// 6-byte header, body). The walk follows main -> editor -> named object ->
// triangle mesh -> vertex list / face list and reads past everything else.
#include <string_view>

#include "formats/binary_file.h"
#include "formats/readers.h"

namespace {

constexpr std::uint16_t kMain = 0x4D4D, kEditor = 0x3D3D, kNamedObject = 0x4000;
constexpr std::uint16_t kTriangleMesh = 0x4100, kVertexList = 0x4110, kFaceList = 0x4120;

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

bool readTriangleMesh(ByteCursor& in, const Chunk& mesh, Model& model) {
  MeshObject object;
  const bool read = walkChildren(in, mesh.body, mesh.end, [&](const Chunk& chunk) {
    if (!in.seek(chunk.body)) return false;
    if (chunk.id == kVertexList) return readVertices(in, chunk, object);
    if (chunk.id == kFaceList) return readFaces(in, chunk, object);
    return true;  // local axes (not applied) and anything else
  });
  // An empty mesh is not kept at all, so that a file of them cannot claim
  // memory far beyond its size.
  if (read && (!object.vertices.empty() || object.faces.count() > 0)) model.push_back(std::move(object));
  return read;
}

bool readNamedObject(ByteCursor& in, const Chunk& named, Model& model) {
  // The name runs to its zero byte, whatever its length.
  if (!in.seek(named.body)) return false;
  std::size_t at = named.body;
  while (at < named.end && in.u8() != 0) ++at;
  if (at >= named.end) return false;
  return walkChildren(in, at + 1, named.end, [&](const Chunk& chunk) {
    return chunk.id != kTriangleMesh || readTriangleMesh(in, chunk, model);
  });
}

}  // namespace

ReadResult read3dsFile(const char* name) {
  std::vector<std::uint8_t> bytes;
  if (ReadResult loaded = loadBinaryFile(name, bytes); !loaded) return loaded;
  ByteCursor in(bytes);
  if (in.size() < 2) return refuseDamaged(name);
  Model model;
  // A file that does not begin with the main chunk holds no objects.
  if (in.u16le() == kMain) {
    // Bytes after the main chunk's stated length are never read.
    const std::uint32_t length = in.u32le();
    if (in.damaged() || length < 6 || length > in.size()) return refuseDamaged(name);
    const bool ok = walkChildren(in, 6, length, [&](const Chunk& editor) {
      return editor.id != kEditor ||
             walkChildren(in, editor.body, editor.end, [&](const Chunk& object) {
               return object.id != kNamedObject || readNamedObject(in, object, model);
             });
    });
    if (!ok) return refuseDamaged(name);
  }
  return finishModel(std::move(model), name);
}
