// A big model (over a megabyte, so read mapped) written as binary and as
// ASCII STL reads back welded to its own vertices: every corner lands on
// the place it was written at, and no two vertices share a place.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <tuple>

#include "formats/readers.h"
#include "support/mesh_builders.h"
#include "support/temp_dir.h"

namespace {

TEST(StlReader, BigBinaryAndAsciiFilesWeldToTheModelsOwnVertices) {
  const MeshObject torus = makeTorus(300, 120, 3.0f, 1.0f);  // 72,000 triangles: more than one run of the binary reader
  std::vector<std::array<std::int32_t, 3>> triangles;
  for (std::size_t f = 0; f < torus.faces.count(); ++f) {
    const auto q = torus.faces[f];
    triangles.push_back({q[0], q[1], q[2]});
    triangles.push_back({q[0], q[2], q[3]});
  }
  auto at = [&](std::int32_t v) { return &torus.vertices[3 * static_cast<std::size_t>(v)]; };
  std::string binary(80, ' '), ascii = "solid torus\n";
  const auto count = static_cast<std::uint32_t>(triangles.size());
  binary.append(reinterpret_cast<const char*>(&count), 4);
  for (const auto& t : triangles) {
    binary.append(12, '\0');
    ascii += "facet normal 0 0 1\nouter loop\n";
    for (std::int32_t v : t) {
      binary.append(reinterpret_cast<const char*>(at(v)), 12);
      char line[96];
      std::snprintf(line, sizeof line, "vertex %.9g %.9g %.9g\n", at(v)[0], at(v)[1], at(v)[2]);
      ascii += line;
    }
    binary.append(2, '\0');
    ascii += "endloop\nendfacet\n";
  }
  ascii += "endsolid torus\n";
  IsolatedState state;
  for (const auto& [label, text] : {std::pair{"binary", binary}, std::pair{"ascii", ascii}}) {
    ASSERT_GT(text.size(), 1u << 20) << label;
    const std::string path = state.dir().file(std::string(label) + ".stl");
    writeTextFile(path, text);
    const ReadResult read = readStlFile(path.c_str());
    ASSERT_TRUE(read) << label;
    ASSERT_EQ(read.model.size(), 1u) << label;
    const MeshObject& object = read.model[0];
    EXPECT_EQ(object.numVertices(), torus.numVertices()) << label;
    std::set<std::tuple<float, float, float>> places;
    for (std::size_t v = 0; v < object.vertices.size(); v += 3) {
      places.insert({object.vertices[v], object.vertices[v + 1], object.vertices[v + 2]});
    }
    EXPECT_EQ(places.size(), object.vertices.size() / 3) << label << ": two vertices share a place";
    ASSERT_EQ(object.faces.count(), triangles.size()) << label;
    for (std::size_t f = 0; f < triangles.size(); ++f) {
      for (int c = 0; c < 3; ++c) {
        const float* got = &object.vertices[3 * static_cast<std::size_t>(object.faces[f][c])];
        ASSERT_EQ(std::memcmp(got, at(triangles[f][c]), 12), 0) << label << " triangle " << f << " corner " << c;
      }
    }
  }
}

}  // namespace
