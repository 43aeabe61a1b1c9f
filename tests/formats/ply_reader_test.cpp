// The same mesh written in every PLY layout and with every scalar type for
// coordinates, list counts and indices reads back to the same vertices and
// faces: a wrong size, sign or byte order for any type shows here.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "formats/readers.h"
#include "support/temp_dir.h"

namespace {

enum class Layout { Ascii, Little, Big };

struct TypeName {
  const char* name;  // as a header names it (classic and sized names both)
  char code;         // b B h H i I f d: signed/unsigned 8, 16, 32 bits, float, double
};

// The value as `type` stores it, in the file's layout.
void put(std::string& out, char type, double value, Layout layout) {
  if (layout == Layout::Ascii) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g ", value);
    out += text;
    return;
  }
  unsigned char bytes[8];
  std::size_t size = 0;
  auto store = [&](auto v) {
    size = sizeof v;
    std::memcpy(bytes, &v, size);
  };
  switch (type) {
    case 'b': store(static_cast<std::int8_t>(value)); break;
    case 'B': store(static_cast<std::uint8_t>(value)); break;
    case 'h': store(static_cast<std::int16_t>(value)); break;
    case 'H': store(static_cast<std::uint16_t>(value)); break;
    case 'i': store(static_cast<std::int32_t>(value)); break;
    case 'I': store(static_cast<std::uint32_t>(value)); break;
    case 'f': store(static_cast<float>(value)); break;
    default: store(value); break;
  }
  for (std::size_t k = 0; k < size; ++k) out += static_cast<char>(bytes[layout == Layout::Big ? size - 1 - k : k]);
}

TEST(PlyReader, EveryLayoutAndScalarTypeReadsTheSameMesh) {
  const struct {
    Layout layout;
    TypeName coordinate, count, index;
  } cases[] = {
      {Layout::Ascii, {"float", 'f'}, {"uchar", 'B'}, {"int", 'i'}},
      {Layout::Little, {"float", 'f'}, {"uchar", 'B'}, {"int", 'i'}},
      {Layout::Big, {"float32", 'f'}, {"uint8", 'B'}, {"int32", 'i'}},
      {Layout::Little, {"double", 'd'}, {"ushort", 'H'}, {"uint", 'I'}},
      {Layout::Big, {"float64", 'd'}, {"uint16", 'H'}, {"uint32", 'I'}},
      {Layout::Little, {"char", 'b'}, {"char", 'b'}, {"short", 'h'}},
      {Layout::Big, {"int8", 'b'}, {"int", 'i'}, {"ushort", 'H'}},
      {Layout::Little, {"uchar", 'B'}, {"uint", 'I'}, {"uchar", 'B'}},
      {Layout::Big, {"int16", 'h'}, {"short", 'h'}, {"int8", 'b'}},
      {Layout::Little, {"uint16", 'H'}, {"uchar", 'B'}, {"ushort", 'H'}},
      {Layout::Big, {"int", 'i'}, {"uchar", 'B'}, {"uint8", 'B'}},
      {Layout::Ascii, {"uint", 'I'}, {"int", 'i'}, {"uint", 'I'}},
  };
  const char* const layoutNames[] = {"ascii", "binary_little_endian", "binary_big_endian"};
  const std::vector<std::vector<std::int32_t>> faces = {{0, 1, 2}, {0, 2, 3, 4}};
  IsolatedState state;
  for (const auto& c : cases) {
    // Values every type holds exactly; negatives where the type has a sign.
    const double low = std::strchr("bhifd", c.coordinate.code) != nullptr ? -7 : 0;
    const std::vector<float> vertices = {0, 0, 0, 100, 0, 1, 100, 120, 2, static_cast<float>(low), 120, 3, 50, 60, 127};
    std::string text = std::string("ply\nformat ") + layoutNames[static_cast<int>(c.layout)] +
                       " 1.0\nelement vertex 5\nproperty uchar red\nproperty " + c.coordinate.name + " z\n" +
                       "property " + c.coordinate.name + " y\nproperty " + c.coordinate.name + " x\n" +
                       "element face 2\nproperty list " + c.count.name + " " + c.index.name + " vertex_indices\n" +
                       "end_header\n";
    // z, y, x in the file: the reader goes by name, not by place.
    for (std::size_t v = 0; v < vertices.size(); v += 3) {
      put(text, 'B', 255, c.layout);
      for (int axis = 2; axis >= 0; --axis) put(text, c.coordinate.code, vertices[v + static_cast<std::size_t>(axis)], c.layout);
      if (c.layout == Layout::Ascii) text += "\n";
    }
    for (const auto& face : faces) {
      put(text, c.count.code, static_cast<double>(face.size()), c.layout);
      for (std::int32_t index : face) put(text, c.index.code, index, c.layout);
      if (c.layout == Layout::Ascii) text += "\n";
    }
    const std::string path = state.dir().file("mesh.ply");
    writeTextFile(path, text);
    const std::string label = std::string(layoutNames[static_cast<int>(c.layout)]) + " " + c.coordinate.name + " " +
                              c.count.name + " " + c.index.name;
    const ReadResult read = readPlyFile(path.c_str());
    ASSERT_TRUE(read) << label;
    ASSERT_EQ(read.model.size(), 1u) << label;
    EXPECT_EQ(read.model[0].vertices, vertices) << label;
    ASSERT_EQ(read.model[0].faces.count(), faces.size()) << label;
    for (std::size_t f = 0; f < faces.size(); ++f) {
      const auto got = read.model[0].faces[f];
      EXPECT_EQ(std::vector<std::int32_t>(got.begin(), got.end()), faces[f]) << label << " face " << f;
    }
  }
}

}  // namespace
