// Truespace binary objects: a 32-byte header, then chunks of a 20-byte
// header (tag, versions, ids, data size) and data, up to the "END " tag.
// Every "PolH" chunk is one object, its vertices moved by its matrix.
#include <string_view>

#include "formats/binary_file.h"
#include "formats/readers.h"

namespace {

constexpr std::string_view kVersion = "V00.01";

// The header checks, in their order: a true result when the file may be
// read on. A field cut short by the end of the file is damage, not a refusal.
ReadResult checkHeader(ByteCursor& in, const std::vector<std::uint8_t>& bytes, const char* name) {
  if (!beginsLike(bytes, "Caligari ")) return refuseFile(name, "is not a Truespace file");
  auto field = [&](std::size_t size, std::string_view& text) {
    text = in.text(size);
    return !in.damaged();
  };
  std::string_view text;
  if (!field(9, text) || !field(6, text)) return refuseDamaged(name);
  // Versions are "Vnn.nn": a later one compares greater as text.
  if (text > kVersion) return refuseFile(name, kNewerVersion);
  if (text != kVersion) return refuseFile(name, "is an older version of the format, not read");
  if (!field(1, text)) return refuseDamaged(name);
  if (text == "A") return refuseFile(name, "is a text Truespace file, which is not read");
  if (text != "B") return refuseDamaged(name, "has a damaged header");
  if (!field(2, text)) return refuseDamaged(name);
  if (text != "LH") return refuseFile(name, "is a big-endian Truespace file, which is not read");
  return in.seek(32) ? ReadResult(Model{}) : refuseDamaged(name);
}

bool readPolygonObject(ByteCursor& in, MeshObject& object) {
  in.u16le();  // duplicate count
  in.skip(in.u16le());  // name
  for (float& c : object.origin) c = in.f32le();
  in.skip(36);  // axis directions
  float* m = object.transform;
  for (int k = 0; k < 12; ++k) m[k] = in.f32le();
  m[12] = m[13] = m[14] = 0.0f;
  m[15] = 1.0f;

  const std::int32_t vertexCount = in.i32le();
  if (vertexCount < 0 || !in.holds(static_cast<std::uint32_t>(vertexCount), 12)) return false;
  object.vertices.resize(3 * static_cast<std::size_t>(vertexCount));
  for (std::size_t i = 0; i < static_cast<std::size_t>(vertexCount); ++i) {
    const float x = in.f32le(), y = in.f32le(), z = in.f32le();
    float* v = &object.vertices[3 * i];
    v[0] = m[0] * x + m[1] * y + m[2] * z + m[3];
    v[1] = m[4] * x + m[5] * y + m[6] * z + m[7];
    v[2] = m[8] * x + m[9] * y + m[10] * z + m[11];
  }

  const std::int32_t textureCount = in.i32le();
  if (textureCount < 0 || !in.skip(8 * static_cast<std::uint64_t>(textureCount))) return false;

  const std::int32_t recordCount = in.i32le();
  if (recordCount < 0 || !in.holds(static_cast<std::uint32_t>(recordCount), 3)) return false;
  object.faces.offsets.reserve(static_cast<std::size_t>(recordCount) + 1);
  for (std::int32_t r = 0; r < recordCount && !in.damaged(); ++r) {
    const std::uint8_t flags = in.u8();
    const std::uint16_t size = in.u16le();
    if (flags == 8) {  // a hole: takes no face slot
      in.skip(8 * static_cast<std::uint64_t>(size));
      continue;
    }
    in.u16le();  // material
    if (size > 32767 || !in.holds(size, 8)) return false;
    std::span<std::int32_t> face = object.faces.append(size);
    for (std::int32_t& index : face) {
      index = in.i32le();
      in.u32le();  // texture index
    }
  }
  return !in.damaged();
}

}  // namespace

ReadResult readCobFile(const char* name) {
  std::vector<std::uint8_t> bytes;
  if (ReadResult loaded = loadBinaryFile(name, bytes); !loaded) return loaded;
  ByteCursor in(bytes);
  if (ReadResult header = checkHeader(in, bytes, name); !header) return header;
  Model model;
  // Without an "END " chunk the walk ends with the file.
  while (!in.atEnd()) {
    const std::string_view tag = in.text(4);
    if (tag == "END ") break;
    in.skip(12);  // versions, chunk id, parent id
    const std::uint32_t dataSize = in.u32le();
    if (in.damaged() || dataSize > 0x7FFFFFFFu || dataSize > in.remaining()) {
      return refuseDamaged(name);
    }
    const std::size_t dataEnd = in.tell() + dataSize;
    if (tag == "PolH") {
      model.emplace_back();
      // The data is read within the chunk's own size; later chunk versions
      // carry more after the faces, so the walk goes on at the chunk's end.
      ByteCursor data(bytes.data() + in.tell(), dataSize);
      if (!readPolygonObject(data, model.back())) return refuseDamaged(name);
    }
    in.seek(dataEnd);
  }
  return finishModel(std::move(model), name);
}
