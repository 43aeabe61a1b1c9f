// Compressed glTF meshes for the glTF reader: Draco primitives
// (KHR_draco_mesh_compression) and meshopt buffer views (EXT_ and
// KHR_meshopt_compression) are decoded into buffers of their own, after
// which the reader takes them like any other.
#pragma once

#define TINYGLTF_NO_STB_IMAGE
#define TINYGLTF_NO_STB_IMAGE_WRITE
#define TINYGLTF_NO_EXTERNAL_IMAGE
#define TINYGLTF_NO_FS
#include <tiny_gltf.h>

#include <cstdint>
#include <string>
#include <string_view>

// The parser stops on what compressed files leave out: a meshopt fallback
// buffer that holds nothing, indices of a Draco primitive without a buffer
// view. Gives in `out` the JSON with those made acceptable (the fallback a
// buffer of one byte, the indices dropped: decoding gives them again); false when
// the JSON needs no change or is not JSON at all. `binary` for the JSON of
// a .glb, whose buffer 0 may be its binary chunk.
bool acceptCompressedJson(std::string_view json, std::string& out, bool binary);

// Decodes every compressed buffer view and primitive of `gltf` in place.
// `allowance` is how many elements (vertices, indices) all decoding may give
// together, lessened by what it gives. Empty when all went well, else why
// the file cannot be read ("has damaged Draco data in mesh 0, primitive 0"),
// `damaged` telling damage from what the reader does not do.
std::string decompressGltf(tinygltf::Model& gltf, std::uint64_t& allowance, bool& damaged);
