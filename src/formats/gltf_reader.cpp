// glTF 2.0, as JSON (.gltf, its buffers in files beside it or in data URIs)
// or binary (.glb): every primitive of the default scene's meshes, each
// placed by its node's world transform, one object a primitive each time a
// node shows it. Strips and fans are turned into triangles, line modes into
// polylines, points into point clouds; normals, texture coordinates (set 0)
// and colours (set 0) come per vertex, and each primitive's material brings
// its base colour, its base colour picture (PNG or JPEG) and its alpha mode.
// Draco and meshopt compressed meshes are decoded first; quantised
// attributes read through their component types.
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iterator>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "formats/binary_file.h"
#include "formats/gltf_compression.h"
#include "formats/readers.h"
#include "formats/texture_files.h"
#include "platform/large_arrays.h"

namespace {

// Most vertices and corners all primitives together may give: any number of
// nodes can show one big mesh, and an accessor without data stands for as
// many zeros as it says. Sixteen for each byte read is room for much reuse.
constexpr std::uint64_t kLargestOutput = std::uint64_t{1} << 27;
constexpr std::uint64_t kOutputPerByte = 16;

// `bytesRead`: the file's and its buffers' bytes, decoded ones not counted.
std::uint64_t outputBudget(std::uint64_t bytesRead) {
  return std::min(kLargestOutput, kOutputPerByte * bytesRead + 4096);
}

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
// The parser hands over the bytes of each picture it finds in a data URI or
// a buffer view; the reader decodes them itself. Those of a buffer view are
// not taken here: the parser does not check the view against its buffer, so
// the reader finds them again through its own checked path.
bool keepPictureBytes(tinygltf::Image* image, const int, std::string*, std::string*, int, int,
                      const unsigned char* bytes, int size, void*) {
  if (image->bufferView < 0 && bytes != nullptr && size > 0) {
    image->image.assign(bytes, bytes + size);
    image->as_is = true;
  }
  return true;
}

// The bytes of a base64 data URI's payload: decoding stops at the first
// character that is not base64 (padding included).
std::vector<std::uint8_t> decodeBase64(std::string_view text) {
  auto sextet = [](char c) -> int {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    return c == '+' ? 62 : c == '/' ? 63 : -1;
  };
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() / 4 * 3);
  std::uint32_t bits = 0;
  int held = 0;
  for (char c : text) {
    const int value = sextet(c);
    if (value < 0) break;
    bits = (bits << 6) | static_cast<std::uint32_t>(value);
    held += 6;
    if (held >= 8) {
      held -= 8;
      bytes.push_back(static_cast<std::uint8_t>(bits >> held));
    }
  }
  return bytes;
}

// A URI names its file with %XX for bytes such as spaces.
std::string decodePercents(std::string_view uri) {
  auto hex = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string name;
  for (std::size_t k = 0; k < uri.size(); ++k) {
    if (uri[k] == '%' && k + 2 < uri.size() && hex(uri[k + 1]) >= 0 && hex(uri[k + 2]) >= 0) {
      name += static_cast<char>(hex(uri[k + 1]) * 16 + hex(uri[k + 2]));
      k += 2;
    } else {
      name += uri[k];
    }
  }
  return name;
}

float unitClamped(double value) { return static_cast<float>(std::clamp(value, 0.0, 1.0)); }

// Where a list of what could not be used goes: each kind once.
void note(std::string& notes, const char* what) {
  if (notes.find(what) != std::string::npos) return;
  if (!notes.empty()) notes += ", ";
  notes += what;
}

class GltfGeometry {
 public:
  GltfGeometry(const tinygltf::Model& gltf, std::uint64_t bytesRead, const char* name)
      : gltf_(gltf),
        name_(name),
        visited_(gltf.nodes.size(), false),
        materialOf_(gltf.materials.size(), kNotYet),
        textureOf_(gltf.images.size(), kNotYet),
        budget_(outputBudget(bytesRead)) {}

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
          if (!addPrimitive(primitive, world, index)) return false;
        }
      }
      for (auto child = node.children.rbegin(); child != node.children.rend(); ++child) pending.push_back({*child, world});
    }
    return true;
  }

  // The model in file order (drawing puts blended surfaces after the rest).
  Model take() { return std::move(model_); }

  // What could not be used, each kind once ("colours, textures"); empty when
  // everything could.
  const std::string& leftOut() const { return leftOut_; }

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

  bool addPrimitive(const tinygltf::Primitive& primitive, const Matrix& world, int nodeIndex) {
    const int mode = primitive.mode < 0 ? TINYGLTF_MODE_TRIANGLES : primitive.mode;
    const bool surface =
        mode == TINYGLTF_MODE_TRIANGLES || mode == TINYGLTF_MODE_TRIANGLE_STRIP || mode == TINYGLTF_MODE_TRIANGLE_FAN;
    const bool lines =
        mode == TINYGLTF_MODE_LINE || mode == TINYGLTF_MODE_LINE_LOOP || mode == TINYGLTF_MODE_LINE_STRIP;
    if (!surface && !lines && mode != TINYGLTF_MODE_POINTS) return true;  // no such mode
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
    const std::size_t n = order.size(), vertices = xyz.size() / 3;
    if (lines && n < 2) return true;  // not one line to draw
    // Points given by indices are the vertices they name, in their order.
    std::vector<std::uint32_t> picked;
    const bool byIndex = mode == TINYGLTF_MODE_POINTS && primitive.indices >= 0;
    if (byIndex) {
      std::copy_if(order.begin(), order.end(), std::back_inserter(picked), [&](std::uint32_t k) { return k < vertices; });
    }
    MeshObject& object = model_.emplace_back();
    const std::size_t kept = byIndex ? picked.size() : vertices;
    resizeLargeArray(object.vertices, 3 * kept);
    for (std::size_t v = 0; v < kept; ++v) {
      const double* p = &xyz[3 * (byIndex ? picked[v] : v)];
      for (int row = 0; row < 3; ++row) {
        object.vertices[3 * v + static_cast<std::size_t>(row)] =
            static_cast<float>(world[row] * p[0] + world[4 + row] * p[1] + world[8 + row] * p[2] + world[12 + row]);
      }
    }
    // An index past the vertices (or past 32 bits) is kept as -1: its face
    // or line is dropped with the others that name missing vertices.
    auto corner = [&](std::size_t k) { return order[k] < vertices ? static_cast<std::int32_t>(order[k]) : -1; };
    if (surface) {
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
    } else if (mode == TINYGLTF_MODE_LINE) {
      const std::size_t segments = n / 2;
      resizeLargeArray(object.lines.indices, 2 * segments);
      resizeLargeArray(object.lines.offsets, segments + 1);
      for (std::size_t s = 0; s < segments; ++s) {
        object.lines.offsets[s + 1] = static_cast<std::uint32_t>(2 * (s + 1));
        object.lines.indices[2 * s] = corner(2 * s), object.lines.indices[2 * s + 1] = corner(2 * s + 1);
      }
    } else if (lines) {
      // A strip is one polyline; a loop comes back to where it began.
      const bool loop = mode == TINYGLTF_MODE_LINE_LOOP;
      std::span<std::int32_t> line = object.lines.append(n + (loop ? 1 : 0));
      for (std::size_t k = 0; k < n; ++k) line[k] = corner(k);
      if (loop) line[n] = corner(0);
    }
    addAttributes(primitive, object, vertices, byIndex ? &picked : nullptr, world);
    object.material = materialFor(primitive.material);
    if (!gltf_.animations.empty() && !byIndex && !recordAnimated(primitive, nodeIndex, xyz)) return false;
    return true;
  }

 public:
  // The nodes, skins and animations that move the objects recorded so far;
  // false for damage. Channels that cannot be used are left out (and noted).
  bool addAnimations() {
    SceneAnimation& scene = model_.scene;
    if (gltf_.animations.empty() || scene.objects.empty()) return true;
    scene.nodes.resize(gltf_.nodes.size());
    for (std::size_t n = 0; n < gltf_.nodes.size(); ++n) {
      const tinygltf::Node& node = gltf_.nodes[n];
      SceneNode& out = scene.nodes[n];
      for (int child : node.children) {
        if (child >= 0 && static_cast<std::size_t>(child) < scene.nodes.size()) {
          scene.nodes[static_cast<std::size_t>(child)].parent = static_cast<int>(n);
        }
      }
      out.hasMatrix = node.matrix.size() == 16;
      for (std::size_t k = 0; k < 16 && out.hasMatrix; ++k) out.matrix[k] = static_cast<float>(node.matrix[k]);
      for (std::size_t k = 0; k < 3 && node.translation.size() == 3; ++k) out.translation[k] = static_cast<float>(node.translation[k]);
      for (std::size_t k = 0; k < 4 && node.rotation.size() == 4; ++k) out.rotation[k] = static_cast<float>(node.rotation[k]);
      for (std::size_t k = 0; k < 3 && node.scale.size() == 3; ++k) out.scale[k] = static_cast<float>(node.scale[k]);
      if (node.mesh >= 0 && static_cast<std::size_t>(node.mesh) < gltf_.meshes.size()) {
        const auto& weights = node.weights.empty() ? gltf_.meshes[static_cast<std::size_t>(node.mesh)].weights : node.weights;
        for (double w : weights) out.weights.push_back(static_cast<float>(w));
      }
    }
    for (const tinygltf::Skin& skin : gltf_.skins) {
      SceneSkin& out = scene.skins.emplace_back();
      out.joints = skin.joints;
      if (skin.inverseBindMatrices >= 0 && (!values(skin.inverseBindMatrices, TINYGLTF_TYPE_MAT4, out.inverseBind) ||
                                            out.inverseBind.size() != 16 * skin.joints.size())) {
        out.inverseBind.clear();
        note(leftOut_, "skins");
      }
    }
    for (const tinygltf::Animation& animation : gltf_.animations) {
      NodeAnimation& out = scene.animations.emplace_back();
      out.name = animation.name.empty() ? "animation " + std::to_string(scene.animations.size()) : animation.name;
      for (const tinygltf::AnimationChannel& channel : animation.channels) {
        AnimationChannel c;
        if (!readChannel(animation, channel, c)) {
          note(leftOut_, "animation channels");
          continue;
        }
        out.seconds = std::max(out.seconds, c.times.back());
        out.channels.push_back(std::move(c));
      }
    }
    // Objects with nothing in them are dropped when the model is finished:
    // the others are numbered as they will be then.
    std::vector<std::int32_t> kept(model_.size(), -1);
    std::int32_t next = 0;
    for (std::size_t i = 0; i < model_.size(); ++i) {
      if (!model_[i].vertices.empty() || model_[i].faces.count() > 0) kept[i] = next++;
    }
    std::erase_if(scene.objects, [&](const AnimatedObject& o) { return kept[static_cast<std::size_t>(o.object)] < 0; });
    for (AnimatedObject& o : scene.objects) o.object = kept[static_cast<std::size_t>(o.object)];
    return true;
  }

 private:
  bool readChannel(const tinygltf::Animation& animation, const tinygltf::AnimationChannel& channel, AnimationChannel& c) {
    if (channel.sampler < 0 || static_cast<std::size_t>(channel.sampler) >= animation.samplers.size()) return false;
    if (channel.target_node < 0 || static_cast<std::size_t>(channel.target_node) >= gltf_.nodes.size()) return false;
    const tinygltf::AnimationSampler& sampler = animation.samplers[static_cast<std::size_t>(channel.sampler)];
    c.node = channel.target_node;
    const std::string& path = channel.target_path;
    c.path = path == "translation" ? ChannelPath::Translation
             : path == "rotation"  ? ChannelPath::Rotation
             : path == "scale"     ? ChannelPath::Scale
             : path == "weights"   ? ChannelPath::Weights
                                   : ChannelPath(-1);
    if (static_cast<int>(c.path) < 0) return false;
    c.interpolation = sampler.interpolation == "STEP"          ? Interpolation::Step
                      : sampler.interpolation == "CUBICSPLINE" ? Interpolation::CubicSpline
                                                               : Interpolation::Linear;
    if (!values(sampler.input, TINYGLTF_TYPE_SCALAR, c.times) || c.times.empty()) return false;
    for (std::size_t k = 0; k < c.times.size(); ++k) {
      if (!std::isfinite(c.times[k]) || (k > 0 && c.times[k] < c.times[k - 1])) return false;
    }
    const int type = c.path == ChannelPath::Rotation ? TINYGLTF_TYPE_VEC4
                     : c.path == ChannelPath::Weights ? TINYGLTF_TYPE_SCALAR
                                                      : TINYGLTF_TYPE_VEC3;
    if (!values(sampler.output, type, c.values)) return false;
    const std::size_t perKey = c.interpolation == Interpolation::CubicSpline ? 3 : 1;
    const std::size_t keyValues = c.times.size() * perKey;
    c.width = c.path == ChannelPath::Rotation ? 4 : c.path == ChannelPath::Weights ? c.values.size() / keyValues : 3;
    if (c.width == 0 || c.values.size() != keyValues * c.width) return false;
    return std::all_of(c.values.begin(), c.values.end(), [](float v) { return std::isfinite(v); });
  }

  // What moves the object just added: its node, its vertices in its mesh's
  // space, its morph targets and its skin's joints and weights.
  bool recordAnimated(const tinygltf::Primitive& primitive, int nodeIndex, const std::vector<double>& xyz) {
    const std::size_t vertices = xyz.size() / 3;
    AnimatedObject a;
    a.object = static_cast<std::int32_t>(model_.size() - 1);
    a.node = nodeIndex;
    a.positions.assign(xyz.begin(), xyz.end());
    const tinygltf::Node& node = gltf_.nodes[static_cast<std::size_t>(nodeIndex)];
    std::vector<float> read;
    int width = 0;
    if (!model_.back().normals.values.empty() &&
        attribute(primitive, "NORMAL", TINYGLTF_TYPE_VEC3, TINYGLTF_TYPE_VEC3, vertices, nullptr, read, width) == Found::Read) {
      a.normals = std::move(read);
    }
    for (const auto& target : primitive.targets) {
      const auto position = target.find("POSITION");
      std::vector<float> offsets;
      if (position == target.end() || !values(position->second, TINYGLTF_TYPE_VEC3, offsets) ||
          offsets.size() != a.positions.size()) {
        offsets.assign(a.positions.size(), 0.0f);  // a target that moves no position
      }
      if (offsets.size() > budget_) return false;
      budget_ -= offsets.size();
      a.morphTargets.push_back(std::move(offsets));
    }
    if (node.skin >= 0 && static_cast<std::size_t>(node.skin) < gltf_.skins.size()) {
      std::vector<float> joints;
      const Found j = attribute(primitive, "JOINTS_0", TINYGLTF_TYPE_VEC4, TINYGLTF_TYPE_VEC4, vertices, nullptr, joints, width, true);
      const Found w = attribute(primitive, "WEIGHTS_0", TINYGLTF_TYPE_VEC4, TINYGLTF_TYPE_VEC4, vertices, nullptr, a.jointWeights, width);
      if (j == Found::Read && w == Found::Read) {
        a.skin = node.skin;
        a.joints.resize(joints.size());
        for (std::size_t k = 0; k < joints.size(); ++k) {
          a.joints[k] = static_cast<std::uint16_t>(std::clamp(joints[k], 0.0f, 65535.0f));
        }
      } else {
        a.jointWeights.clear();
        note(leftOut_, "skins");
      }
    }
    model_.scene.objects.push_back(std::move(a));
    return true;
  }


  enum class Found { Absent, Unusable, Read };

  // A vertex attribute of one of two accessor types, its values in the
  // order of the object's vertices (`picked` where points chose them).
  // Floats and normalised integers; whole numbers (of 8 or 16 bits) only
  // where `wholeNumbers`: quantised texture coordinates, which a texture
  // transform scales back onto the picture.
  Found attribute(const tinygltf::Primitive& primitive, const char* key, int type, int otherType, std::size_t vertices,
                  const std::vector<std::uint32_t>* picked, std::vector<float>& out, int& width,
                  bool wholeNumbers = false) const {
    const auto found = primitive.attributes.find(key);
    if (found == primitive.attributes.end()) return Found::Absent;
    const int index = found->second;
    if (index < 0 || static_cast<std::size_t>(index) >= gltf_.accessors.size()) return Found::Unusable;
    const tinygltf::Accessor& accessor = gltf_.accessors[static_cast<std::size_t>(index)];
    const int component = accessor.componentType;
    const bool usable =
        component == TINYGLTF_COMPONENT_TYPE_FLOAT ||
        ((accessor.normalized || wholeNumbers) &&
         (component == TINYGLTF_COMPONENT_TYPE_BYTE || component == TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE ||
          component == TINYGLTF_COMPONENT_TYPE_SHORT || component == TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT));
    if (!usable || (accessor.type != type && accessor.type != otherType) || accessor.count != vertices) {
      return Found::Unusable;
    }
    std::vector<float> all;
    if (!values(index, accessor.type, all)) return Found::Unusable;
    width = tinygltf::GetNumComponentsInType(static_cast<std::uint32_t>(accessor.type));
    if (picked == nullptr) {
      out = std::move(all);
      return Found::Read;
    }
    const auto w = static_cast<std::size_t>(width);
    out.resize(picked->size() * w);
    for (std::size_t v = 0; v < picked->size(); ++v) {
      std::copy_n(&all[(*picked)[v] * w], w, &out[v * w]);
    }
    return Found::Read;
  }

  void addAttributes(const tinygltf::Primitive& primitive, MeshObject& object, std::size_t vertices,
                     const std::vector<std::uint32_t>* picked, const Matrix& world) {
    std::vector<float> read;
    int width = 0;
    Found found = attribute(primitive, "NORMAL", TINYGLTF_TYPE_VEC3, TINYGLTF_TYPE_VEC3, vertices, picked, read, width);
    if (found == Found::Read && turnNormals(read, world)) {
      object.normals.binding = Binding::PerVertex;
      object.normals.values = std::move(read);
    } else if (found != Found::Absent) {
      note(leftOut_, "normals");
    }
    found = attribute(primitive, "TEXCOORD_0", TINYGLTF_TYPE_VEC2, TINYGLTF_TYPE_VEC2, vertices, picked, read, width,
                      true);
    if (found == Found::Read) {
      placeOnPicture(primitive.material, read);
      // v runs down from the picture's top row, t up from its bottom row.
      for (std::size_t k = 1; k < read.size(); k += 2) read[k] = 1.0f - read[k];
      object.texCoords.binding = Binding::PerVertex;
      object.texCoords.values = std::move(read);
    } else if (found != Found::Absent) {
      note(leftOut_, "texture coordinates");
    }
    found = attribute(primitive, "COLOR_0", TINYGLTF_TYPE_VEC3, TINYGLTF_TYPE_VEC4, vertices, picked, read, width);
    if (found == Found::Read) {
      const std::size_t count = read.size() / static_cast<std::size_t>(width);
      object.colors.binding = Binding::PerVertex;
      object.colors.values.resize(4 * count);
      for (std::size_t v = 0; v < count; ++v) {
        for (std::size_t c = 0; c < 4; ++c) {
          object.colors.values[4 * v + c] =
              c < static_cast<std::size_t>(width) ? unitClamped(read[v * static_cast<std::size_t>(width) + c]) : 1.0f;
        }
      }
    } else if (found != Found::Absent) {
      note(leftOut_, "colours");
    }
  }

  // Texture coordinates through the base colour picture's texture transform
  // (quantised ones often span 0 to 1 and are scaled back to the picture
  // by it): offset + rotation x scale x (u, v).
  void placeOnPicture(int material, std::vector<float>& uv) const {
    if (material < 0 || static_cast<std::size_t>(material) >= gltf_.materials.size()) return;
    const auto& extensions =
        gltf_.materials[static_cast<std::size_t>(material)].pbrMetallicRoughness.baseColorTexture.extensions;
    const auto found = extensions.find("KHR_texture_transform");
    if (found == extensions.end() || !found->second.IsObject()) return;
    const tinygltf::Value& transform = found->second;
    auto number = [&transform](const char* key, int at, double fallback) {
      if (!transform.Has(key)) return fallback;
      const tinygltf::Value& value = transform.Get(key);
      const tinygltf::Value& item = value.IsArray() ? value.Get(at) : value;
      const double x = item.IsNumber() ? item.GetNumberAsDouble() : fallback;
      return std::isfinite(x) ? x : fallback;
    };
    const double ou = number("offset", 0, 0), ov = number("offset", 1, 0), su = number("scale", 0, 1),
                 sv = number("scale", 1, 1), turn = number("rotation", 0, 0);
    const double c = std::cos(turn), s = std::sin(turn);
    for (std::size_t k = 0; k + 1 < uv.size(); k += 2) {
      const double u = su * uv[k], v = sv * uv[k + 1];
      uv[k] = static_cast<float>(c * u + s * v + ou);
      uv[k + 1] = static_cast<float>(-s * u + c * v + ov);
    }
  }

  // Normals turn with the inverse transpose of the node's transform (a
  // squeeze along one axis tilts them the other way) and are made unit
  // long again; false where the transform flattens the model.
  static bool turnNormals(std::vector<float>& normals, const Matrix& w) {
    const double m00 = w[0], m01 = w[4], m02 = w[8], m10 = w[1], m11 = w[5], m12 = w[9], m20 = w[2], m21 = w[6],
                 m22 = w[10];
    // Cofactors: the inverse transpose times the determinant.
    const double c[3][3] = {{m11 * m22 - m12 * m21, m12 * m20 - m10 * m22, m10 * m21 - m11 * m20},
                            {m02 * m21 - m01 * m22, m00 * m22 - m02 * m20, m01 * m20 - m00 * m21},
                            {m01 * m12 - m02 * m11, m02 * m10 - m00 * m12, m00 * m11 - m01 * m10}};
    const double det = m00 * c[0][0] + m01 * c[0][1] + m02 * c[0][2];
    if (!std::isfinite(det) || det == 0) return false;
    for (std::size_t v = 0; v + 2 < normals.size(); v += 3) {
      double turned[3];
      for (int r = 0; r < 3; ++r) {
        turned[r] = (c[r][0] * normals[v] + c[r][1] * normals[v + 1] + c[r][2] * normals[v + 2]) / det;
      }
      const double length = std::sqrt(turned[0] * turned[0] + turned[1] * turned[1] + turned[2] * turned[2]);
      for (std::size_t r = 0; r < 3; ++r) {
        normals[v + r] = length > 0 && std::isfinite(length) ? static_cast<float>(turned[r] / length) : 0.0f;
      }
    }
    return true;
  }

  // The model's material for a glTF material, made when first used.
  std::int32_t materialFor(int index) {
    if (index < 0) return -1;
    if (static_cast<std::size_t>(index) >= gltf_.materials.size()) {
      note(leftOut_, "materials");
      return -1;
    }
    std::int32_t& known = materialOf_[static_cast<std::size_t>(index)];
    if (known != kNotYet) return known;
    const tinygltf::Material& source = gltf_.materials[static_cast<std::size_t>(index)];
    Material material;
    material.name = source.name;
    const std::vector<double>& factor = source.pbrMetallicRoughness.baseColorFactor;
    if (factor.size() == 4) {
      material.baseColor = {unitClamped(factor[0]), unitClamped(factor[1]), unitClamped(factor[2]),
                            unitClamped(factor[3])};
    }
    material.alphaMode = source.alphaMode == "MASK"    ? AlphaMode::Mask
                         : source.alphaMode == "BLEND" ? AlphaMode::Blend
                                                       : AlphaMode::Opaque;
    material.alphaCutoff = unitClamped(source.alphaCutoff);
    const tinygltf::TextureInfo& picture = source.pbrMetallicRoughness.baseColorTexture;
    if (picture.index >= 0 && picture.texCoord != 0) {
      note(leftOut_, "textures on a second set of texture coordinates");
    } else if (picture.index >= 0) {
      material.texture = textureFor(picture.index);
    }
    model_.materials.push_back(std::move(material));
    return known = static_cast<std::int32_t>(model_.materials.size() - 1);
  }

  // The model's texture for a glTF texture: one for each picture, however
  // many materials use it; -1 where there is none to be had.
  std::int32_t textureFor(int index) {
    if (static_cast<std::size_t>(index) >= gltf_.textures.size()) {
      note(leftOut_, "textures");
      return -1;
    }
    const int source = gltf_.textures[static_cast<std::size_t>(index)].source;
    if (source < 0 || static_cast<std::size_t>(source) >= gltf_.images.size()) {
      // A picture only an extension names is of a kind (KTX2, WebP) not shown.
      note(leftOut_, "textures");
      return -1;
    }
    std::int32_t& known = textureOf_[static_cast<std::size_t>(source)];
    if (known != kNotYet) return known;
    known = -1;
    const tinygltf::Image& image = gltf_.images[static_cast<std::size_t>(source)];
    const std::string_view uri = image.uri;
    const bool dataUri = uri.rfind("data:", 0) == 0;
    const std::string label = !uri.empty() && !dataUri ? decodePercents(uri)
                              : !image.name.empty()    ? image.name
                                                       : "picture " + std::to_string(source);
    std::string kind = image.mimeType;
    std::vector<std::uint8_t> decoded;
    if (dataUri) {
      // One the parser left alone (it decodes only a few exact headers): the
      // header says what it holds.
      const std::size_t comma = uri.find(',');
      const std::string_view header = uri.substr(5, comma == std::string_view::npos ? 0 : comma - 5);
      kind = header.substr(0, header.find(';'));
      if (comma != std::string_view::npos && header.ends_with(";base64")) decoded = decodeBase64(uri.substr(comma + 1));
    }
    if (!kind.empty() && kind != "image/png" && kind != "image/jpeg" && kind != "application/octet-stream") {
      debugMessage(
          "File, %s, holds a picture, %s, of a kind that cannot be shown (%.40s); its material keeps its colour.\n",
          name_, label.c_str(), kind.c_str());
      return known;
    }
    if (image.bufferView >= 0) {
      const unsigned char* data = nullptr;
      const std::size_t length = static_cast<std::size_t>(image.bufferView) < gltf_.bufferViews.size()
                                     ? gltf_.bufferViews[static_cast<std::size_t>(image.bufferView)].byteLength
                                     : 0;
      if (!locate(image.bufferView, 0, 1, length, 1, data)) {
        note(leftOut_, "textures");
        return known;
      }
      return known = addTextureBytes(model_, name_, {data, length}, label);
    }
    if (!image.image.empty()) return known = addTextureBytes(model_, name_, image.image, label);
    if (dataUri) return known = addTextureBytes(model_, name_, decoded, label);
    if (!uri.empty()) return known = addTextureFile(model_, name_, label);
    note(leftOut_, "textures");
    return known;
  }

  static constexpr std::int32_t kNotYet = -2;

  const tinygltf::Model& gltf_;
  const char* name_;
  std::vector<bool> visited_;
  std::vector<std::int32_t> materialOf_, textureOf_;  // kNotYet until first used
  Model model_;
  std::uint64_t budget_ = 0;
  std::string leftOut_;
};

// The first extension the file cannot be read without that the reader does
// not read; empty when there is none.
std::string missingExtension(const tinygltf::Model& gltf) {
  static constexpr std::string_view kRead[] = {"KHR_draco_mesh_compression", "EXT_meshopt_compression",
                                               "KHR_meshopt_compression", "KHR_mesh_quantization",
                                               "KHR_texture_transform"};
  for (const std::string& extension : gltf.extensionsRequired) {
    if (std::find(std::begin(kRead), std::end(kRead), extension) == std::end(kRead)) return extension;
  }
  return {};
}

// The binary file `bytes` (at least its 20 bytes of headers) with its JSON
// chunk, which ends at `jsonEnd`, replaced by `json`.
std::vector<std::uint8_t> withJson(const std::vector<std::uint8_t>& bytes, std::size_t jsonEnd, std::string json) {
  while (json.size() % 4 != 0) json += ' ';
  std::vector<std::uint8_t> rebuilt;
  const auto u32 = [&rebuilt](std::size_t value) {
    for (int shift = 0; shift < 32; shift += 8) rebuilt.push_back(static_cast<std::uint8_t>(value >> shift));
  };
  const std::size_t rest = bytes.size() - jsonEnd;
  rebuilt.insert(rebuilt.end(), bytes.begin(), bytes.begin() + 8);
  u32(20 + json.size() + rest);
  u32(json.size());
  rebuilt.insert(rebuilt.end(), bytes.begin() + 16, bytes.begin() + 20);  // the chunk's type, as it was
  rebuilt.insert(rebuilt.end(), json.begin(), json.end());
  rebuilt.insert(rebuilt.end(), bytes.begin() + static_cast<std::ptrdiff_t>(jsonEnd), bytes.end());
  return rebuilt;
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
  parser.SetImageLoader(keepPictureBytes, nullptr);
  tinygltf::Model gltf;
  std::string error, warning;
  const bool binary = bytes.size() >= 4 && std::memcmp(bytes.data(), "glTF", 4) == 0;
  // The JSON: the whole of a text file, the first chunk of a binary one.
  std::string_view json(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (binary) {
    ByteCursor in(bytes);
    in.skip(4);
    if (in.u32le() > 2) return refuseFile(name, kNewerVersion);
    // A binary file states its own length: less than that is a cut file.
    if (in.u32le() > bytes.size()) return refuseDamaged(name);
    json = json.substr(std::min<std::size_t>(20, json.size()), in.u32le());
  }
  if (!nestedWithin(json, kDeepestNesting)) return refuseDamaged(name);
  const std::uint64_t fileBytes = bytes.size();
  if (std::string accepted; acceptCompressedJson(json, accepted, binary)) {
    if (binary) {
      const std::size_t jsonEnd = static_cast<std::size_t>(json.data() + json.size() -
                                                           reinterpret_cast<const char*>(bytes.data()));
      if (accepted.size() > UINT32_MAX - 28 - (bytes.size() - jsonEnd)) return refuseDamaged(name);
      bytes = withJson(bytes, jsonEnd, std::move(accepted));
    } else {
      bytes.assign(accepted.begin(), accepted.end());
    }
    json = {};  // it named the bytes replaced
  }
  bool parsed = false;
  // The parser throws on some malformed files (a buffer of length 0 in a
  // binary file reads its element 0): that file is not a glTF file we read.
  const auto size = static_cast<unsigned int>(bytes.size());
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
    // Text that is no JSON object is some other kind of file; a glTF file
    // the parser stops on says what stopped it (a buffer missing, ...).
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    if (!binary && (start == std::string_view::npos || text[start] != '{')) return refuseFile(name, "is not a glTF file");
    const std::string why = "cannot be read: " + error.substr(0, std::min<std::size_t>(error.find('\n'), 200));
    return refuseFile(name, why.c_str());
  }
  if (gltf.asset.version.rfind("2.", 0) != 0) {
    // The major version decides: "10.0" comes after "2.0".
    const bool later = std::strtol(gltf.asset.version.c_str(), nullptr, 10) > 2;
    return refuseFile(name, later ? kNewerVersion : "is an older version of the format, not read");
  }
  if (const std::string extension = missingExtension(gltf); !extension.empty()) {
    const std::string why = "uses " + extension.substr(0, 80) + ", which is not read";
    return refuseFile(name, why.c_str());
  }
  std::uint64_t bytesRead = fileBytes;
  for (const tinygltf::Buffer& buffer : gltf.buffers) bytesRead += buffer.data.size();
  std::uint64_t allowance = outputBudget(bytesRead);
  bool damaged = true;
  if (const std::string why = decompressGltf(gltf, allowance, damaged); !why.empty()) {
    return damaged ? refuseDamaged(name, why.c_str()) : refuseFile(name, why.c_str());
  }
  GltfGeometry geometry(gltf, bytesRead, name);
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
  if (!geometry.addAnimations()) return refuseDamaged(name);
  if (!geometry.leftOut().empty()) {
    debugMessage("File, %s, has %s that cannot be used; they were left out.\n", name, geometry.leftOut().c_str());
  }
  return finishModel(geometry.take(), name);
}
