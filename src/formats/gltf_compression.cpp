#include "formats/gltf_compression.h"

#include <draco/compression/decode.h>
#include <meshoptimizer.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr const char* kMeshopt[] = {"EXT_meshopt_compression", "KHR_meshopt_compression"};
constexpr const char* kDraco = "KHR_draco_mesh_compression";

// The meshopt codecs give at most 64 bytes for each byte they read (two
// header bits stand for 16 zero bytes); anything claiming more is not
// their output and is refused before it is given memory.
constexpr std::uint64_t kMeshoptMostPerByte = 64;
constexpr std::uint64_t kMeshoptSlack = 4096;

const tinygltf::Value* member(const tinygltf::Value& object, const char* key) {
  return object.IsObject() && object.Has(key) ? &object.Get(key) : nullptr;
}

// A whole number of at most 2^53, or `fallback` where the member is absent.
bool count(const tinygltf::Value& object, const char* key, std::uint64_t& out, std::optional<std::uint64_t> fallback) {
  const tinygltf::Value* value = member(object, key);
  if (value == nullptr) {
    if (!fallback) return false;
    out = *fallback;
    return true;
  }
  if (!value->IsNumber()) return false;
  const double number = value->GetNumberAsDouble();
  if (!(number >= 0 && number <= 9007199254740992.0) || number != std::floor(number)) return false;
  out = static_cast<std::uint64_t>(number);
  return true;
}

std::string text(const tinygltf::Value& object, const char* key, const char* fallback) {
  const tinygltf::Value* value = member(object, key);
  return value != nullptr && value->IsString() ? value->Get<std::string>() : std::string(fallback);
}

// Where the decoding went wrong: damage, or something the reader does not do.
struct Trouble {
  std::string why;
  bool damaged = true;
};

int appendBuffer(tinygltf::Model& gltf, std::vector<unsigned char> bytes) {
  tinygltf::Buffer buffer;
  buffer.data = std::move(bytes);
  gltf.buffers.push_back(std::move(buffer));
  return static_cast<int>(gltf.buffers.size() - 1);
}

// The bytes a buffer view names, checked against its buffer; null when out.
const unsigned char* viewBytes(const tinygltf::Model& gltf, std::uint64_t buffer, std::uint64_t offset,
                               std::uint64_t length) {
  if (buffer >= gltf.buffers.size()) return nullptr;
  const std::vector<unsigned char>& data = gltf.buffers[buffer].data;
  if (offset > data.size() || length > data.size() - offset || length == 0) return nullptr;
  return data.data() + offset;
}

// One meshopt buffer view decoded into a buffer of its own, which the view
// then names in place of its fallback.
bool decodeMeshoptView(tinygltf::Model& gltf, std::size_t index, const tinygltf::Value& extension,
                       std::uint64_t& allowance, Trouble& trouble) {
  const std::string where = " in buffer view " + std::to_string(index);
  trouble.why = "has damaged meshopt data" + where;
  std::uint64_t buffer = 0, offset = 0, length = 0, stride = 0, elements = 0;
  if (!count(extension, "buffer", buffer, {}) || !count(extension, "byteOffset", offset, 0) ||
      !count(extension, "byteLength", length, {}) || !count(extension, "byteStride", stride, {}) ||
      !count(extension, "count", elements, {})) {
    return false;
  }
  const unsigned char* source = viewBytes(gltf, buffer, offset, length);
  if (source == nullptr) return false;
  const std::string mode = text(extension, "mode", ""), filter = text(extension, "filter", "NONE");
  const bool attributes = mode == "ATTRIBUTES";
  if (attributes ? stride == 0 || stride > 256 || stride % 4 != 0 : stride != 2 && stride != 4) return false;
  if (mode == "TRIANGLES" && elements % 3 != 0) return false;
  if (!attributes && mode != "TRIANGLES" && mode != "INDICES") {
    trouble = {"uses the meshopt mode " + mode.substr(0, 40) + where + ", which is not read", false};
    return false;
  }
  if (filter != "NONE" && (!attributes || (filter != "OCTAHEDRAL" && filter != "QUATERNION" && filter != "EXPONENTIAL"))) {
    trouble = {"uses the meshopt filter " + filter.substr(0, 40) + where + ", which is not read", false};
    return false;
  }
  if ((filter == "OCTAHEDRAL" && stride != 4 && stride != 8) || (filter == "QUATERNION" && stride != 8)) return false;
  // A later vertex codec says so in its first byte's low half.
  if (attributes && (source[0] & 0xF0) == 0xA0 && (source[0] & 0x0F) != 0) {
    trouble = {"uses a later meshopt vertex codec (version " + std::to_string(source[0] & 0x0F) + ")" + where +
                   ", which is not read",
               false};
    return false;
  }
  const std::uint64_t size = elements * stride;  // both checked small above
  if (elements > allowance || size > kMeshoptMostPerByte * length + kMeshoptSlack) {
    trouble.why = "holds meshopt data" + where + " that would decode to more than a file of its size may give";
    return false;
  }
  allowance -= elements;
  std::vector<unsigned char> decoded(size);
  const int failed = attributes ? meshopt_decodeVertexBuffer(decoded.data(), elements, stride, source, length)
                     : mode == "TRIANGLES"
                         ? meshopt_decodeIndexBuffer(decoded.data(), elements, stride, source, length)
                         : meshopt_decodeIndexSequence(decoded.data(), elements, stride, source, length);
  if (failed != 0) return false;
  if (filter == "OCTAHEDRAL") meshopt_decodeFilterOct(decoded.data(), elements, stride);
  if (filter == "QUATERNION") meshopt_decodeFilterQuat(decoded.data(), elements, stride);
  if (filter == "EXPONENTIAL") meshopt_decodeFilterExp(decoded.data(), elements, stride);
  tinygltf::BufferView& view = gltf.bufferViews[index];
  view.buffer = appendBuffer(gltf, std::move(decoded));
  view.byteOffset = 0;
  return true;
}

int accessorType(int components) {
  return components == 2 ? TINYGLTF_TYPE_VEC2 : components == 3 ? TINYGLTF_TYPE_VEC3 : TINYGLTF_TYPE_VEC4;
}

// A new accessor over `bytes`, in a buffer and view of their own.
int appendAccessor(tinygltf::Model& gltf, std::vector<unsigned char> bytes, int componentType, int type,
                   std::size_t elements) {
  tinygltf::BufferView view;
  view.byteLength = bytes.size();
  view.buffer = appendBuffer(gltf, std::move(bytes));
  gltf.bufferViews.push_back(view);
  tinygltf::Accessor accessor;
  accessor.bufferView = static_cast<int>(gltf.bufferViews.size() - 1);
  accessor.componentType = componentType;
  accessor.type = type;
  accessor.count = elements;
  gltf.accessors.push_back(accessor);
  return static_cast<int>(gltf.accessors.size() - 1);
}

template <typename T>
std::vector<unsigned char> asBytes(const std::vector<T>& values) {
  std::vector<unsigned char> bytes(values.size() * sizeof(T));
  if (!bytes.empty()) std::memcpy(bytes.data(), values.data(), bytes.size());
  return bytes;
}

// One Draco primitive decoded: the attributes the extension maps become
// float accessors (integer ones normalised as their attribute says), the
// faces a list of 32-bit indices; the primitive then names those.
bool decodeDracoPrimitive(tinygltf::Model& gltf, tinygltf::Primitive& primitive, const tinygltf::Value& extension,
                          const std::string& where, std::uint64_t& allowance, Trouble& trouble) {
  trouble.why = "has damaged Draco data in " + where;
  std::uint64_t viewIndex = 0;
  const tinygltf::Value* ids = member(extension, "attributes");
  if (!count(extension, "bufferView", viewIndex, {}) || viewIndex >= gltf.bufferViews.size() || ids == nullptr ||
      !ids->IsObject()) {
    return false;
  }
  const tinygltf::BufferView& view = gltf.bufferViews[viewIndex];
  if (view.buffer < 0) return false;
  const unsigned char* bytes =
      viewBytes(gltf, static_cast<std::uint64_t>(view.buffer), view.byteOffset, view.byteLength);
  if (bytes == nullptr) return false;
  draco::DecoderBuffer in;
  in.Init(reinterpret_cast<const char*>(bytes), view.byteLength);
  const auto geometry = draco::Decoder::GetEncodedGeometryType(&in);
  if (!geometry.ok()) return false;
  draco::Decoder decoder;
  std::unique_ptr<draco::PointCloud> cloud;
  const draco::Mesh* mesh = nullptr;
  if (geometry.value() == draco::TRIANGULAR_MESH) {
    auto decoded = decoder.DecodeMeshFromBuffer(&in);
    if (!decoded.ok()) return false;
    mesh = decoded.value().get();
    cloud = std::move(decoded).value();
  } else if (geometry.value() == draco::POINT_CLOUD) {
    auto decoded = decoder.DecodePointCloudFromBuffer(&in);
    if (!decoded.ok()) return false;
    cloud = std::move(decoded).value();
  } else {
    return false;
  }
  const std::uint64_t points = cloud->num_points(), corners = mesh != nullptr ? 3ull * mesh->num_faces() : 0;
  if (points + corners > allowance) {
    trouble.why = "holds Draco data in " + where + " that decodes to more than a file of its size may give";
    return false;
  }
  allowance -= points + corners;
  for (const std::string& name : ids->Keys()) {
    const bool used = name == "POSITION" || name == "NORMAL" || name == "TEXCOORD_0" || name == "COLOR_0";
    std::uint64_t id = 0;
    if (!used) {
      // Nothing else is read; its accessor has no data of its own to fall back on.
      primitive.attributes.erase(name);
      continue;
    }
    if (!count(*ids, name.c_str(), id, {}) || id > UINT32_MAX) return false;
    const draco::PointAttribute* attribute = cloud->GetAttributeByUniqueId(static_cast<std::uint32_t>(id));
    const int components = name == "TEXCOORD_0" ? 2 : name == "COLOR_0" ? 4 : 3;
    if (attribute == nullptr || attribute->num_components() < 1) return false;
    std::vector<float> values(points * static_cast<std::size_t>(components));
    for (std::uint32_t p = 0; p < points; ++p) {
      const draco::AttributeValueIndex at = attribute->mapped_index(draco::PointIndex(p));
      if (at.value() >= attribute->size()) return false;
      float* out = &values[p * static_cast<std::size_t>(components)];
      // Colours without alpha are opaque.
      out[components - 1] = 1.0f;
      if (!attribute->ConvertValue<float>(at, static_cast<std::int8_t>(std::min<int>(components, attribute->num_components())), out)) {
        return false;
      }
    }
    primitive.attributes[name] = appendAccessor(gltf, asBytes(values), TINYGLTF_COMPONENT_TYPE_FLOAT,
                                                accessorType(components), points);
  }
  if (mesh == nullptr) {
    primitive.indices = -1;
    primitive.mode = TINYGLTF_MODE_POINTS;
    return true;
  }
  std::vector<std::uint32_t> indices(corners);
  for (draco::FaceIndex f(0); f < mesh->num_faces(); ++f) {
    const draco::Mesh::Face& face = mesh->face(f);
    for (int c = 0; c < 3; ++c) indices[3 * f.value() + static_cast<std::uint32_t>(c)] = face[c].value();
  }
  primitive.indices = appendAccessor(gltf, asBytes(indices), TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT,
                                     TINYGLTF_TYPE_SCALAR, indices.size());
  primitive.mode = TINYGLTF_MODE_TRIANGLES;  // Draco keeps faces only as triangles
  return true;
}

}  // namespace

bool acceptCompressedJson(std::string_view json, std::string& out, bool binary) {
  if (json.find("meshopt_compression") == std::string_view::npos && json.find(kDraco) == std::string_view::npos) {
    return false;
  }
  nlohmann::json document = nlohmann::json::parse(json.begin(), json.end(), nullptr, false);
  if (!document.is_object()) return false;
  bool changed = false;
  auto extensionOf = [](const nlohmann::json& object, const char* name) -> const nlohmann::json* {
    if (!object.is_object()) return nullptr;
    const auto extensions = object.find("extensions");
    if (extensions == object.end() || !extensions->is_object()) return nullptr;
    const auto found = extensions->find(name);
    return found != extensions->end() && found->is_object() ? &*found : nullptr;
  };
  if (const auto buffers = document.find("buffers"); buffers != document.end() && buffers->is_array()) {
    for (std::size_t k = 0; k < buffers->size(); ++k) {
      nlohmann::json& buffer = (*buffers)[k];
      // Buffer 0 of a binary file without a name is its binary chunk.
      if (!buffer.is_object() || buffer.contains("uri") || (binary && k == 0)) continue;
      if (extensionOf(buffer, kMeshopt[0]) == nullptr && extensionOf(buffer, kMeshopt[1]) == nullptr) continue;
      // One zero byte: the parser takes no empty buffer.
      buffer["uri"] = "data:application/octet-stream;base64,AA==";
      buffer["byteLength"] = 1;
      changed = true;
    }
  }
  if (const auto meshes = document.find("meshes"); meshes != document.end() && meshes->is_array()) {
    for (nlohmann::json& mesh : *meshes) {
      if (!mesh.is_object() || !mesh.contains("primitives") || !mesh["primitives"].is_array()) continue;
      for (nlohmann::json& primitive : mesh["primitives"]) {
        if (extensionOf(primitive, kDraco) != nullptr && primitive.contains("indices")) {
          primitive.erase("indices");
          changed = true;
        }
      }
    }
  }
  if (changed) out = document.dump();
  return changed;
}

std::string decompressGltf(tinygltf::Model& gltf, std::uint64_t& allowance, bool& damaged) {
  Trouble trouble;
  // Views first: a Draco stream could sit in one.
  for (std::size_t v = 0; v < gltf.bufferViews.size(); ++v) {
    for (const char* name : kMeshopt) {
      const auto found = gltf.bufferViews[v].extensions.find(name);
      if (found == gltf.bufferViews[v].extensions.end()) continue;
      if (!decodeMeshoptView(gltf, v, found->second, allowance, trouble)) {
        damaged = trouble.damaged;
        return trouble.why;
      }
      break;
    }
  }
  for (std::size_t m = 0; m < gltf.meshes.size(); ++m) {
    for (std::size_t p = 0; p < gltf.meshes[m].primitives.size(); ++p) {
      tinygltf::Primitive& primitive = gltf.meshes[m].primitives[p];
      const auto found = primitive.extensions.find(kDraco);
      if (found == primitive.extensions.end()) continue;
      const tinygltf::Value extension = found->second;
      primitive.extensions.erase(found);
      const std::string where = "mesh " + std::to_string(m) + ", primitive " + std::to_string(p);
      if (!decodeDracoPrimitive(gltf, primitive, extension, where, allowance, trouble)) {
        damaged = trouble.damaged;
        return trouble.why;
      }
    }
  }
  return {};
}
