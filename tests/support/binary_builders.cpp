#include "support/binary_builders.h"

#include <cstring>

namespace {

std::uint32_t floatBits(float v) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

}  // namespace

ByteWriter& ByteWriter::u8(std::uint32_t v) {
  data.push_back(static_cast<std::uint8_t>(v));
  return *this;
}
ByteWriter& ByteWriter::u16le(std::uint32_t v) { return u8(v).u8(v >> 8); }
ByteWriter& ByteWriter::u32le(std::uint32_t v) { return u16le(v).u16le(v >> 16); }
ByteWriter& ByteWriter::f32le(float v) { return u32le(floatBits(v)); }
ByteWriter& ByteWriter::u16be(std::uint32_t v) { return u8(v >> 8).u8(v); }
ByteWriter& ByteWriter::u32be(std::uint32_t v) { return u16be(v >> 16).u16be(v); }
ByteWriter& ByteWriter::f32be(float v) { return u32be(floatBits(v)); }
ByteWriter& ByteWriter::text(std::string_view s) {
  data.insert(data.end(), s.begin(), s.end());
  return *this;
}
ByteWriter& ByteWriter::bytes(const Bytes& b) {
  data.insert(data.end(), b.begin(), b.end());
  return *this;
}
ByteWriter& ByteWriter::zeros(std::size_t n) {
  data.insert(data.end(), n, 0);
  return *this;
}

Bytes join(std::initializer_list<Bytes> parts) {
  ByteWriter w;
  for (const Bytes& part : parts) w.bytes(part);
  return w.data;
}

Bytes chunk3ds(std::uint16_t id, const Bytes& body) {
  return ByteWriter().u16le(id).u32le(static_cast<std::uint32_t>(body.size() + 6)).bytes(body).data;
}

Bytes mesh3ds(const std::vector<float>& xyz, const std::vector<Triangle>& triangles,
              const Bytes& afterFaces) {
  ByteWriter vertices;
  vertices.u16le(static_cast<std::uint32_t>(xyz.size() / 3));
  for (float v : xyz) vertices.f32le(v);
  ByteWriter faces;
  faces.u16le(static_cast<std::uint32_t>(triangles.size()));
  for (const Triangle& t : triangles) {
    faces.u16le(static_cast<std::uint32_t>(t[0])).u16le(static_cast<std::uint32_t>(t[1]));
    faces.u16le(static_cast<std::uint32_t>(t[2])).u16le(7);
  }
  faces.bytes(afterFaces);
  ByteWriter axes;
  for (int k = 0; k < 12; ++k) axes.f32le(static_cast<float>(k + 3));
  return chunk3ds(0x4100, join({chunk3ds(0x4110, vertices.data), chunk3ds(0x4120, faces.data),
                                chunk3ds(0x4160, axes.data)}));
}

Bytes named3ds(const std::string& name, const Bytes& children) {
  return chunk3ds(0x4000, ByteWriter().text(name).u8(0).bytes(children).data);
}

Bytes file3ds(const Bytes& editorChildren) {
  const Bytes version = chunk3ds(0x0002, ByteWriter().u32le(3).data);
  return chunk3ds(0x4D4D, join({version, chunk3ds(0x3D3D, editorChildren)}));
}

Bytes cobHeader(std::string_view signature, std::string_view version, char format,
                std::string_view order) {
  ByteWriter w;
  w.text(signature).text(version).u8(static_cast<unsigned char>(format)).text(order);
  w.text("Chunks\r\n");
  w.zeros(32 - w.data.size());
  return w.data;
}

Bytes cobChunk(std::string_view tag, const Bytes& data) {
  return ByteWriter().text(tag).u16le(0).u16le(8).u32le(1).u32le(0).u32le(
      static_cast<std::uint32_t>(data.size())).bytes(data).data;
}

Bytes polh(const std::vector<float>& xyz, const std::vector<Polygon>& faces,
           const std::array<float, 12>& matrix, const std::vector<CobHole>& holes,
           const Bytes& trailing) {
  ByteWriter w;
  w.u16le(0).u16le(4).text("Ball");
  for (float c : {1.5f, 2.5f, 3.5f}) w.f32le(c);  // local axes centre
  for (int k = 0; k < 9; ++k) w.f32le(k % 4 == 0 ? 1.0f : 0.0f);
  for (float m : matrix) w.f32le(m);
  w.u32le(static_cast<std::uint32_t>(xyz.size() / 3));
  for (float v : xyz) w.f32le(v);
  w.u32le(2).f32le(0).f32le(0).f32le(1).f32le(1);  // texture vertices
  w.u32le(static_cast<std::uint32_t>(faces.size() + holes.size()));
  std::size_t hole = 0;
  for (std::size_t f = 0; f <= faces.size(); ++f) {
    for (; hole < holes.size() && holes[hole].before == f; ++hole) {
      w.u8(8).u16le(static_cast<std::uint32_t>(holes[hole].size));
      for (std::int32_t k = 0; k < holes[hole].size; ++k) w.u32le(0).u32le(0);
    }
    if (f == faces.size()) break;
    w.u8(0).u16le(static_cast<std::uint32_t>(faces[f].size())).u16le(0);
    for (std::int32_t index : faces[f]) w.u32le(static_cast<std::uint32_t>(index)).u32le(1);
  }
  w.bytes(trailing);
  return cobChunk("PolH", w.data);
}

Bytes cobEnd() { return cobChunk("END ", {}); }

Bytes lwoForm(std::string_view type, const Bytes& chunks) {
  return ByteWriter().text("FORM").u32be(static_cast<std::uint32_t>(chunks.size() + 4)).text(type)
      .bytes(chunks).data;
}

Bytes lwoChunk(std::string_view tag, const Bytes& data, bool padToEven) {
  ByteWriter w;
  w.text(tag).u32be(static_cast<std::uint32_t>(data.size())).bytes(data);
  if (padToEven && data.size() % 2 == 1) w.u8(0);
  return w.data;
}

Bytes lwoPoints(const std::vector<float>& xyz) {
  ByteWriter w;
  for (float v : xyz) w.f32be(v);
  return lwoChunk("PNTS", w.data);
}

Bytes lwoClassicPolygons(const std::vector<Polygon>& faces, std::int16_t surface) {
  ByteWriter w;
  for (const Polygon& face : faces) {
    w.u16be(static_cast<std::uint32_t>(face.size()));
    for (std::int32_t index : face) w.u16be(static_cast<std::uint32_t>(index));
    w.u16be(static_cast<std::uint16_t>(surface));
  }
  return lwoChunk("POLS", w.data);
}

Bytes lwoModernPolygons(std::string_view type, const std::vector<Polygon>& faces) {
  ByteWriter w;
  w.text(type);
  for (const Polygon& face : faces) {
    w.u16be(static_cast<std::uint32_t>(face.size()) | 0x0400u);  // a flag bit above the count
    for (std::int32_t index : face) {
      if (index < 0xFF00) {
        w.u16be(static_cast<std::uint32_t>(index));
      } else {
        w.u32be(0xFF000000u | static_cast<std::uint32_t>(index));
      }
    }
  }
  return lwoChunk("POLS", w.data, true);
}

Bytes md2File(const std::vector<Triangle>& triangles, const std::vector<PackedFrame>& frames,
              std::string_view magic) {
  const std::size_t vertexCount = frames.empty() ? 0 : frames[0].vertices.size();
  const std::uint32_t frameSize = static_cast<std::uint32_t>(40 + 4 * vertexCount);
  const std::uint32_t triangleOffset = 68;
  const std::uint32_t frameOffset = triangleOffset + 12 * static_cast<std::uint32_t>(triangles.size());
  ByteWriter w;
  w.text(magic).u32le(8).u32le(64).u32le(64).u32le(frameSize).u32le(0);
  w.u32le(static_cast<std::uint32_t>(vertexCount)).u32le(0);
  w.u32le(static_cast<std::uint32_t>(triangles.size())).u32le(0);
  w.u32le(static_cast<std::uint32_t>(frames.size())).u32le(68).u32le(68);
  w.u32le(triangleOffset).u32le(frameOffset);
  const std::uint32_t end = frameOffset + frameSize * static_cast<std::uint32_t>(frames.size());
  w.u32le(end).u32le(end);
  for (const Triangle& t : triangles) {
    for (std::int32_t index : t) w.u16le(static_cast<std::uint32_t>(index));
    w.u16le(0).u16le(0).u16le(0);
  }
  for (const PackedFrame& frame : frames) {
    for (float s : frame.scale) w.f32le(s);
    for (float t : frame.translate) w.f32le(t);
    w.text("frame0").zeros(10);
    for (const auto& v : frame.vertices) w.u8(v[0]).u8(v[1]).u8(v[2]).u8(0);
  }
  return w.data;
}

Bytes mdlFile(const MdlModel& m, std::string_view magic) {
  ByteWriter w;
  w.text(magic).u32le(6);
  for (float s : m.scale) w.f32le(s);
  for (float o : m.origin) w.f32le(o);
  w.f32le(10).f32le(0).f32le(0).f32le(0);
  w.u32le(static_cast<std::uint32_t>(m.skinPictures.size()));
  w.u32le(static_cast<std::uint32_t>(m.skinWidth)).u32le(static_cast<std::uint32_t>(m.skinHeight));
  w.u32le(static_cast<std::uint32_t>(m.vertices.size()));
  w.u32le(static_cast<std::uint32_t>(m.triangles.size()));
  w.u32le(1).u32le(0).u32le(0).f32le(1);
  const std::size_t picture = static_cast<std::size_t>(m.skinWidth * m.skinHeight);
  for (std::int32_t pictures : m.skinPictures) {
    if (pictures == 1) {
      w.u32le(0).zeros(picture);
    } else {
      w.u32le(1).u32le(static_cast<std::uint32_t>(pictures));
      for (std::int32_t k = 0; k < pictures; ++k) w.f32le(0.1f);
      for (std::int32_t k = 0; k < pictures; ++k) w.zeros(picture);
    }
  }
  for (std::size_t v = 0; v < m.vertices.size(); ++v) w.u32le(0).u32le(1).u32le(2);
  for (const Triangle& t : m.triangles) {
    w.u32le(1);
    for (std::int32_t index : t) w.u32le(static_cast<std::uint32_t>(index));
  }
  auto frameBody = [&](std::uint8_t shift) {
    w.u8(m.boxMin[0]).u8(m.boxMin[1]).u8(m.boxMin[2]).u8(0);
    w.u8(m.boxMax[0]).u8(m.boxMax[1]).u8(m.boxMax[2]).u8(0);
    w.text("frame").zeros(11);
    for (const auto& v : m.vertices) {
      w.u8(static_cast<std::uint8_t>(v[0] + shift)).u8(v[1]).u8(v[2]).u8(0);
    }
  };
  if (m.groupFrames == 0) {
    w.u32le(0);
    frameBody(0);
  } else {
    w.u32le(1).u32le(static_cast<std::uint32_t>(m.groupFrames)).zeros(8);
    for (std::int32_t k = 0; k < m.groupFrames; ++k) w.f32le(0.1f);
    for (std::int32_t k = 0; k < m.groupFrames; ++k) frameBody(static_cast<std::uint8_t>(k));
  }
  // A later frame entry that must never matter.
  w.u32le(0);
  frameBody(50);
  return w.data;
}

Bytes xHeader(std::string_view formatType, std::string_view compression) {
  ByteWriter w;
  w.text("xof 0303").text(formatType).text(compression).text("0032");
  w.text("\ntemplate Header {}\n");
  return w.data;
}
