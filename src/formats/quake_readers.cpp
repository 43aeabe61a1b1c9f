// Quake 2 (.md2) and Quake 1 (.mdl) models: the triangles and the first
// animation frame, whose packed byte positions are scaled and moved.
#include <cmath>
#include <string_view>

#include "formats/binary_file.h"
#include "formats/readers.h"

namespace {

// Reads `count` triangles of three indices each; `indexBytes` is 2 (MD2) or
// 4 (MDL), `skipBefore`/`skipAfter` the other bytes of each record.
void readTriangles(ByteCursor& in, std::int32_t count, int indexBytes, int skipBefore,
                   int skipAfter, MeshObject& object) {
  object.faces.indices.reserve(3 * static_cast<std::size_t>(count));
  object.faces.offsets.reserve(static_cast<std::size_t>(count) + 1);
  for (std::int32_t t = 0; t < count; ++t) {
    in.skip(static_cast<std::uint64_t>(skipBefore));
    std::span<std::int32_t> face = object.faces.append(3);
    for (std::int32_t& index : face) {
      index = indexBytes == 2 ? static_cast<std::int32_t>(in.u16le()) : in.i32le();
    }
    in.skip(static_cast<std::uint64_t>(skipAfter));
  }
}

// Decodes packed vertices (x, y, z bytes and a normal byte) by scale and shift.
void readPackedVertices(ByteCursor& in, std::int32_t count, const float scale[3],
                        const float shift[3], MeshObject& object) {
  object.vertices.resize(3 * static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
    float* v = &object.vertices[3 * i];
    for (int axis = 0; axis < 3; ++axis) {
      v[axis] = static_cast<float>(in.u8()) * scale[axis] + shift[axis];
    }
    in.u8();  // normal index
  }
}

}  // namespace

ReadResult readMd2File(const char* name) {
  std::vector<std::uint8_t> bytes;
  if (ReadResult loaded = loadBinaryFile(name, bytes); !loaded) return loaded;
  ByteCursor in(bytes);
  const std::string_view magic = in.text(4);
  if (in.damaged()) return refuseDamaged(name);
  if (magic != "IDP2") return refuseHeader("File, %s, is not a valid MD2 file.\n", name);

  std::int32_t header[16];
  for (std::int32_t& field : header) field = in.i32le();
  const std::int32_t vertexCount = header[5], triangleCount = header[7];
  const std::int32_t triangleOffset = header[12], frameOffset = header[13];
  if (in.damaged() || vertexCount < 0 || triangleCount < 0 || triangleOffset < 0 ||
      frameOffset < 0) {
    return refuseDamaged(name);
  }
  Model model(1);
  MeshObject& object = model[0];
  if (!in.seek(static_cast<std::uint32_t>(triangleOffset)) ||
      !in.holds(static_cast<std::uint32_t>(triangleCount), 12)) {
    return refuseDamaged(name);
  }
  readTriangles(in, triangleCount, 2, 0, 6, object);

  if (!in.seek(static_cast<std::uint32_t>(frameOffset))) return refuseDamaged(name);
  float scale[3], translate[3];
  for (float& s : scale) s = in.f32le();
  for (float& t : translate) t = in.f32le();
  in.skip(16);  // frame name
  if (in.damaged() || !in.holds(static_cast<std::uint32_t>(vertexCount), 4)) {
    return refuseDamaged(name);
  }
  readPackedVertices(in, vertexCount, scale, translate, object);
  if (in.damaged()) return refuseDamaged(name);
  return finishModel(std::move(model), name);
}

ReadResult readMdlFile(const char* name) {
  std::vector<std::uint8_t> bytes;
  if (ReadResult loaded = loadBinaryFile(name, bytes); !loaded) return loaded;
  ByteCursor in(bytes);
  const std::string_view magic = in.text(4);
  if (in.damaged()) return refuseDamaged(name);
  if (magic != "IDPO") return refuseHeader("File, %s, is not a valid MDL file.\n", name);

  in.u32le();  // version
  float scale[3], origin[3];
  for (float& s : scale) s = in.f32le();
  for (float& o : origin) o = in.f32le();
  in.skip(16);  // radius, eye offsets
  const std::int32_t skinCount = in.i32le(), skinWidth = in.i32le(), skinHeight = in.i32le();
  const std::int32_t vertexCount = in.i32le(), triangleCount = in.i32le();
  in.skip(16);  // frames, sync type, flags, size
  if (in.damaged() || skinCount < 0 || skinWidth < 0 || skinHeight < 0 || vertexCount < 0 ||
      triangleCount < 0) {
    return refuseDamaged(name);
  }
  const std::uint64_t skinBytes =
      static_cast<std::uint64_t>(skinWidth) * static_cast<std::uint64_t>(skinHeight);
  for (std::int32_t s = 0; s < skinCount && !in.damaged(); ++s) {
    if (in.i32le() == 0) {
      in.skip(skinBytes);
    } else {
      const std::int32_t pictures = in.i32le();
      if (pictures < 0 || !in.skip(4 * static_cast<std::uint64_t>(pictures))) break;
      if (skinBytes != 0 && static_cast<std::uint64_t>(pictures) > in.remaining() / skinBytes) {
        in.fail();
        break;
      }
      in.skip(static_cast<std::uint64_t>(pictures) * skinBytes);
    }
  }
  in.skip(12 * static_cast<std::uint64_t>(vertexCount));  // texture coordinates
  if (in.damaged() || !in.holds(static_cast<std::uint32_t>(triangleCount), 16)) {
    return refuseDamaged(name);
  }
  Model model(1);
  MeshObject& object = model[0];
  readTriangles(in, triangleCount, 4, 4, 0, object);

  // A frame group shows its first frame.
  if (in.i32le() != 0) {
    const std::int32_t frames = in.i32le();
    if (frames < 0 || !in.skip(8 + 4 * static_cast<std::uint64_t>(frames))) {
      return refuseDamaged(name);
    }
  }
  // The bounds are the frame's stored box, not computed from the vertices.
  float box[2][3];
  for (auto& corner : box) {
    for (int axis = 0; axis < 3; ++axis) {
      corner[axis] = static_cast<float>(in.u8()) * scale[axis] + origin[axis];
    }
    in.u8();
  }
  in.skip(16);  // frame name
  if (in.damaged() || !in.holds(static_cast<std::uint32_t>(vertexCount), 4)) {
    return refuseDamaged(name);
  }
  readPackedVertices(in, vertexCount, scale, origin, object);
  if (in.damaged()) return refuseDamaged(name);
  for (const auto& corner : box) {
    for (float value : corner) {
      if (!std::isfinite(value)) return refuseDamaged(name);
    }
  }
  ReadResult result = finishModel(std::move(model), name);
  if (result) {
    MeshObject& read = result.model[0];
    read.xMin = box[0][0];
    read.yMin = box[0][1];
    read.zMin = box[0][2];
    read.xMax = box[1][0];
    read.yMax = box[1][1];
    read.zMax = box[1][2];
  }
  return result;
}
