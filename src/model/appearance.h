#pragma once
// How a model looks as its author made it: colours, normals and texture
// coordinates on its surface, and the materials and textures its faces use.

#include <cstdint>
#include <string>
#include <vector>

// How the corners of an object's faces find the values of one attribute.
enum class Binding : std::uint8_t {
  None,       // the object has no such values
  PerVertex,  // value i belongs to vertex i (lines and points take them too)
  PerFace,    // value f belongs to every corner of face f
  PerCorner,  // `corners` holds a value index for each entry of the face table
};

// One attribute: `Width` floats a value (colour RGBA 0..1, normal x y z,
// texture coordinate s t with t = 0 on the picture's bottom row).
template <int Width>
struct SurfaceAttribute {
  static constexpr int width = Width;
  Binding binding = Binding::None;
  std::vector<float> values;
  std::vector<std::int32_t> corners;  // PerCorner only

  bool present() const { return binding != Binding::None; }
  std::size_t count() const { return values.size() / Width; }
  void clear() { *this = SurfaceAttribute{}; }
};

using ColorAttribute = SurfaceAttribute<4>;
using NormalAttribute = SurfaceAttribute<3>;
using TexCoordAttribute = SurfaceAttribute<2>;

struct Rgba {
  float r = 1.0f, g = 1.0f, b = 1.0f, a = 1.0f;
};

// How a material's alpha is taken: ignored, as a cut-out below `alphaCutoff`,
// or blended over what is behind.
enum class AlphaMode : std::uint8_t { Opaque, Mask, Blend };

struct Material {
  std::string name;
  Rgba baseColor;
  std::int32_t texture = -1;  // index into the model's textures; -1: none
  AlphaMode alphaMode = AlphaMode::Opaque;
  float alphaCutoff = 0.5f;
};

// A decoded picture a material maps onto faces: R, G, B, A bytes, rows
// bottom first (as GL takes them), tightly packed.
struct Texture {
  std::string name;  // where it came from, for messages
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgba;
};
