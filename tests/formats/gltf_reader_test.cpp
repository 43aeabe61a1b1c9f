// glTF positions of every component type (normalised or not) and indices of
// every index type, written into a binary file, read back to the values the
// format defines; a node's transform moves them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/readers.h"
#include "support/temp_dir.h"

namespace {

// A .glb of one primitive of three vertices: its POSITION accessor and,
// when `indexType` is not 0, its three indices, both in one binary chunk;
// `node` is the node's JSON.
std::string glb(int positionType, bool normalized, const std::string& positions, int indexType,
                const std::string& indices, const std::string& node) {
  std::string bin = positions;
  while (bin.size() % 4 != 0) bin += '\0';
  const std::size_t indexOffset = bin.size();
  bin += indices;
  while (bin.size() % 4 != 0) bin += '\0';
  std::string json = "{\"asset\":{\"version\":\"2.0\"},\"buffers\":[{\"byteLength\":" + std::to_string(bin.size()) +
                     "}],\"bufferViews\":[{\"buffer\":0,\"byteLength\":" + std::to_string(positions.size()) + "}";
  if (indexType != 0) {
    json += ",{\"buffer\":0,\"byteOffset\":" + std::to_string(indexOffset) +
            ",\"byteLength\":" + std::to_string(indices.size()) + "}";
  }
  json += "],\"accessors\":[{\"bufferView\":0,\"componentType\":" + std::to_string(positionType) +
          ",\"normalized\":" + (normalized ? "true" : "false") + ",\"count\":3,\"type\":\"VEC3\"}";
  if (indexType != 0) json += ",{\"bufferView\":1,\"componentType\":" + std::to_string(indexType) + ",\"count\":3,\"type\":\"SCALAR\"}";
  json += "],\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":0}" +
          std::string(indexType != 0 ? ",\"indices\":1" : "") + "}]}],\"nodes\":[" + node +
          "],\"scenes\":[{\"nodes\":[0]}],\"scene\":0}";
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

}  // namespace

TEST(GltfReader, ComponentTypesIndexTypesAndNodeTransforms) {
  const std::string floats = raw<float>({1, 2, 3, 0, 0, 0, 1, 1, 1});
  const struct {
    const char* label;
    int positionType;
    bool normalized;
    std::string positions;  // three vertices
    std::vector<float> expected;
    int indexType;
    std::string indices;
    const char* node = "{\"mesh\":0}";
  } cases[] = {
      {"float, no indices", 5126, false, floats, {1, 2, 3, 0, 0, 0, 1, 1, 1}, 0, ""},
      {"byte normalised, ubyte indices", 5120, true, raw<std::int8_t>({0, 0, 0, 127, 0, 0, 0, -127, -128}),
       {0, 0, 0, 1, 0, 0, 0, -1, -1}, 5121, raw<std::uint8_t>({0, 1, 2})},
      {"ubyte normalised, ushort indices", 5121, true, raw<std::uint8_t>({0, 0, 0, 255, 0, 0, 0, 51, 0}),
       {0, 0, 0, 1, 0, 0, 0, 0.2f, 0}, 5123, raw<std::uint16_t>({0, 1, 2})},
      {"short normalised, uint indices", 5122, true, raw<std::int16_t>({0, 0, 0, 32767, 0, 0, 0, -32767, -32768}),
       {0, 0, 0, 1, 0, 0, 0, -1, -1}, 5125, raw<std::uint32_t>({0, 1, 2})},
      {"ushort normalised", 5123, true, raw<std::uint16_t>({0, 0, 0, 65535, 0, 0, 0, 13107, 0}),
       {0, 0, 0, 1, 0, 0, 0, 0.2f, 0}, 5121, raw<std::uint8_t>({0, 1, 2})},
      {"byte as integers", 5120, false, raw<std::int8_t>({0, 0, 0, 100, 0, 0, 0, -100, 5}),
       {0, 0, 0, 100, 0, 0, 0, -100, 5}, 0, ""},
      {"ushort as integers", 5123, false, raw<std::uint16_t>({0, 0, 0, 60000, 0, 0, 0, 7, 0}),
       {0, 0, 0, 60000, 0, 0, 0, 7, 0}, 0, ""},
      {"moved", 5126, false, floats, {11, 22, 33, 10, 20, 30, 11, 21, 31}, 0, "", "{\"mesh\":0,\"translation\":[10,20,30]}"},
      {"scaled", 5126, false, floats, {2, -2, 1.5f, 0, 0, 0, 2, -1, 0.5f}, 0, "", "{\"mesh\":0,\"scale\":[2,-1,0.5]}"},
      // Half a turn about y: x and z change sign.
      {"turned", 5126, false, floats, {-1, 2, -3, 0, 0, 0, -1, 1, -1}, 0, "", "{\"mesh\":0,\"rotation\":[0,1,0,0]}"},
      // Scale first, then turn, then move.
      {"scaled, turned and moved", 5126, false, floats, {-2, 4, -5, 0, 0, 1, -2, 2, -1}, 0, "",
       "{\"mesh\":0,\"translation\":[0,0,1],\"rotation\":[0,1,0,0],\"scale\":[2,2,2]}"},
      {"a matrix", 5126, false, floats, {3, 1, 3, 5, 0, 0, 4, 1, 1}, 0, "",
       "{\"mesh\":0,\"matrix\":[0,1,0,0, -1,0,0,0, 0,0,1,0, 5,0,0,1]}"},
  };
  IsolatedState state;
  const std::string path = state.dir().file("model.glb");
  for (const auto& c : cases) {
    writeTextFile(path, glb(c.positionType, c.normalized, c.positions, c.indexType, c.indices, c.node));
    const ReadResult read = readGltfFile(path.c_str());
    ASSERT_TRUE(read) << c.label;
    ASSERT_EQ(read.model.size(), 1u) << c.label;
    const MeshObject& object = read.model[0];
    ASSERT_EQ(object.vertices.size(), c.expected.size()) << c.label;
    for (std::size_t k = 0; k < c.expected.size(); ++k) EXPECT_NEAR(object.vertices[k], c.expected[k], 1e-5) << c.label << " " << k;
    ASSERT_EQ(object.faces.count(), 1u) << c.label;
    EXPECT_EQ(std::vector<std::int32_t>(object.faces[0].begin(), object.faces[0].end()),
              (std::vector<std::int32_t>{0, 1, 2}))
        << c.label;
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
