#pragma once
// Binary model files built in code, so tests state their geometry plainly.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using Bytes = std::vector<std::uint8_t>;
using Triangle = std::array<std::int32_t, 3>;
using Polygon = std::vector<std::int32_t>;

class ByteWriter {
 public:
  ByteWriter& u8(std::uint32_t v);
  ByteWriter& u16le(std::uint32_t v);
  ByteWriter& u32le(std::uint32_t v);
  ByteWriter& f32le(float v);
  ByteWriter& u16be(std::uint32_t v);
  ByteWriter& u32be(std::uint32_t v);
  ByteWriter& f32be(float v);
  ByteWriter& text(std::string_view s);
  ByteWriter& bytes(const Bytes& b);
  ByteWriter& zeros(std::size_t n);
  Bytes data;
};

// Bytes joined in order.
Bytes join(std::initializer_list<Bytes> parts);

// 3D Studio.
Bytes chunk3ds(std::uint16_t id, const Bytes& body);
Bytes mesh3ds(const std::vector<float>& xyz, const std::vector<Triangle>& triangles,
              const Bytes& afterFaces = {});
Bytes named3ds(const std::string& name, const Bytes& children);
Bytes file3ds(const Bytes& editorChildren);

// Truespace: header fields can be replaced to make refused files.
Bytes cobHeader(std::string_view signature = "Caligari ", std::string_view version = "V00.01",
                char format = 'B', std::string_view order = "LH");
Bytes cobChunk(std::string_view tag, const Bytes& data);
struct CobHole {
  std::size_t before;  // face records written before the hole
  std::int32_t size;
};
Bytes polh(const std::vector<float>& xyz, const std::vector<Polygon>& faces,
           const std::array<float, 12>& matrix, const std::vector<CobHole>& holes = {},
           const Bytes& trailing = {});
Bytes cobEnd();
constexpr std::array<float, 12> kIdentity3x4{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};

// Lightwave.
Bytes lwoForm(std::string_view type, const Bytes& chunks);
Bytes lwoChunk(std::string_view tag, const Bytes& data, bool padToEven = false);
Bytes lwoPoints(const std::vector<float>& xyz);
Bytes lwoClassicPolygons(const std::vector<Polygon>& faces, std::int16_t surface = 1);
Bytes lwoModernPolygons(std::string_view type, const std::vector<Polygon>& faces);

// Quake 2: one or more frames of packed vertices.
struct PackedFrame {
  std::array<float, 3> scale{1, 1, 1};
  std::array<float, 3> translate{0, 0, 0};
  std::vector<std::array<std::uint8_t, 3>> vertices;
};
Bytes md2File(const std::vector<Triangle>& triangles, const std::vector<PackedFrame>& frames,
              std::string_view magic = "IDP2");

// Quake 1.
struct MdlModel {
  std::array<float, 3> scale{1, 1, 1};
  std::array<float, 3> origin{0, 0, 0};
  std::int32_t skinWidth = 4, skinHeight = 2;
  std::vector<std::int32_t> skinPictures{1};  // 1: a single skin, k > 1: a group of k
  std::vector<Triangle> triangles;
  // The first frame entry: one frame, or a group when groupFrames > 0.
  std::vector<std::array<std::uint8_t, 3>> vertices;
  std::array<std::uint8_t, 3> boxMin{0, 0, 0}, boxMax{0, 0, 0};
  std::int32_t groupFrames = 0;
};
Bytes mdlFile(const MdlModel& model, std::string_view magic = "IDPO");

// DirectX header.
Bytes xHeader(std::string_view formatType, std::string_view compression = "");
