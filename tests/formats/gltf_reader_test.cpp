// glTF files shaped to exhaust the stack or memory: refused or read, never a crash. Component
// types, index types and node transforms are fixtures of the reader golden test.
#include <gtest/gtest.h>

#include <string>

#include "formats/readers.h"
#include "support/temp_dir.h"

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
