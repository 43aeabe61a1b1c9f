// Quake 2 (.md2) and Quake 1 (.mdl) models: the triangles and the first
// animation frame, whose packed byte positions are scaled and moved, with
// the skin's texture coordinates and the first skin: a picture beside an
// MD2 model, palette indices inside an MDL one.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string_view>

#include "formats/binary_file.h"
#include "formats/quake_palette.h"
#include "formats/readers.h"
#include "formats/side_files.h"
#include "formats/texture_files.h"
#include "pictures/picture_size.h"

namespace {

// The versions every Quake 2 and Quake 1 model file states.
constexpr std::int32_t kMd2Version = 8;
constexpr std::uint32_t kMdlVersion = 6;

// Reads `count` triangles of three indices each; `indexBytes` is 2 (MD2) or
// 4 (MDL), `skipBefore`/`skipAfter` the other bytes of each record.
void readTriangles(ByteCursor& in, std::int32_t count, int indexBytes, int skipBefore,
                   int skipAfter, MeshObject& object) {
  object.faces.indices.reserve(3 * static_cast<std::size_t>(count));
  object.faces.offsets.reserve(static_cast<std::size_t>(count) + 1);
  for (std::int32_t t = 0; t < count; ++t) {
    in.skip(static_cast<std::uint64_t>(skipBefore));
    std::span<std::int32_t> face = object.faces.append(3);
    for (std::int32_t& index : face) {
      index = indexBytes == 2 ? static_cast<std::int32_t>(in.u16le()) : in.i32le();
    }
    in.skip(static_cast<std::uint64_t>(skipAfter));
  }
}

// Decodes packed vertices (x, y, z bytes and a normal byte) by scale and shift.
void readPackedVertices(ByteCursor& in, std::int32_t count, const float scale[3],
                        const float shift[3], MeshObject& object) {
  object.vertices.resize(3 * static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
    float* v = &object.vertices[3 * i];
    for (int axis = 0; axis < 3; ++axis) {
      v[axis] = static_cast<float>(in.u8()) * scale[axis] + shift[axis];
    }
    in.u8();  // normal index
  }
}

// MD2 corners take their (s, t) from a table in skin pixels, t from the top,
// by the three indices each triangle keeps after its vertex indices.
void readMd2TexCoords(const std::vector<std::uint8_t>& bytes, const std::int32_t header[16], const char* name,
                      MeshObject& object) {
  const std::int32_t width = header[1], height = header[2], count = header[6], offset = header[11];
  if (count == 0) return;
  ByteCursor in(bytes);
  if (width <= 0 || height <= 0 || count < 0 || offset < 0 || !in.seek(static_cast<std::uint32_t>(offset)) ||
      !in.holds(static_cast<std::uint32_t>(count), 4)) {
    debugMessage("File, %s, has texture coordinates that do not fit in it; they were left out.\n", name);
    return;
  }
  TexCoordAttribute& texCoords = object.texCoords;
  texCoords.values.resize(2 * static_cast<std::size_t>(count));
  for (std::size_t k = 0; k < texCoords.values.size(); k += 2) {
    texCoords.values[k] = static_cast<float>(static_cast<std::int16_t>(in.u16le())) / static_cast<float>(width);
    texCoords.values[k + 1] =
        1.0f - static_cast<float>(static_cast<std::int16_t>(in.u16le())) / static_cast<float>(height);
  }
  // The triangles were read from here already: they are all in the file.
  in.seek(static_cast<std::uint32_t>(header[12]));
  texCoords.corners.reserve(object.faces.indices.size());
  for (std::size_t t = 0; t < object.faces.count(); ++t) {
    in.skip(6);
    for (int k = 0; k < 3; ++k) texCoords.corners.push_back(in.u16le());
  }
  texCoords.binding = Binding::PerCorner;
}

// One frame's packed vertices decoded into the model's frames, with its
// name; false (and nothing added) when a coordinate is no number.
bool addFrame(ByteCursor& in, std::string_view name, std::int32_t count, const float scale[3], const float shift[3],
              VertexFrames& frames) {
  const std::size_t start = frames.positions.size();
  frames.positions.resize(start + 3 * static_cast<std::size_t>(count));
  float* v = frames.positions.data() + start;
  bool finite = true;
  for (std::size_t i = 0; i < 3 * static_cast<std::size_t>(count); i += 3) {
    for (int axis = 0; axis < 3; ++axis) {
      v[i + axis] = static_cast<float>(in.u8()) * scale[axis] + shift[axis];
      finite = finite && std::isfinite(v[i + axis]);
    }
    in.u8();  // normal index
  }
  if (!finite) {
    frames.positions.resize(start);
    return false;
  }
  frames.names.emplace_back(name.substr(0, name.find('\0')));
  return true;
}

// The frame name field: 16 bytes, ending at its first NUL.
std::string_view frameName(ByteCursor& in) {
  const std::string_view field = in.text(16);
  return field.substr(0, field.find('\0'));
}

// The frames after the first, each `frameSize` bytes from the one before. A
// count or size that does not fit the file keeps the first frame alone.
void readMd2Frames(const std::vector<std::uint8_t>& bytes, const std::int32_t header[16], const char* name,
                   MeshObject& object, VertexFrames& frames) {
  const std::int32_t frameSize = header[3], vertexCount = header[5], frameCount = header[9], offset = header[13];
  frames.vertexCount = static_cast<std::size_t>(vertexCount);
  frames.names.push_back("");
  frames.positions = object.vertices;
  ByteCursor in(bytes);
  in.seek(static_cast<std::uint32_t>(offset) + 24);
  frames.names[0] = std::string(frameName(in));
  if (frameCount <= 1) return;
  const std::uint64_t needed = 40 + 4 * static_cast<std::uint64_t>(vertexCount);
  if (frameSize < 0 || static_cast<std::uint64_t>(frameSize) < needed || !in.seek(static_cast<std::uint32_t>(offset)) ||
      !in.holds(static_cast<std::uint32_t>(frameCount), static_cast<std::uint32_t>(frameSize))) {
    debugMessage("File, %s, has frames that do not fit in it; only the first is shown.\n", name);
    return;
  }
  std::int32_t dropped = 0;
  for (std::int32_t k = 1; k < frameCount; ++k) {
    in.seek(static_cast<std::uint64_t>(offset) + static_cast<std::uint64_t>(k) * static_cast<std::uint64_t>(frameSize));
    float scale[3], translate[3];
    for (float& v : scale) v = in.f32le();
    for (float& v : translate) v = in.f32le();
    const std::string_view frame = frameName(in);
    if (!addFrame(in, frame, vertexCount, scale, translate, frames)) ++dropped;
  }
  if (dropped > 0) debugMessage("File, %s, has %d frames whose places are no numbers; they were left out.\n", name, dropped);
  frames.runs = runsByName(frames.names);
}

// The name with another ending for its last part.
std::string withEnding(const std::string& name, const char* ending) {
  const std::size_t dot = name.find_last_of("./\\");
  return (dot != std::string::npos && name[dot] == '.' ? name.substr(0, dot) : name) + ending;
}

// The MD2 skin to show, as addTextureFile finds it beside the model: the
// first skin the header names that is there, by its last part alone when its
// folders are not; else a PNG or JPEG picture of the same stem; else a
// picture named as the model is. Empty when there is none. Past the game's
// own 32 skins a damaged count would only cost time.
std::string findMd2Skin(const std::vector<std::uint8_t>& bytes, const std::int32_t header[16], const char* name) {
  const std::int32_t count = header[4], offset = header[10];
  std::vector<std::string> tries;
  ByteCursor in(bytes);
  if (count < 0 || offset < 0 || !in.seek(static_cast<std::uint32_t>(offset)) ||
      !in.holds(static_cast<std::uint32_t>(count), 64)) {
    debugMessage("File, %s, has skin names that do not fit in it; they were left out.\n", name);
  } else {
    for (std::int32_t k = 0; k < std::min(count, 32); ++k) {
      const std::string_view field = in.text(64);
      const std::string skin(field.substr(0, field.find('\0')));
      if (skin.empty()) continue;
      tries.push_back(skin);
      if (const std::size_t slash = skin.find_last_of("/\\"); slash != std::string::npos) {
        tries.push_back(skin.substr(slash + 1));
      }
    }
  }
  const std::size_t named = tries.size();
  for (std::size_t k = 0; k < named; ++k) {
    for (const char* ending : {".png", ".jpg"}) tries.push_back(withEnding(tries[k], ending));
  }
  const std::string model = std::filesystem::path(name).stem().string();
  for (const char* ending : {".pcx", ".png", ".jpg"}) tries.push_back(model + ending);
  for (const std::string& skin : tries) {
    if (!findSideFile(name, skin).empty()) return skin;
  }
  if (named > 0) debugMessage("File, %s, names skins of which none is beside it.\n", name);
  return "";
}

// The MDL corners take their vertex's (s, t) in skin pixels, t from the top;
// a back-facing triangle's corner on the seam takes the skin's right half.
// Values [0, n) are the vertices' own, [n, 2n) those moved across the seam.
void readMdlTexCoords(const std::vector<std::uint8_t>& bytes, std::size_t texCoordsAt, std::size_t trianglesAt,
                      std::int32_t width, std::int32_t height, MeshObject& object) {
  const auto n = static_cast<std::size_t>(object.numVertices());
  if (width <= 0 || height <= 0 || n == 0) return;
  TexCoordAttribute& texCoords = object.texCoords;
  texCoords.values.resize(4 * n);
  std::vector<bool> onSeam(n);
  // Both tables were passed over on the way to the frame: they are in the file.
  ByteCursor in(bytes);
  in.seek(texCoordsAt);
  for (std::size_t v = 0; v < n; ++v) {
    onSeam[v] = in.i32le() != 0;
    const auto s = static_cast<float>(in.i32le()), t = static_cast<float>(in.i32le());
    texCoords.values[2 * v] = (s + 0.5f) / static_cast<float>(width);
    texCoords.values[2 * (n + v)] = (s + static_cast<float>(width / 2) + 0.5f) / static_cast<float>(width);
    texCoords.values[2 * v + 1] = texCoords.values[2 * (n + v) + 1] = 1.0f - (t + 0.5f) / static_cast<float>(height);
  }
  in.seek(trianglesAt);
  texCoords.corners.reserve(object.faces.indices.size());
  for (std::size_t f = 0; f < object.faces.count(); ++f) {
    const bool facesFront = in.i32le() != 0;
    for (int k = 0; k < 3; ++k) {
      const std::int32_t v = in.i32le();
      // A corner of a missing vertex goes with its face when the model is finished.
      const bool known = v >= 0 && static_cast<std::size_t>(v) < n;
      const bool seam = known && !facesFront && onSeam[static_cast<std::size_t>(v)];
      texCoords.corners.push_back(!known ? 0 : seam ? v + static_cast<std::int32_t>(n) : v);
    }
  }
  texCoords.binding = Binding::PerCorner;
}

// The first MDL skin, rows of palette indices from the top, as the texture
// of the model's one material.
void addMdlSkin(const std::vector<std::uint8_t>& bytes, std::size_t at, std::int32_t width, std::int32_t height,
                const char* name, Model& model) {
  if (at == 0 || width <= 0 || height <= 0) return;
  if (const std::string problem = pictureSizeProblem(width, height); !problem.empty()) {
    debugMessage("File, %s, has a skin that %s; it was left out.\n", name, problem.c_str());
    return;
  }
  const auto w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
  if (at > bytes.size() || w * h > bytes.size() - at) return;
  Texture skin{"skin", width, height, std::vector<std::uint8_t>(4 * w * h, 255)};
  for (std::size_t y = 0; y < h; ++y) {
    for (std::size_t x = 0; x < w; ++x) {
      const std::uint8_t* colour = &kQuakePalette[3 * bytes[at + y * w + x]];
      std::copy(colour, colour + 3, &skin.rgba[4 * ((h - 1 - y) * w + x)]);
    }
  }
  model.textures.push_back(std::move(skin));
  model.materials.push_back(Material{"skin", Rgba{}, static_cast<std::int32_t>(model.textures.size() - 1)});
  model[0].material = static_cast<std::int32_t>(model.materials.size() - 1);
}

// The frame entries from the first one's body on: single frames, and groups
// of frames (each a run of its own). The first entry's group goes on after
// its first frame. Stops at the first entry that does not fit the file.
void readMdlFrames(const std::vector<std::uint8_t>& bytes, std::size_t firstFrameAt, std::int32_t entryCount,
                   std::int32_t inFirstEntry, std::int32_t vertexCount, const float scale[3], const float origin[3],
                   const char* name, const MeshObject& object, VertexFrames& frames) {
  const std::uint64_t frameBytes = 24 + 4 * static_cast<std::uint64_t>(vertexCount);
  frames.vertexCount = static_cast<std::size_t>(vertexCount);
  frames.positions = object.vertices;
  ByteCursor in(bytes);
  in.seek(firstFrameAt + 8);
  frames.names.emplace_back(frameName(in));
  in.seek(firstFrameAt + frameBytes);
  std::vector<std::size_t> groupStarts;
  if (inFirstEntry > 1) groupStarts.push_back(0);
  bool fits = true;
  std::int32_t dropped = 0;
  const auto readFrames = [&](std::int32_t count) {
    for (std::int32_t k = 0; k < count && fits; ++k) {
      if (!in.holds(1, frameBytes)) {
        fits = false;
        break;
      }
      in.skip(8);  // the frame's box
      const std::string_view frame = frameName(in);
      if (!addFrame(in, frame, vertexCount, scale, origin, frames)) ++dropped;
    }
  };
  readFrames(inFirstEntry - 1);
  for (std::int32_t entry = 1; entry < entryCount && fits; ++entry) {
    if (in.remaining() < 4) {
      fits = false;
      break;
    }
    if (in.i32le() == 0) {
      readFrames(1);
      continue;
    }
    const std::int32_t count = in.i32le();
    if (count < 0 || !in.skip(8 + 4 * static_cast<std::uint64_t>(count)) || !in.holds(static_cast<std::uint32_t>(count), frameBytes)) {
      fits = false;
      break;
    }
    groupStarts.push_back(frames.names.size());
    readFrames(count);
  }
  if (!fits) debugMessage("File, %s, has frames that do not fit in it; those before them are kept.\n", name);
  if (dropped > 0) debugMessage("File, %s, has %d frames whose places are no numbers; they were left out.\n", name, dropped);
  frames.runs = runsByName(frames.names, groupStarts);
}

}  // namespace

ReadResult readMd2File(const char* name) {
  std::vector<std::uint8_t> bytes;
  if (ReadResult loaded = loadBinaryFile(name, bytes); !loaded) return loaded;
  if (!beginsLike(bytes, "IDP2")) return refuseFile(name, "is not a Quake 2 MD2 file");
  ByteCursor in(bytes);
  in.skip(4);
  std::int32_t header[16];
  for (std::int32_t& field : header) field = in.i32le();
  if (bytes.size() >= 8 && header[0] > kMd2Version) return refuseFile(name, kNewerVersion);
  const std::int32_t vertexCount = header[5], triangleCount = header[7];
  const std::int32_t triangleOffset = header[12], frameOffset = header[13];
  if (in.damaged() || vertexCount < 0 || triangleCount < 0 || triangleOffset < 0 ||
      frameOffset < 0) {
    return refuseDamaged(name);
  }
  Model model(1);
  MeshObject& object = model[0];
  if (!in.seek(static_cast<std::uint32_t>(triangleOffset)) ||
      !in.holds(static_cast<std::uint32_t>(triangleCount), 12)) {
    return refuseDamaged(name);
  }
  readTriangles(in, triangleCount, 2, 0, 6, object);

  if (!in.seek(static_cast<std::uint32_t>(frameOffset))) return refuseDamaged(name);
  float scale[3], translate[3];
  for (float& s : scale) s = in.f32le();
  for (float& t : translate) t = in.f32le();
  in.skip(16);  // frame name
  if (in.damaged() || !in.holds(static_cast<std::uint32_t>(vertexCount), 4)) {
    return refuseDamaged(name);
  }
  readPackedVertices(in, vertexCount, scale, translate, object);
  if (in.damaged()) return refuseDamaged(name);
  readMd2Frames(bytes, header, name, object, model.frames);
  readMd2TexCoords(bytes, header, name, object);
  if (const std::string skin = findMd2Skin(bytes, header, name); !skin.empty()) {
    if (const std::int32_t texture = addTextureFile(model, name, skin); texture >= 0) {
      model.materials.push_back(Material{skin, Rgba{}, texture});
      object.material = 0;
    }
  }
  return finishModel(std::move(model), name);
}

ReadResult readMdlFile(const char* name) {
  std::vector<std::uint8_t> bytes;
  if (ReadResult loaded = loadBinaryFile(name, bytes); !loaded) return loaded;
  if (!beginsLike(bytes, "IDPO")) return refuseFile(name, "is not a Quake 1 MDL file");
  ByteCursor in(bytes);
  in.skip(4);
  if (in.u32le() > kMdlVersion && !in.damaged()) return refuseFile(name, kNewerVersion);
  float scale[3], origin[3];
  for (float& s : scale) s = in.f32le();
  for (float& o : origin) o = in.f32le();
  in.skip(16);  // radius, eye offsets
  const std::int32_t skinCount = in.i32le(), skinWidth = in.i32le(), skinHeight = in.i32le();
  const std::int32_t vertexCount = in.i32le(), triangleCount = in.i32le(), frameCount = in.i32le();
  in.skip(12);  // sync type, flags, size
  if (in.damaged() || skinCount < 0 || skinWidth < 0 || skinHeight < 0 || vertexCount < 0 ||
      triangleCount < 0) {
    return refuseDamaged(name);
  }
  const std::uint64_t skinBytes =
      static_cast<std::uint64_t>(skinWidth) * static_cast<std::uint64_t>(skinHeight);
  std::size_t firstSkinAt = 0;  // 0: none
  for (std::int32_t s = 0; s < skinCount && !in.damaged(); ++s) {
    if (in.i32le() == 0) {
      if (s == 0) firstSkinAt = in.tell();
      in.skip(skinBytes);
    } else {
      const std::int32_t pictures = in.i32le();
      if (pictures < 0 || !in.skip(4 * static_cast<std::uint64_t>(pictures))) break;
      if (skinBytes != 0 && static_cast<std::uint64_t>(pictures) > in.remaining() / skinBytes) {
        in.fail();
        break;
      }
      if (s == 0 && pictures > 0) firstSkinAt = in.tell();
      in.skip(static_cast<std::uint64_t>(pictures) * skinBytes);
    }
  }
  const std::size_t texCoordsAt = in.tell();
  in.skip(12 * static_cast<std::uint64_t>(vertexCount));
  if (in.damaged() || !in.holds(static_cast<std::uint32_t>(triangleCount), 16)) {
    return refuseDamaged(name);
  }
  const std::size_t trianglesAt = in.tell();
  Model model(1);
  MeshObject& object = model[0];
  readTriangles(in, triangleCount, 4, 4, 0, object);

  // A frame group shows its first frame.
  std::int32_t inFirstEntry = 1;
  if (in.i32le() != 0) {
    inFirstEntry = in.i32le();
    if (inFirstEntry < 0 || !in.skip(8 + 4 * static_cast<std::uint64_t>(inFirstEntry))) {
      return refuseDamaged(name);
    }
  }
  // The bounds are the frame's stored box, not computed from the vertices.
  float box[2][3];
  for (auto& corner : box) {
    for (int axis = 0; axis < 3; ++axis) {
      corner[axis] = static_cast<float>(in.u8()) * scale[axis] + origin[axis];
    }
    in.u8();
  }
  in.skip(16);  // frame name
  if (in.damaged() || !in.holds(static_cast<std::uint32_t>(vertexCount), 4)) {
    return refuseDamaged(name);
  }
  const std::size_t firstFrameAt = in.tell() - 16 - 8;
  readPackedVertices(in, vertexCount, scale, origin, object);
  if (in.damaged()) return refuseDamaged(name);
  readMdlFrames(bytes, firstFrameAt, frameCount, inFirstEntry, vertexCount, scale, origin, name, object, model.frames);
  for (const auto& corner : box) {
    for (float value : corner) {
      if (!std::isfinite(value)) return refuseDamaged(name);
    }
  }
  readMdlTexCoords(bytes, texCoordsAt, trianglesAt, skinWidth, skinHeight, object);
  addMdlSkin(bytes, firstSkinAt, skinWidth, skinHeight, name, model);
  ReadResult result = finishModel(std::move(model), name);
  if (result) {
    MeshObject& read = result.model[0];
    read.xMin = box[0][0];
    read.yMin = box[0][1];
    read.zMin = box[0][2];
    read.xMax = box[1][0];
    read.yMax = box[1][1];
    read.zMax = box[1][2];
  }
  return result;
}
