// tessera-import FILE: reads one model file through the general import library
// and writes it to standard output as a hand-back stream (formats/hand_back.h),
// or the library's reason for reading nothing. The viewer and tessera-tool run
// it in a process of its own under limits, so that the library's faults end
// this process only.
#include <assimp/cimport.h>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "formats/hand_back.h"

namespace {

// Faults on purpose, for the tests that the caller outlives them.
void faultIfAskedForTests() {
  const char* fault = std::getenv("TESSERA_IMPORT_FAULT_FOR_TESTS");
  if (fault == nullptr) return;
  if (std::strcmp(fault, "crash") == 0) std::raise(SIGSEGV);
  if (std::strcmp(fault, "hang") == 0) {
    for (;;) pause();
  }
  if (std::strcmp(fault, "spin") == 0) {
    volatile unsigned long turns = 0;
    for (;;) turns = turns + 1;
  }
  if (std::strcmp(fault, "runaway") == 0) {
    // Address space without end, as a library fault might take: the limit
    // ends it after a few dozen blocks (left untouched, so that it costs no
    // memory on the way).
    std::vector<void*> held;
    for (;;) {
      void* block = std::malloc(std::size_t{64} << 20);
      if (block == nullptr) std::abort();
      held.push_back(block);
    }
  }
}

class Importer {
 public:
  explicit Importer(const aiScene& scene) : scene_(scene) {}

  HandBack read() {
    for (unsigned k = 0; k < scene_.mNumMaterials; ++k) handBack_.model.materials.push_back(material(*scene_.mMaterials[k]));
    if (scene_.mRootNode != nullptr) walkNodes();
    return std::move(handBack_);
  }

 private:
  // Every node's meshes, placed by the node's transform and its parents'
  // (walked without recursion: a file may nest nodes deeply).
  void walkNodes() {
    std::vector<std::pair<const aiNode*, aiMatrix4x4>> pending{{scene_.mRootNode, aiMatrix4x4()}};
    while (!pending.empty()) {
      const auto [node, parent] = pending.back();
      pending.pop_back();
      const aiMatrix4x4 world = parent * node->mTransformation;
      for (unsigned k = 0; k < node->mNumMeshes; ++k) {
        if (node->mMeshes[k] < scene_.mNumMeshes) object(*scene_.mMeshes[node->mMeshes[k]], world);
      }
      for (unsigned k = node->mNumChildren; k-- > 0;) pending.push_back({node->mChildren[k], world});
    }
  }

  void object(const aiMesh& mesh, const aiMatrix4x4& world) {
    MeshObject o;
    const std::size_t n = mesh.mNumVertices;
    o.vertices.reserve(3 * n);
    for (std::size_t v = 0; v < n; ++v) {
      const aiVector3D p = world * mesh.mVertices[v];
      o.vertices.insert(o.vertices.end(), {p.x, p.y, p.z});
    }
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
      const aiFace& face = mesh.mFaces[f];
      // Lone points are vertices without faces already; faces too large to keep are left out.
      if (face.mNumIndices < 2 || face.mNumIndices > 32767) continue;
      FaceTable& table = face.mNumIndices == 2 ? o.lines : o.faces;
      std::span<std::int32_t> corners = table.append(face.mNumIndices);
      for (unsigned c = 0; c < face.mNumIndices; ++c) corners[c] = static_cast<std::int32_t>(face.mIndices[c]);
    }
    if (mesh.mColors[0] != nullptr) {
      o.colors.binding = Binding::PerVertex;
      for (std::size_t v = 0; v < n; ++v) {
        const aiColor4D& c = mesh.mColors[0][v];
        o.colors.values.insert(o.colors.values.end(), {c.r, c.g, c.b, c.a});
      }
    }
    if (mesh.mNormals != nullptr) {
      // Normals turn by the inverse transpose, so that a scaled node keeps them square to its faces.
      aiMatrix3x3 turn(world);
      turn.Inverse().Transpose();
      o.normals.binding = Binding::PerVertex;
      for (std::size_t v = 0; v < n; ++v) {
        const aiVector3D d = (turn * mesh.mNormals[v]).NormalizeSafe();
        o.normals.values.insert(o.normals.values.end(), {d.x, d.y, d.z});
      }
    }
    if (mesh.mTextureCoords[0] != nullptr) {
      o.texCoords.binding = Binding::PerVertex;
      for (std::size_t v = 0; v < n; ++v) {
        o.texCoords.values.insert(o.texCoords.values.end(), {mesh.mTextureCoords[0][v].x, mesh.mTextureCoords[0][v].y});
      }
    }
    o.material = mesh.mMaterialIndex < scene_.mNumMaterials ? static_cast<std::int32_t>(mesh.mMaterialIndex) : -1;
    handBack_.model.push_back(std::move(o));
  }

  Material material(const aiMaterial& from) {
    Material m;
    aiString name;
    if (from.Get(AI_MATKEY_NAME, name) == AI_SUCCESS) m.name = name.C_Str();
    aiColor4D colour(1, 1, 1, 1);
    if (from.Get(AI_MATKEY_BASE_COLOR, colour) != AI_SUCCESS) from.Get(AI_MATKEY_COLOR_DIFFUSE, colour);
    float opacity = 1.0f;
    if (from.Get(AI_MATKEY_OPACITY, opacity) == AI_SUCCESS && opacity >= 0.0f && opacity < 1.0f) colour.a *= opacity;
    m.baseColor = {colour.r, colour.g, colour.b, colour.a};
    if (colour.a < 1.0f) m.alphaMode = AlphaMode::Blend;
    aiString path;
    if (from.GetTexture(aiTextureType_BASE_COLOR, 0, &path) == AI_SUCCESS ||
        from.GetTexture(aiTextureType_DIFFUSE, 0, &path) == AI_SUCCESS) {
      m.texture = texture(path.C_Str());
    }
    return m;
  }

  // The texture a material names, each once: a picture the file holds, or
  // a file beside it that the parent looks for.
  std::int32_t texture(const std::string& path) {
    if (path.empty()) return -1;
    const aiTexture* embedded = scene_.GetEmbeddedTexture(path.c_str());
    const std::string key = embedded != nullptr ? "\n" + std::to_string(reinterpret_cast<std::uintptr_t>(embedded)) : path;
    if (const auto known = textures_.find(key); known != textures_.end()) return known->second;
    HandBackTexture t;
    t.name = path;
    if (embedded != nullptr && embedded->mHeight == 0) {
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(embedded->pcData);
      t.bytes.assign(bytes, bytes + embedded->mWidth);
    } else if (embedded != nullptr) {
      // Texels as BGRA, rows top first: turned into RGBA rows bottom first.
      t.width = static_cast<int>(embedded->mWidth);
      t.height = static_cast<int>(embedded->mHeight);
      for (unsigned row = embedded->mHeight; row-- > 0;) {
        for (unsigned col = 0; col < embedded->mWidth; ++col) {
          const aiTexel& texel = embedded->pcData[std::size_t{row} * embedded->mWidth + col];
          t.bytes.insert(t.bytes.end(), {texel.r, texel.g, texel.b, texel.a});
        }
      }
    }
    const auto index = static_cast<std::int32_t>(handBack_.textures.size());
    handBack_.textures.push_back(std::move(t));
    textures_[key] = index;
    return index;
  }

  const aiScene& scene_;
  HandBack handBack_;
  std::map<std::string, std::int32_t> textures_;
};

bool writeAll(const std::vector<std::uint8_t>& bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("tessera-import FILE: run by tessera and tessera-tool to read a model through the import library\n",
               stderr);
    return 2;
  }
  faultIfAskedForTests();
  HandBack handBack;
  try {
    // Equal vertices (position and every value they carry) become one, as the
    // file's author made them; faces keep their corners, polygons stay polygons.
    const aiScene* scene = aiImportFile(argv[1], aiProcess_JoinIdenticalVertices | aiProcess_ValidateDataStructure);
    if (scene == nullptr) {
      const char* why = aiGetErrorString();
      handBack.failure = why != nullptr && *why != '\0' ? why : "no reason given";
    } else {
      handBack = Importer(*scene).read();
      aiReleaseImport(scene);
    }
    return writeAll(writeHandBack(handBack)) ? 0 : 1;
  } catch (const std::bad_alloc&) {
    handBack = HandBack{};
    handBack.failure = "not enough memory for this file";
    return writeAll(writeHandBack(handBack)) ? 0 : 1;
  }
}
