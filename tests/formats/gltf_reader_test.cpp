// What a glTF primitive shows besides its positions: its vertex attributes,
// mode and material; meshopt modes and filters; and files shaped to exhaust
// the stack or memory, refused or read, never a crash. Component types, index types and node
// transforms are fixtures of the reader golden test.
#include <gtest/gtest.h>
#include <meshoptimizer.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "formats/readers.h"
#include "support/temp_dir.h"

namespace {

// An accessor of the builder's primitive: `attribute` names it, or none for
// the indices.
struct Accessor {
  const char* attribute;
  int componentType;
  bool normalized;
  const char* type;
  std::string bytes;
};

// A .glb of one primitive of three vertices: its POSITION accessor, when
// `indexType` is not 0 its indices, and `more` accessors (three elements
// each), all in one binary chunk; `node` is the node's JSON, `primitive`
// and `top` more members of the primitive and of the file.
std::string glb(int positionType, bool normalized, const std::string& positions, int indexType,
                const std::string& indices, const std::string& node, const std::vector<Accessor>& more = {},
                const std::string& primitive = "", const std::string& top = "") {
  std::vector<Accessor> all{{"POSITION", positionType, normalized, "VEC3", positions}};
  if (indexType != 0) all.push_back({nullptr, indexType, false, "SCALAR", indices});
  all.insert(all.end(), more.begin(), more.end());
  std::string bin, views, accessors, attributes, indexMember;
  for (std::size_t k = 0; k < all.size(); ++k) {
    const Accessor& a = all[k];
    const std::size_t indexSize = indexType == 5121 ? 1 : indexType == 5123 ? 2 : 4;
    const std::size_t count = a.attribute != nullptr ? 3 : a.bytes.size() / indexSize;
    views += std::string(k == 0 ? "" : ",") + "{\"buffer\":0,\"byteOffset\":" + std::to_string(bin.size()) +
             ",\"byteLength\":" + std::to_string(a.bytes.size()) + "}";
    accessors += std::string(k == 0 ? "" : ",") + "{\"bufferView\":" + std::to_string(k) +
                 ",\"componentType\":" + std::to_string(a.componentType) +
                 ",\"normalized\":" + (a.normalized ? "true" : "false") + ",\"count\":" + std::to_string(count) +
                 ",\"type\":\"" + a.type + "\"}";
    if (a.attribute != nullptr) {
      attributes += std::string(attributes.empty() ? "" : ",") + "\"" + a.attribute + "\":" + std::to_string(k);
    } else {
      indexMember = ",\"indices\":" + std::to_string(k);
    }
    bin += a.bytes;
    while (bin.size() % 4 != 0) bin += '\0';
  }
  std::string json = "{\"asset\":{\"version\":\"2.0\"},\"buffers\":[{\"byteLength\":" + std::to_string(bin.size()) +
                     "}],\"bufferViews\":[" + views + "],\"accessors\":[" + accessors +
                     "],\"meshes\":[{\"primitives\":[{\"attributes\":{" + attributes + "}" + indexMember + primitive +
                     "}]}],\"nodes\":[" + node + "],\"scenes\":[{\"nodes\":[0]}],\"scene\":0" + top + "}";
  while (json.size() % 4 != 0) json += ' ';
  auto u32 = [](std::uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
  return "glTF" + u32(2) + u32(static_cast<std::uint32_t>(28 + json.size() + bin.size())) +
         u32(static_cast<std::uint32_t>(json.size())) + "JSON" + json + u32(static_cast<std::uint32_t>(bin.size())) +
         std::string("BIN\0", 4) + bin;
}

template <typename T>
std::string raw(std::initializer_list<T> values) {
  std::string bytes;
  for (T v : values) bytes.append(reinterpret_cast<const char*>(&v), sizeof v);
  return bytes;
}

// The first object's appearance in a line: its points (coordinates) or
// counts, then each part it has.
std::string summary(const Model& model) {
  const MeshObject& o = model[0];
  std::string s = std::to_string(o.numVertices()) + " vertices, " + std::to_string(o.numFaces()) + " faces";
  auto list = [&s](const char* what, const std::vector<float>& values) {
    if (!values.empty()) s += std::string("; ") + what;
    char number[32];
    for (float v : values) std::snprintf(number, sizeof number, " %.3g", v), s += number;
  };
  if (o.isPointCloud()) list("points", o.vertices);
  list("normals", o.normals.values), list("st", o.texCoords.values), list("colours", o.colors.values);
  if (o.lines.count() > 0) s += "; lines";
  for (std::int32_t index : o.lines.indices) s += " " + std::to_string(index);
  if (o.material < 0) return s;
  const Material& m = model.materials[static_cast<std::size_t>(o.material)];
  const char* const modes[] = {"opaque", "mask", "blend"};
  const Rgba& c = m.baseColor;
  list(modes[static_cast<int>(m.alphaMode)], {c.r, c.g, c.b, c.a, m.alphaCutoff});
  if (m.texture >= 0) {
    const Texture& t = model.textures[static_cast<std::size_t>(m.texture)];
    s += "; texture " + std::to_string(t.width) + "x" + std::to_string(t.height);
  }
  return s;
}

}  // namespace

TEST(GltfReader, AttributesModesAndMaterials) {
  // A PNG 2 pixels wide, 1 high.
  const std::string png =
      "iVBORw0KGgoAAAANSUhEUgAAAAIAAAABCAYAAAD0In+KAAAADklEQVR42mP4z8AAQg0AD3oDfmqBMeEAAAAASUVORK5CYII=";
  const std::vector<Accessor> uv{{"TEXCOORD_0", 5126, false, "VEC2", raw<float>({0, 0, 0.25f, 1, 1, 0.5f})}};
  // The primitive's and the file's members for a green material whose base
  // colour picture is `image`; what the object shows without it.
  auto textured = [](const std::string& image, const char* info = "{\"index\":0}") {
    return std::pair<std::string, std::string>{
        ",\"material\":0", ",\"materials\":[{\"pbrMetallicRoughness\":{\"baseColorFactor\":[0,1,0,1],"
                           "\"baseColorTexture\":" + std::string(info) +
                               "}}],\"textures\":[{\"source\":0}],\"images\":[{\"uri\":\"" + image + "\"}]"};
  };
  const std::string green = "3 vertices, 1 faces; st 0 1 0.25 0 1 0.5; opaque 0 1 0 1 0.5";
  const std::pair<std::string, std::string> material{
      ",\"material\":0", ",\"materials\":[{\"pbrMetallicRoughness\":{\"baseColorFactor\":[0.5,0.25,1,0.75]}"};
  const std::string rgb = raw<float>({1, 0, 0, 0, 1, 0, 0, 0, 1});
  const struct {
    const char* label;
    std::vector<Accessor> attributes;
    std::pair<std::string, std::string> members;  // of the primitive, of the file
    std::string expected, indices = "";
    const char* node = "{\"mesh\":0}";
  } cases[] = {
      // Stretched along x, a surface tilts away from x: its normals towards y.
      {"float normals under a stretching node",
       {{"NORMAL", 5126, false, "VEC3", raw<float>({1, 1, 0, 0, 0, 1, 1, 0, 0})}}, {},
       "3 vertices, 1 faces; normals 0.447 0.894 0 0 0 1 1 0 0", "", "{\"mesh\":0,\"scale\":[2,1,1]}"},
      {"float texture coordinates, t = 1 - v", uv, {}, "3 vertices, 1 faces; st 0 1 0.25 0 1 0.5"},
      {"normalised ubyte texture coordinates",
       {{"TEXCOORD_0", 5121, true, "VEC2", raw<std::uint8_t>({0, 0, 51, 255, 255, 51})}}, {},
       "3 vertices, 1 faces; st 0 1 0.2 0 1 0.8"},
      {"whole-number ushort texture coordinates",
       {{"TEXCOORD_0", 5123, false, "VEC2", raw<std::uint16_t>({0, 0, 2, 1, 1, 0})}}, {},
       "3 vertices, 1 faces; st 0 1 2 0 1 1"},
      {"float RGBA colours, clamped",
       {{"COLOR_0", 5126, false, "VEC4", raw<float>({2, 0, 0, 1, 0, 1, 0, 0.5f, 0, -1, 1, 0})}}, {},
       "3 vertices, 1 faces; colours 1 0 0 1 0 1 0 0.5 0 0 1 0"},
      {"float RGB colours are opaque", {{"COLOR_0", 5126, false, "VEC3", rgb}}, {},
       "3 vertices, 1 faces; colours 1 0 0 1 0 1 0 1 0 0 1 1"},
      {"normalised ubyte RGBA colours",
       {{"COLOR_0", 5121, true, "VEC4", raw<std::uint8_t>({255, 0, 0, 255, 0, 51, 0, 255, 0, 0, 255, 0})}}, {},
       "3 vertices, 1 faces; colours 1 0 0 1 0 0.2 0 1 0 0 1 0"},
      {"normalised ushort RGB colours",
       {{"COLOR_0", 5123, true, "VEC3", raw<std::uint16_t>({65535, 0, 0, 0, 13107, 0, 0, 0, 65535})}}, {},
       "3 vertices, 1 faces; colours 1 0 0 1 0 0.2 0 1 0 0 1 1"},
      {"whole-number colours are left out",
       {{"COLOR_0", 5121, false, "VEC3", raw<std::uint8_t>({1, 0, 0, 0, 1, 0, 0, 0, 1})}}, {}, "3 vertices, 1 faces"},
      {"base colour, masked", {}, {material.first, material.second + ",\"alphaMode\":\"MASK\",\"alphaCutoff\":0.25}]"},
       "3 vertices, 1 faces; mask 0.5 0.25 1 0.75 0.25"},
      {"base colour, blended", {}, {material.first, material.second + ",\"alphaMode\":\"BLEND\"}]"},
       "3 vertices, 1 faces; blend 0.5 0.25 1 0.75 0.5"},
      {"points by index take their colours along", {{"COLOR_0", 5126, false, "VEC3", rgb}}, {",\"mode\":0", ""},
       "2 vertices, 0 faces; points 1 1 1 1 2 3; colours 0 0 1 1 1 0 0 1", raw<std::uint8_t>({2, 0})},
      {"lines", {}, {",\"mode\":1", ""}, "3 vertices, 0 faces; lines 0 1"},
      {"line loop", {}, {",\"mode\":2", ""}, "3 vertices, 0 faces; lines 1 2 0 1", raw<std::uint8_t>({1, 2, 0})},
      {"line strip", {}, {",\"mode\":3", ""}, "3 vertices, 0 faces; lines 0 1 2"},
      {"a PNG in a data URI", uv, textured("data:image/png;base64," + png), green + "; texture 2x1"},
      {"a data URI the parser leaves alone", uv, textured("data:;base64," + png), green + "; texture 2x1"},
      {"a picture beside the file, named in another case", uv, textured("tex.png"), green + "; texture 211x211"},
      {"a missing picture costs only the texture", uv, textured("missing.png"), green},
      {"a KTX2 picture is not shown", uv, textured("data:image/ktx2;base64,q0tUWCAyMLsNChoK"), green},
      {"a picture on a second set of texture coordinates", uv, textured("tex.png", "{\"index\":0,\"texCoord\":1}"),
       green},
  };
  IsolatedState state;
  const std::string path = state.dir().file("model.glb");
  writeTextFile(state.dir().file("Tex.PNG"),
                readTextFile(TESSERA_SOURCE_DIR "/tests/data/real/gltf/BoxTextured-glTF/CesiumLogoFlat.png"));
  for (const auto& c : cases) {
    writeTextFile(path, glb(5126, false, raw<float>({1, 2, 3, 0, 0, 0, 1, 1, 1}), c.indices.empty() ? 0 : 5121,
                            c.indices, c.node, c.attributes, c.members.first, c.members.second));
    testing::internal::CaptureStderr();
    const ReadResult read = readGltfFile(path.c_str());
    testing::internal::GetCapturedStderr();
    ASSERT_TRUE(read) << c.label;
    ASSERT_EQ(read.model.size(), 1u) << c.label;
    EXPECT_EQ(summary(read.model), c.expected) << c.label;
  }
}

// Files shaped to exhaust the stack or memory: refused or read, never a crash.
TEST(GltfReader, DeepAndWideStructuresAreBounded) {
  const std::string triangle = "\"buffers\":[{\"byteLength\":36,\"uri\":\"data:application/octet-stream;base64,"
                               "AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAA\"}],"
                               "\"bufferViews\":[{\"buffer\":0,\"byteLength\":36}],"
                               "\"accessors\":[{\"bufferView\":0,\"componentType\":5126,\"count\":3,\"type\":\"VEC3\"},"
                               "{\"bufferView\":0,\"componentType\":5126,\"count\":3,\"type\":\"SCALAR\"}],"
                               "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":0}}]}],";
  std::string chain = "{\"asset\":{\"version\":\"2.0\"}," + triangle + "\"nodes\":[";
  for (int k = 0; k < 100000; ++k) chain += "{\"children\":[" + std::to_string(k + 1) + "]},";
  chain += "{\"mesh\":0,\"translation\":[1,0,0]}],\"scenes\":[{\"nodes\":[0]}]}";
  const std::string base = "{\"asset\":{\"version\":\"2.0\"}," + triangle;
  std::string sharedMesh = "{\"mesh\":0}", roots = "0";
  for (int k = 1; k < 2000; ++k) sharedMesh += ",{\"mesh\":0}", roots += "," + std::to_string(k);
  const struct {
    const char* label;
    std::string json;
    ReadFailure outcome;
  } cases[] = {
      {"extras nested 100,000 deep", "{\"asset\":{\"version\":\"2.0\"},\"extras\":" + std::string(100000, '[') +
                                        std::string(100000, ']') + "}",
       ReadFailure::Damaged},
      {"brackets inside a string are text", "{\"asset\":{\"version\":\"2.0\",\"x\":\"" + std::string(1000, '[') + "\"}}",
       ReadFailure::None},
      {"a chain of 100,001 nodes", chain, ReadFailure::None},
      {"indices stored as floats",
       "{\"asset\":{\"version\":\"2.0\"}," + triangle.substr(0, triangle.find("\"meshes\"")) +
           "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":0},\"indices\":1}]}],"
           "\"nodes\":[{\"mesh\":0}],\"scenes\":[{\"nodes\":[0]}]}",
       ReadFailure::Damaged},
      {"a node with two parents", base + "\"nodes\":[{\"children\":[2]},{\"children\":[2]},{\"mesh\":0}],\"scenes\":[{\"nodes\":[0,1]}]}",
       ReadFailure::Damaged},
      // 2,000 copies of 3,000 zeros from 40 kB: far more than a file that size may give.
      {"a mesh shown by 2,000 nodes past the output budget",
       "{\"asset\":{\"version\":\"2.0\"},\"accessors\":[{\"componentType\":5126,\"count\":3000,\"type\":\"VEC3\"}],"
       "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":0}}]}],\"nodes\":[" + sharedMesh +
           "],\"scenes\":[{\"nodes\":[" + roots + "]}]}",
       ReadFailure::Damaged},
  };
  IsolatedState state;
  const std::string path = state.dir().file("hostile.gltf");
  for (const auto& c : cases) {
    writeTextFile(path, c.json);
    testing::internal::CaptureStderr();
    const ReadResult read = readGltfFile(path.c_str());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(read.failure, c.outcome) << c.label;
  }
}

namespace {

// A .glb of one primitive whose buffer views are all meshopt compressed
// (under `extension`), their fallback a buffer without data: float
// positions through `positionFilter` (NONE or EXPONENTIAL), normals of
// `normalStride` bytes through `normalFilter`, and indices 0 1 2 (TRIANGLES)
// or 0 1 1 2 (INDICES, for lines). `damage` changes the JSON or the data.
struct MeshoptFile {
  const char* extension = "EXT_meshopt_compression";
  const char* positionFilter = "NONE";
  const char* normalFilter = "OCTAHEDRAL";
  int normalStride = 4;
  const char* indexMode = "TRIANGLES";
  std::string (*damage)(std::string json, std::string& bin) = nullptr;
};

std::string meshoptGlb(const MeshoptFile& f) {
  const float positions[9] = {1, 2, 3, 0, 0, 0, 1, 1, 1};
  // Four values each: normals (w unused), and quaternions whose x y z point the same ways.
  const float normals[12] = {0, 0, 1, 0, 0, 1, 0, 0, 0, 0, -1, 0};
  const float turns[12] = {0, 0, 0.6f, 0.8f, 0, 0.6f, 0, 0.8f, 0, 0, -0.6f, 0.8f};
  std::string bin, views;
  std::size_t fallbackAt = 0;
  // Compresses `count` elements of `stride` bytes into the binary chunk and
  // adds their view, `length` bytes when decoded.
  auto add = [&](const void* data, std::size_t count, std::size_t stride, const char* mode, const char* filter) {
    std::vector<unsigned char> packed(std::string_view(mode) == "ATTRIBUTES"  ? meshopt_encodeVertexBufferBound(count, stride)
                                      : std::string_view(mode) == "TRIANGLES" ? meshopt_encodeIndexBufferBound(count, count)
                                                                              : meshopt_encodeIndexSequenceBound(count, count));
    const auto* indices = static_cast<const unsigned*>(data);
    const std::size_t size =
        std::string_view(mode) == "ATTRIBUTES" ? meshopt_encodeVertexBuffer(packed.data(), packed.size(), data, count, stride)
        : std::string_view(mode) == "TRIANGLES" ? meshopt_encodeIndexBuffer(packed.data(), packed.size(), indices, count)
                                                : meshopt_encodeIndexSequence(packed.data(), packed.size(), indices, count);
    const std::size_t decoded = count * stride, at = bin.size();
    views += std::string(views.empty() ? "" : ",") + "{\"buffer\":1,\"byteOffset\":" + std::to_string(fallbackAt) +
             ",\"byteLength\":" + std::to_string(decoded) +
             (std::string_view(mode) == "ATTRIBUTES" ? ",\"byteStride\":" + std::to_string(stride) : "") +
             ",\"extensions\":{\"" + f.extension + "\":{\"buffer\":0,\"byteOffset\":" + std::to_string(at) +
             ",\"byteLength\":" + std::to_string(size) + ",\"byteStride\":" + std::to_string(stride) +
             ",\"count\":" + std::to_string(count) + ",\"mode\":\"" + mode + "\",\"filter\":\"" + filter + "\"}}}";
    fallbackAt += decoded;
    bin.append(reinterpret_cast<const char*>(packed.data()), size);
    while (bin.size() % 4 != 0) bin += '\0';
  };
  std::vector<unsigned char> p(36), n(3 * static_cast<std::size_t>(f.normalStride));
  if (std::string_view(f.positionFilter) == "EXPONENTIAL") {
    meshopt_encodeFilterExp(p.data(), 3, 12, 24, positions);
  } else {
    std::memcpy(p.data(), positions, sizeof positions);
  }
  if (std::string_view(f.normalFilter) == "QUATERNION") {
    meshopt_encodeFilterQuat(n.data(), 3, 8, 12, turns);
  } else {
    meshopt_encodeFilterOct(n.data(), 3, static_cast<std::size_t>(f.normalStride), f.normalStride == 4 ? 8 : 16, normals);
  }
  const bool lines = std::string_view(f.indexMode) == "INDICES";
  const unsigned indices[4] = {0, 1, lines ? 1u : 2u, 2};
  add(p.data(), 3, 12, "ATTRIBUTES", f.positionFilter);
  add(n.data(), 3, static_cast<std::size_t>(f.normalStride), "ATTRIBUTES", f.normalFilter);
  std::vector<std::uint32_t> wide(indices, indices + (lines ? 4 : 3));
  add(wide.data(), wide.size(), 4, f.indexMode, "NONE");
  const int normalType = f.normalStride == 4 ? 5120 : 5122;
  std::string json = std::string("{\"asset\":{\"version\":\"2.0\"},\"extensionsRequired\":[\"") + f.extension +
                     "\"],\"buffers\":[{\"byteLength\":" + std::to_string(bin.size()) +
                     "},{\"byteLength\":1000,\"extensions\":{\"" + f.extension + "\":{\"fallback\":true}}}]," +
                     "\"bufferViews\":[" + views + "],\"accessors\":[" +
                     "{\"bufferView\":0,\"componentType\":5126,\"count\":3,\"type\":\"VEC3\"}," +
                     "{\"bufferView\":1,\"componentType\":" + std::to_string(normalType) +
                     ",\"normalized\":true,\"count\":3,\"type\":\"VEC3\"}," +
                     "{\"bufferView\":2,\"componentType\":5125,\"count\":" + std::to_string(wide.size()) +
                     ",\"type\":\"SCALAR\"}],\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":0,\"NORMAL\":1}," +
                     "\"indices\":2,\"mode\":" + (lines ? "1" : "4") + "}]}],\"nodes\":[{\"mesh\":0}],\"scenes\":[{\"nodes\":[0]}]}";
  if (f.damage != nullptr) json = f.damage(json, bin);
  while (json.size() % 4 != 0) json += ' ';
  auto u32 = [](std::uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
  return "glTF" + u32(2) + u32(static_cast<std::uint32_t>(28 + json.size() + bin.size())) +
         u32(static_cast<std::uint32_t>(json.size())) + "JSON" + json + u32(static_cast<std::uint32_t>(bin.size())) +
         std::string("BIN\0", 4) + bin;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  return text.replace(text.find(from), from.size(), to);
}

}  // namespace

TEST(GltfReader, MeshoptModesAndFilters) {
  const std::string triangle = "3 vertices, 1 faces; normals 0 0 1 0 1 0 0 0 -1";
  const struct {
    const char* label;
    MeshoptFile file;
    std::string expected;  // the summary and the positions, or the refusal's words
    ReadFailure failure = ReadFailure::None;
  } cases[] = {
      {"octahedral byte normals", {}, triangle},
      {"octahedral short normals, the ratified name", {"KHR_meshopt_compression", "NONE", "OCTAHEDRAL", 8}, triangle},
      {"exponential float positions", {.positionFilter = "EXPONENTIAL"}, triangle},
      // Quaternion x, y, z read as normals: the decoder ran.
      {"a quaternion view", {.normalFilter = "QUATERNION", .normalStride = 8}, triangle},
      {"lines by an index sequence", {.indexMode = "INDICES"},
       "3 vertices, 0 faces; normals 0 0 1 0 1 0 0 0 -1; lines 0 1 1 2"},
      {"a quaternion of 4 bytes", {.damage = [](std::string json, std::string&) {
         return replaced(json, "\"filter\":\"OCTAHEDRAL\"", "\"filter\":\"QUATERNION\"");
       }}, "", ReadFailure::Damaged},
      {"a filter on indices", {.damage = [](std::string json, std::string&) {
         return replaced(json, "\"mode\":\"TRIANGLES\",\"filter\":\"NONE\"", "\"mode\":\"TRIANGLES\",\"filter\":\"EXPONENTIAL\"");
       }}, "uses the meshopt filter EXPONENTIAL in buffer view 2, which is not read", ReadFailure::Refused},
      {"an unknown mode", {.damage = [](std::string json, std::string&) {
         return replaced(json, "\"mode\":\"TRIANGLES\"", "\"mode\":\"STRIPS\"");
       }}, "uses the meshopt mode STRIPS in buffer view 2, which is not read", ReadFailure::Refused},
      {"a later vertex codec", {.damage = [](std::string json, std::string& bin) {
         bin[0] = static_cast<char>(0xA1);
         return json;
       }}, "uses a later meshopt vertex codec (version 1) in buffer view 0, which is not read", ReadFailure::Refused},
      {"attributes of 6 bytes", {.damage = [](std::string json, std::string&) {
         return replaced(json, "\"byteStride\":12,\"count\"", "\"byteStride\":6,\"count\"");
       }}, "", ReadFailure::Damaged},
      {"two indices as triangles", {.damage = [](std::string json, std::string&) {
         return replaced(json, "\"count\":3,\"mode\":\"TRIANGLES\"", "\"count\":2,\"mode\":\"TRIANGLES\"");
       }}, "", ReadFailure::Damaged},
      {"compressed bytes past the binary chunk", {.damage = [](std::string json, std::string&) {
         return replaced(json, "\"buffer\":0,\"byteOffset\":0", "\"buffer\":0,\"byteOffset\":4000");
       }}, "", ReadFailure::Damaged},
      {"a view longer than its decoded data", {.damage = [](std::string json, std::string&) {
         return replaced(json, "\"byteLength\":36", "\"byteLength\":48");
       }}, "", ReadFailure::Damaged},
  };
  IsolatedState state;
  const std::string path = state.dir().file("meshopt.glb");
  for (const auto& c : cases) {
    writeTextFile(path, meshoptGlb(c.file));
    testing::internal::CaptureStderr();
    const ReadResult read = readGltfFile(path.c_str());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(read.failure, c.failure) << c.label;
    if (c.failure != ReadFailure::None) {
      EXPECT_NE(said.find(c.expected), std::string::npos) << c.label << ": " << said;
      continue;
    }
    ASSERT_EQ(read.model.size(), 1u) << c.label;
    EXPECT_EQ(summary(read.model), c.expected) << c.label;
    const std::vector<float> want{1, 2, 3, 0, 0, 0, 1, 1, 1};
    ASSERT_EQ(read.model[0].vertices.size(), want.size()) << c.label;
    for (std::size_t k = 0; k < want.size(); ++k) EXPECT_NEAR(read.model[0].vertices[k], want[k], 1e-5) << c.label;
  }
}
