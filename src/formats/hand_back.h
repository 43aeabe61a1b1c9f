#pragma once
// The stream in which tessera-import hands a model it read through the import
// library back to the program that ran it: exactly what a Model keeps, in
// little-endian binary, so that the parent rebuilds it without a parser of
// any size and checks every count against the bytes that came.
//
//   "TSHB", u32 version (1), u8 kind: 0 a model, 1 a failure
//   failure: string reason
//   model:   u32 textures, each: string name, u32 width, u32 height, u32 size, bytes
//              (width 0: the bytes are an encoded picture, or none and the
//              name is a file beside the model; else RGBA rows, bottom first)
//            u32 materials, each: string name, f32 r g b a, i32 texture,
//              u8 alpha mode, f32 alpha cutoff
//            u32 objects, each: u32 vertices, f32 x y z each,
//              faces and lines each as u32 count, u32 corners, u32 size
//              each, i32 corners; u8 which per-vertex values follow
//              (1 colours RGBA, 2 normals, 4 texture coordinates), those
//              values, i32 material
//   a string is a u32 length and that many bytes; nothing may follow.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "formats/reader_support.h"
#include "model/mesh_object.h"

inline constexpr std::uint32_t kHandBackVersion = 1;

// A texture as the child found it; the parent decodes it.
struct HandBackTexture {
  std::string name;
  int width = 0, height = 0;        // 0: `bytes` are encoded, or empty for a file named `name`
  std::vector<std::uint8_t> bytes;  // width > 0: RGBA, rows bottom first
};

struct HandBack {
  Model model;  // its materials' textures index `textures`; model.textures unused
  std::vector<HandBackTexture> textures;
  std::string failure;  // not empty: the child read no model, and why
};

std::vector<std::uint8_t> writeHandBack(const HandBack& handBack);

// Reads a stream; false, and why in `reason`, for one that is not whole and
// consistent (a count beyond the bytes there, an index out of range, bytes
// left over).
bool parseHandBack(std::span<const std::uint8_t> bytes, HandBack& handBack, std::string& reason);

// The model of a parsed stream with its textures decoded (files looked for
// beside `modelPath`), through finishModel.
ReadResult modelOfHandBack(HandBack handBack, const char* modelPath);
