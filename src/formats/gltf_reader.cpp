// glTF 2.0, as JSON (.gltf, its buffers in files beside it or in data URIs)
// or binary (.glb): every triangle primitive of the default scene's meshes,
// strips and fans turned into triangles, each placed by its node's world
// transform. One object a primitive each time a node shows it.
#define TINYGLTF_NO_STB_IMAGE
#define TINYGLTF_NO_STB_IMAGE_WRITE
#define TINYGLTF_NO_EXTERNAL_IMAGE
#define TINYGLTF_NO_FS
#include <tiny_gltf.h>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <new>
#include <span>
#include <type_traits>
#include <string>
#include <vector>

#include "formats/binary_file.h"
#include "formats/readers.h"
#include "platform/large_arrays.h"

namespace {

// Most vertices and corners all primitives together may give: any number of
// nodes can show one big mesh, and an accessor without data stands for as
// many zeros as it says. Sixteen for each byte read is room for much reuse.
constexpr std::uint64_t kLargestOutput = std::uint64_t{1} << 27;
constexpr std::uint64_t kOutputPerByte = 16;

using Matrix = std::array<double, 16>;  // column major, as glTF stores it
constexpr Matrix kIdentity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

Matrix multiply(const Matrix& a, const Matrix& b) {
  Matrix c{};
  for (int col = 0; col < 4; ++col) {
    for (int row = 0; row < 4; ++row) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[col * 4 + k];
      c[col * 4 + row] = sum;
    }
  }
  return c;
}

// A node's own transform: its matrix, or translation x rotation x scale.
Matrix localTransform(const tinygltf::Node& node) {
  if (node.matrix.size() == 16) {
    Matrix m;
    std::copy(node.matrix.begin(), node.matrix.end(), m.begin());
    return m;
  }
  Matrix m = kIdentity;
  if (node.rotation.size() == 4) {
    const double x = node.rotation[0], y = node.rotation[1], z = node.rotation[2], w = node.rotation[3];
    m = {1 - 2 * (y * y + z * z), 2 * (x * y + z * w),     2 * (x * z - y * w),     0,
         2 * (x * y - z * w),     1 - 2 * (x * x + z * z), 2 * (y * z + x * w),     0,
         2 * (x * z + y * w),     2 * (y * z - x * w),     1 - 2 * (x * x + y * y), 0,
         0,                       0,                       0,                       1};
  }
  if (node.scale.size() == 3) {
    for (int col = 0; col < 3; ++col) {
      for (int row = 0; row < 3; ++row) m[col * 4 + row] *= node.scale[col];
    }
  }
  if (node.translation.size() == 3) {
    for (int row = 0; row < 3; ++row) m[12 + row] = node.translation[row];
  }
  return m;
}

// The files a .gltf names are read only when they are plain files: a name
// such as /dev/zero or a pipe must not hold the reader up. Nothing is written.
bool fileExists(const std::string& path, void*) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}
std::string samePath(const std::string& path, void*) { return path; }
bool readNamedFile(std::vector<unsigned char>* out, std::string* err, const std::string& path, void*) {
  FileHandle file = fileExists(path, nullptr) ? openForReading(path.c_str(), "rb") : FileHandle();
  if (file && readWholeFile(file.get(), *out)) return true;
  if (err != nullptr) *err += "cannot read " + path + "\n";
  return false;
}
bool writeNothing(std::string*, const std::string&, const std::vector<unsigned char>&, void*) { return false; }
// Pictures are materials, not geometry: they are not decoded.
bool keepPictureUndecoded(tinygltf::Image*, const int, std::string*, std::string*, int, int, const unsigned char*,
                          int, void*) {
  return true;
}

class GltfGeometry {
 public:
  explicit GltfGeometry(const tinygltf::Model& gltf, std::uint64_t bytesRead)
      : gltf_(gltf), visited_(gltf.nodes.size(), false) {
    for (const tinygltf::Buffer& buffer : gltf.buffers) bytesRead += buffer.data.size();
    budget_ = std::min(kLargestOutput, kOutputPerByte * bytesRead + 4096);
  }

  // Adds the node and everything under it, depth first, children in their
  // order; false for damage. A list of nodes still to visit, not recursion:
  // a chain of nodes may be as long as the file allows.
  bool addTree(int root) {
    std::vector<std::pair<int, Matrix>> pending{{root, kIdentity}};
    while (!pending.empty()) {
      const auto [index, parent] = pending.back();
      pending.pop_back();
      if (index < 0 || static_cast<std::size_t>(index) >= gltf_.nodes.size()) return false;
      // Nodes form trees: a node met twice is a loop or a shared child.
      if (visited_[static_cast<std::size_t>(index)]) return false;
      visited_[static_cast<std::size_t>(index)] = true;
      const tinygltf::Node& node = gltf_.nodes[static_cast<std::size_t>(index)];
      const Matrix world = multiply(parent, localTransform(node));
      if (node.mesh >= 0) {
        if (static_cast<std::size_t>(node.mesh) >= gltf_.meshes.size()) return false;
        for (const tinygltf::Primitive& primitive : gltf_.meshes[static_cast<std::size_t>(node.mesh)].primitives) {
          if (!addPrimitive(primitive, world)) return false;
        }
      }
      for (auto child = node.children.rbegin(); child != node.children.rend(); ++child) pending.push_back({*child, world});
    }
    return true;
  }

  Model take() { return std::move(model_); }

 private:
  // Where an accessor's elements are, checked against its buffer.
  struct Elements {
    const unsigned char* data = nullptr;  // nullptr: all zero
    std::size_t stride = 0, count = 0;
    int componentType = 0, components = 0;
    bool normalized = false;
  };

  bool locate(int viewIndex, std::size_t offset, std::size_t count, std::size_t elementSize, std::size_t stride,
              const unsigned char*& data) const {
    if (viewIndex < 0 || static_cast<std::size_t>(viewIndex) >= gltf_.bufferViews.size()) return false;
    const tinygltf::BufferView& view = gltf_.bufferViews[static_cast<std::size_t>(viewIndex)];
    if (view.buffer < 0 || static_cast<std::size_t>(view.buffer) >= gltf_.buffers.size()) return false;
    const std::vector<unsigned char>& buffer = gltf_.buffers[static_cast<std::size_t>(view.buffer)].data;
    if (view.byteOffset > buffer.size() || view.byteLength > buffer.size() - view.byteOffset) return false;
    if (offset > view.byteLength) return false;
    const std::size_t room = view.byteLength - offset;
    if (count > 0 && (room < elementSize || (count - 1) > (room - elementSize) / stride)) return false;
    data = buffer.data() + view.byteOffset + offset;
    return true;
  }

  bool elements(int accessorIndex, int type, Elements& out) const {
    if (accessorIndex < 0 || static_cast<std::size_t>(accessorIndex) >= gltf_.accessors.size()) return false;
    const tinygltf::Accessor& accessor = gltf_.accessors[static_cast<std::size_t>(accessorIndex)];
    const int componentSize = tinygltf::GetComponentSizeInBytes(static_cast<std::uint32_t>(accessor.componentType));
    if (accessor.type != type || componentSize <= 0 || accessor.count > kLargestOutput) return false;
    out.componentType = accessor.componentType;
    out.components = tinygltf::GetNumComponentsInType(static_cast<std::uint32_t>(type));
    out.normalized = accessor.normalized;
    out.count = accessor.count;
    const std::size_t elementSize = static_cast<std::size_t>(componentSize) * static_cast<std::size_t>(out.components);
    out.stride = elementSize;
    if (accessor.bufferView < 0) return true;  // zeros, unless sparse values replace some
    const std::size_t viewStride = gltf_.bufferViews.size() > static_cast<std::size_t>(accessor.bufferView)
                                       ? gltf_.bufferViews[static_cast<std::size_t>(accessor.bufferView)].byteStride
                                       : 0;
    if (viewStride != 0) {
      if (viewStride < elementSize) return false;
      out.stride = viewStride;
    }
    return locate(accessor.bufferView, accessor.byteOffset, out.count, elementSize, out.stride, out.data);
  }

  static double component(const unsigned char* at, int type, bool normalized) {
    auto read = [at](auto value) {
      std::memcpy(&value, at, sizeof value);
      return value;
    };
    // A normalised integer stands for its value over the type's largest,
    // the most negative one clamped to -1.
    auto scaled = [normalized](double value, double largest) { return normalized ? std::max(value / largest, -1.0) : value; };
    switch (type) {
      case TINYGLTF_COMPONENT_TYPE_BYTE: return scaled(read(std::int8_t{}), 127.0);
      case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE: return scaled(read(std::uint8_t{}), 255.0);
      case TINYGLTF_COMPONENT_TYPE_SHORT: return scaled(read(std::int16_t{}), 32767.0);
      case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: return scaled(read(std::uint16_t{}), 65535.0);
      case TINYGLTF_COMPONENT_TYPE_INT: return read(std::int32_t{});
      case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT: return read(std::uint32_t{});
      case TINYGLTF_COMPONENT_TYPE_FLOAT: return read(float{});
      case TINYGLTF_COMPONENT_TYPE_DOUBLE: return read(double{});
    }
    return 0;
  }

  // Every value of an accessor, sparse substitutions made.
  // (Indices come out as whole numbers of at most 32 bits, positions as
  // doubles for the transform.)
  template <typename T>
  bool values(int accessorIndex, int type, std::vector<T>& out) const {
    Elements where;
    if (!elements(accessorIndex, type, where)) return false;
    // Whole numbers only from the unsigned types indices are stored in (a
    // float would not convert safely).
    if (std::is_integral_v<T> && where.componentType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE &&
        where.componentType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
        where.componentType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT) {
      return false;
    }
    if (where.count > budget_) return false;
    const int size = tinygltf::GetComponentSizeInBytes(static_cast<std::uint32_t>(where.componentType));
    const std::size_t n = static_cast<std::size_t>(where.components);
    out.assign(where.count * n, T{});
    for (std::size_t e = 0; where.data != nullptr && e < where.count; ++e) {
      for (std::size_t c = 0; c < n; ++c) {
        out[e * n + c] = static_cast<T>(component(where.data + e * where.stride + c * static_cast<std::size_t>(size),
                                                  where.componentType, where.normalized));
      }
    }
    const tinygltf::Accessor& accessor = gltf_.accessors[static_cast<std::size_t>(accessorIndex)];
    if (!accessor.sparse.isSparse) return true;
    const auto& sparse = accessor.sparse;
    const int indexSize = tinygltf::GetComponentSizeInBytes(static_cast<std::uint32_t>(sparse.indices.componentType));
    if (sparse.count < 0 || indexSize <= 0 || sparse.indices.byteOffset < 0 || sparse.values.byteOffset < 0) {
      return false;
    }
    const auto count = static_cast<std::size_t>(sparse.count);
    const std::size_t elementSize = static_cast<std::size_t>(size) * n;
    const unsigned char *indices = nullptr, *replacements = nullptr;
    if (!locate(sparse.indices.bufferView, static_cast<std::size_t>(sparse.indices.byteOffset), count,
                static_cast<std::size_t>(indexSize), static_cast<std::size_t>(indexSize), indices) ||
        !locate(sparse.values.bufferView, static_cast<std::size_t>(sparse.values.byteOffset), count, elementSize,
                elementSize, replacements)) {
      return false;
    }
    for (std::size_t k = 0; k < count; ++k) {
      const double at = component(indices + k * static_cast<std::size_t>(indexSize), sparse.indices.componentType, false);
      if (!(at >= 0 && at < static_cast<double>(where.count))) return false;
      for (std::size_t c = 0; c < n; ++c) {
        out[static_cast<std::size_t>(at) * n + c] = static_cast<T>(component(
            replacements + k * elementSize + c * static_cast<std::size_t>(size), where.componentType, where.normalized));
      }
    }
    return true;
  }

  bool addPrimitive(const tinygltf::Primitive& primitive, const Matrix& world) {
    const int mode = primitive.mode < 0 ? TINYGLTF_MODE_TRIANGLES : primitive.mode;
    if (mode != TINYGLTF_MODE_TRIANGLES && mode != TINYGLTF_MODE_TRIANGLE_STRIP && mode != TINYGLTF_MODE_TRIANGLE_FAN) {
      return true;  // points and lines have no faces to show
    }
    const auto position = primitive.attributes.find("POSITION");
    if (position == primitive.attributes.end()) return true;
    std::vector<double> xyz;
    if (!values(position->second, TINYGLTF_TYPE_VEC3, xyz)) return false;
    budget_ -= xyz.size() / 3;
    std::vector<std::uint32_t> order;
    if (primitive.indices >= 0) {
      if (!values(primitive.indices, TINYGLTF_TYPE_SCALAR, order)) return false;
    } else {
      if (xyz.size() / 3 > budget_) return false;
      order.resize(xyz.size() / 3);
      for (std::size_t k = 0; k < order.size(); ++k) order[k] = static_cast<std::uint32_t>(k);
    }
    budget_ -= order.size();
    MeshObject& object = model_.emplace_back();
    resizeLargeArray(object.vertices, xyz.size());
    for (std::size_t v = 0; v < xyz.size(); v += 3) {
      for (int row = 0; row < 3; ++row) {
        object.vertices[v + static_cast<std::size_t>(row)] = static_cast<float>(
            world[row] * xyz[v] + world[4 + row] * xyz[v + 1] + world[8 + row] * xyz[v + 2] + world[12 + row]);
      }
    }
    // An index past the vertices (or past 32 bits) is kept as -1: its face
    // is dropped with the others that name missing vertices.
    auto corner = [&, vertices = xyz.size() / 3](std::size_t k) {
      return order[k] < vertices ? static_cast<std::int32_t>(order[k]) : -1;
    };
    const std::size_t n = order.size();
    const std::size_t triangles = mode == TINYGLTF_MODE_TRIANGLES ? n / 3 : (n >= 3 ? n - 2 : 0);
    resizeLargeArray(object.faces.indices, 3 * triangles);
    resizeLargeArray(object.faces.offsets, triangles + 1);
    for (std::size_t t = 0; t < triangles; ++t) {
      object.faces.offsets[t + 1] = static_cast<std::uint32_t>(3 * (t + 1));
      std::int32_t* face = &object.faces.indices[3 * t];
      if (mode == TINYGLTF_MODE_TRIANGLES) {
        face[0] = corner(3 * t), face[1] = corner(3 * t + 1), face[2] = corner(3 * t + 2);
      } else if (mode == TINYGLTF_MODE_TRIANGLE_STRIP) {
        // Every other triangle of a strip is turned so all face one way.
        face[0] = corner(t), face[1] = corner(t + 1 + t % 2), face[2] = corner(t + 2 - t % 2);
      } else {
        face[0] = corner(t + 1), face[1] = corner(t + 2), face[2] = corner(0);
      }
    }
    return true;
  }

  const tinygltf::Model& gltf_;
  std::vector<bool> visited_;
  Model model_;
  std::uint64_t budget_ = 0;
};

bool usesCompression(const tinygltf::Model& gltf) {
  for (const std::string& extension : gltf.extensionsRequired) {
    if (extension == "KHR_draco_mesh_compression" || extension == "EXT_meshopt_compression" ||
        extension == "KHR_meshopt_compression") {
      return true;
    }
  }
  for (const tinygltf::Mesh& mesh : gltf.meshes) {
    for (const tinygltf::Primitive& primitive : mesh.primitives) {
      if (primitive.extensions.count("KHR_draco_mesh_compression") == 0) continue;
      // Readers without the decoder use the uncompressed data, when there is any.
      const auto position = primitive.attributes.find("POSITION");
      if (position == primitive.attributes.end() || position->second < 0 ||
          static_cast<std::size_t>(position->second) >= gltf.accessors.size() ||
          gltf.accessors[static_cast<std::size_t>(position->second)].bufferView < 0) {
        return true;
      }
    }
  }
  return false;
}

// The parser follows nested arrays and objects by recursion: text nested
// deeper than any glTF file needs would exhaust the stack. Counts the
// nesting outside strings.
bool nestedWithin(std::string_view json, int most) {
  int depth = 0;
  bool inString = false;
  for (std::size_t k = 0; k < json.size(); ++k) {
    const char c = json[k];
    if (inString) {
      if (c == '\\') ++k;
      else if (c == '"') inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > most) return false;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return true;
}

constexpr int kDeepestNesting = 256;

}  // namespace

ReadResult readGltfFile(const char* name) {
  std::vector<std::uint8_t> bytes;
  if (ReadResult loaded = loadBinaryFile(name, bytes); !loaded) return loaded;
  if (bytes.size() > UINT32_MAX) return refuseDamaged(name);
  const std::string path(name);
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);

  tinygltf::TinyGLTF parser;
  parser.SetFsCallbacks({fileExists, samePath, readNamedFile, writeNothing, nullptr});
  parser.SetImageLoader(keepPictureUndecoded, nullptr);
  tinygltf::Model gltf;
  std::string error, warning;
  const auto size = static_cast<unsigned int>(bytes.size());
  const bool binary = bytes.size() >= 4 && std::memcmp(bytes.data(), "glTF", 4) == 0;
  // The JSON: the whole of a text file, the first chunk of a binary one.
  std::string_view json(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (binary) {
    ByteCursor in(bytes);
    in.skip(8);
    // A binary file states its own length: less than that is a cut file.
    if (in.u32le() > bytes.size()) return refuseDamaged(name);
    json = json.substr(std::min<std::size_t>(20, json.size()), in.u32le());
  }
  if (!nestedWithin(json, kDeepestNesting)) return refuseDamaged(name);
  bool parsed = false;
  // The parser throws on some malformed files (a buffer of length 0 in a
  // binary file reads its element 0): that file is not a glTF file we read.
  try {
    parsed = binary ? parser.LoadBinaryFromMemory(&gltf, &error, &warning, bytes.data(), size, folder)
                    : parser.LoadASCIIFromString(&gltf, &error, &warning, reinterpret_cast<const char*>(bytes.data()),
                                                 size, folder);
  } catch (const std::bad_alloc&) {
    throw;  // the dispatch says the file needs more memory than there is
  } catch (const std::exception&) {
    error = "the glTF parser stopped on malformed data\n";
  }
  if (!parsed) {
    debugMessage("%s", error.c_str());
    return refuseHeader("File, %s, is not a valid glTF file.\n", name);
  }
  if (gltf.asset.version.rfind("2.", 0) != 0) return refuseHeader("File, %s, is not a glTF 2.0 file.\n", name);
  if (usesCompression(gltf)) {
    return refuseHeader("File, %s, holds compressed meshes (Draco or meshopt), which cannot be read.\n", name);
  }
  GltfGeometry geometry(gltf, bytes.size());
  std::vector<int> roots;
  if (!gltf.scenes.empty()) {
    const int scene = gltf.defaultScene >= 0 ? gltf.defaultScene : 0;
    if (static_cast<std::size_t>(scene) >= gltf.scenes.size()) return refuseDamaged(name);
    roots = gltf.scenes[static_cast<std::size_t>(scene)].nodes;
  } else {
    // No scene: every node that is no other node's child.
    std::vector<bool> child(gltf.nodes.size(), false);
    for (const tinygltf::Node& node : gltf.nodes) {
      for (int c : node.children) {
        if (c >= 0 && static_cast<std::size_t>(c) < child.size()) child[static_cast<std::size_t>(c)] = true;
      }
    }
    for (std::size_t n = 0; n < gltf.nodes.size(); ++n) {
      if (!child[n]) roots.push_back(static_cast<int>(n));
    }
  }
  for (int root : roots) {
    if (!geometry.addTree(root)) return refuseDamaged(name);
  }
  return finishModel(geometry.take(), name);
}
