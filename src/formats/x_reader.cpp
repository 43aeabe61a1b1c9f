// DirectX meshes: a 16-byte header ("xof 0303txt 0032": version, kind, float
// size), then data objects in text or binary tokens, either of them possibly
// MSZIP-compressed. Each Mesh becomes one object, moved by the transforms of
// the frames around it; its normals, texture coordinates, vertex colours and
// materials (inline or named at the top level) come with it. Templates and
// objects of other kinds are passed over by their braces.
#include <zlib.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>

#include "formats/binary_file.h"
#include "formats/readers.h"
#include "formats/texture_files.h"

namespace {

constexpr std::size_t kHeaderSize = 16;
// Frames within frames deeper than this are not a real scene; the bound keeps
// the reading's recursion off the end of the stack.
constexpr int kMaxDepth = 128;
// Most a compressed file may expand to.
constexpr std::uint32_t kMaxInflated = 512u << 20;

enum class Tok : std::uint8_t { End, Bad, Name, String, Number, Guid, Open, Close, Other };

struct Token {
  Token(Tok k = Tok::End, std::string_view t = {}, double n = 0.0) : kind(k), text(t), number(n) {}  // NOLINT
  Tok kind;
  std::string_view text;  // names, strings, a number's own text
  double number;
};

// The tokens of a file's body, text or binary alike: separators (, and ;)
// are dropped, binary lists come out one number at a time.
class Lexer {
 public:
  Lexer(const std::uint8_t* data, std::size_t size, bool binary, bool doubles)
      : in_(data + kHeaderSize, size - kHeaderSize), text_(reinterpret_cast<const char*>(data) + kHeaderSize),
        binary_(binary), doubles_(doubles) {}

  Token next() {
    if (peeked_) {
      peeked_ = false;
      return peek_;
    }
    return binary_ ? binaryToken() : textToken();
  }
  const Token& peek() {
    if (!peeked_) peek_ = next(), peeked_ = true;
    return peek_;
  }
  std::size_t remaining() const { return in_.remaining(); }
  // The fewest bytes a number takes: a digit in text, a DWORD in binary.
  std::size_t numberBytes() const { return binary_ ? 4 : 1; }

 private:
  Token binaryToken() {
    if (listLeft_ > 0) {
      --listLeft_;
      Token t{Tok::Number, {}, 0.0};
      if (!listFloats_) {
        t.number = in_.u32le();
      } else if (doubles_) {
        const std::uint64_t low = in_.u32le(), high = in_.u32le();
        const std::uint64_t bits = low | (high << 32);
        std::memcpy(&t.number, &bits, sizeof t.number);
      } else {
        t.number = in_.f32le();
      }
      return in_.damaged() ? Token{Tok::Bad} : t;
    }
    while (!in_.atEnd()) {
      const std::uint16_t code = in_.u16le();
      if (in_.damaged()) return {Tok::Bad};
      switch (code) {
        case 1:  // name
        case 2: {  // string; the separator after it is a token of its own
          const std::uint32_t length = in_.u32le();
          const std::string_view text = in_.text(length);
          if (in_.damaged()) return {Tok::Bad};
          return {code == 1 ? Tok::Name : Tok::String, text};
        }
        case 3: {
          const std::uint32_t value = in_.u32le();
          return in_.damaged() ? Token{Tok::Bad} : Token{Tok::Number, {}, static_cast<double>(value)};
        }
        case 5:
          return in_.skip(16) ? Token{Tok::Guid} : Token{Tok::Bad};
        case 6:
        case 7: {
          const std::uint32_t count = in_.u32le();
          const std::size_t size = code == 6 || !doubles_ ? 4 : 8;
          if (in_.damaged() || !in_.holds(count, size)) return {Tok::Bad};
          listLeft_ = count;
          listFloats_ = code == 7;
          if (count > 0) return binaryToken();
          continue;
        }
        case 10:
          return {Tok::Open};
        case 11:
          return {Tok::Close};
        case 19:  // comma
        case 20:  // semicolon
          continue;
        case 31:
          return {Tok::Name, "template"};
        default:
          // brackets, angles, dot and the type words of templates
          if ((code >= 12 && code <= 18) || (code >= 40 && code <= 52)) return {Tok::Other};
          return {Tok::Bad};
      }
    }
    return {Tok::End};
  }

  static bool ends(char c) {
    return std::strchr(" \t\r\n\f\v{};,<>\"[]()", c) != nullptr || c == '\0';
  }

  Token textToken() {
    const std::size_t size = in_.size();
    std::size_t& at = pos_;
    for (;;) {
      while (at < size && std::strchr(" \t\r\n\f\v;,", text_[at]) != nullptr && text_[at] != '\0') ++at;
      if (at < size && (text_[at] == '#' || (text_[at] == '/' && at + 1 < size && text_[at + 1] == '/'))) {
        while (at < size && text_[at] != '\n') ++at;
        continue;
      }
      break;
    }
    in_.seek(at);
    if (at >= size) return {Tok::End};
    const char c = text_[at];
    auto upTo = [&](char close, Tok kind) -> Token {
      const void* found = std::memchr(text_ + at + 1, close, size - at - 1);
      if (found == nullptr) return {Tok::Bad};
      const std::size_t end = static_cast<std::size_t>(static_cast<const char*>(found) - text_);
      const Token t{kind, {text_ + at + 1, end - at - 1}};
      at = end + 1;
      in_.seek(at);
      return t;
    };
    switch (c) {
      case '{':
        in_.seek(++at);
        return {Tok::Open};
      case '}':
        in_.seek(++at);
        return {Tok::Close};
      case '<':
        return upTo('>', Tok::Guid);
      case '"':
        return upTo('"', Tok::String);
      case '[':
      case ']':
      case '(':
      case ')':
      case '>':
        in_.seek(++at);
        return {Tok::Other};
      default:
        break;
    }
    const std::size_t start = at;
    while (at < size && !ends(text_[at])) ++at;
    if (at == start) return {Tok::Bad};  // a NUL byte
    in_.seek(at);
    Token t{Tok::Name, {text_ + start, at - start}};
    const char* first = t.text.data() + (c == '+' ? 1 : 0);
    const char* last = t.text.data() + t.text.size();
    if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.') {
      const auto [end, error] = std::from_chars(first, last, t.number);
      if (error == std::errc() && end == last) t.kind = Tok::Number;
    }
    return t;
  }

  ByteCursor in_;
  const char* text_;
  std::size_t pos_ = 0;
  bool binary_, doubles_;
  std::uint32_t listLeft_ = 0;
  bool listFloats_ = false;
  Token peek_;
  bool peeked_ = false;
};

struct Frame {
  int parent = -1;
  float local[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  float world[16] = {};
};

// Row vectors, as DirectX writes them: a frame's world matrix is its own
// matrix times its parent's.
void multiply(const float* a, const float* b, float* out) {
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += a[4 * r + k] * b[4 * k + c];
      out[4 * r + c] = sum;
    }
  }
}

void transformObject(MeshObject& object, const float* m) {
  for (std::size_t i = 0; i + 2 < object.vertices.size(); i += 3) {
    float* v = &object.vertices[i];
    const float x = v[0], y = v[1], z = v[2];
    v[0] = x * m[0] + y * m[4] + z * m[8] + m[12];
    v[1] = x * m[1] + y * m[5] + z * m[9] + m[13];
    v[2] = x * m[2] + y * m[6] + z * m[10] + m[14];
  }
  // Normals go by the inverse transpose, which for row vectors is the
  // cofactor matrix over the determinant; only its sign matters here.
  const float c[9] = {m[5] * m[10] - m[6] * m[9], m[6] * m[8] - m[4] * m[10], m[4] * m[9] - m[5] * m[8],
                      m[2] * m[9] - m[1] * m[10], m[0] * m[10] - m[2] * m[8], m[1] * m[8] - m[0] * m[9],
                      m[1] * m[6] - m[2] * m[5], m[2] * m[4] - m[0] * m[6], m[0] * m[5] - m[1] * m[4]};
  const float det = m[0] * c[0] + m[1] * c[1] + m[2] * c[2];
  const float sign = det < 0.0f ? -1.0f : 1.0f;
  for (std::size_t i = 0; i + 2 < object.normals.values.size(); i += 3) {
    float* n = &object.normals.values[i];
    const float x = n[0], y = n[1], z = n[2];
    float t[3] = {x * c[0] + y * c[3] + z * c[6], x * c[1] + y * c[4] + z * c[7], x * c[2] + y * c[5] + z * c[8]};
    const float length = std::sqrt(t[0] * t[0] + t[1] * t[1] + t[2] * t[2]);
    if (!(length > 0.0f)) continue;
    for (int k = 0; k < 3; ++k) n[k] = sign * t[k] / length;
  }
}

class Parser {
 public:
  Parser(Lexer& lex, Model& model, const char* path) : lex_(lex), model_(model), path_(path) {}

  // False on damage; `deep` tells when it was nesting past the bound.
  bool read() {
    for (;;) {
      const Token t = lex_.next();
      if (t.kind == Tok::End) break;
      if (t.kind != Tok::Name || !object(t.text, -1, 1)) return false;
    }
    for (Frame& frame : frames_) {
      if (frame.parent < 0) {
        std::memcpy(frame.world, frame.local, sizeof frame.world);
      } else {
        multiply(frame.local, frames_[static_cast<std::size_t>(frame.parent)].world, frame.world);
      }
    }
    for (std::size_t k = 0; k < model_.size(); ++k) {
      MeshObject& mesh = model_[k];
      if (meshFrames_[k] >= 0) transformObject(mesh, frames_[static_cast<std::size_t>(meshFrames_[k])].world);
      // DirectX's axes are left-handed and its front faces clockwise: mirrored
      // in z and their corners reversed, they are ours.
      for (std::size_t i = 2; i < mesh.vertices.size(); i += 3) mesh.vertices[i] = 0.0f - mesh.vertices[i];
      for (std::size_t i = 2; i < mesh.normals.values.size(); i += 3) mesh.normals.values[i] = 0.0f - mesh.normals.values[i];
      const bool perCorner = !mesh.normals.corners.empty();
      for (std::size_t f = 0; f < mesh.faces.count(); ++f) {
        const std::uint32_t begin = mesh.faces.offsets[f], end = mesh.faces.offsets[f + 1];
        std::reverse(mesh.faces.indices.begin() + begin, mesh.faces.indices.begin() + end);
        if (perCorner) std::reverse(mesh.normals.corners.begin() + begin, mesh.normals.corners.begin() + end);
      }
    }
    return true;
  }
  bool deep = false;

 private:
  bool number(double& value) {
    const Token t = lex_.next();
    value = t.number;
    return t.kind == Tok::Number && std::isfinite(t.number);
  }
  bool number(float& value) {
    double wide = 0.0;
    if (!number(wide)) return false;
    value = static_cast<float>(wide);
    return true;
  }
  bool integer(std::uint32_t& value) {
    double wide = 0.0;
    if (!number(wide) || wide < 0.0 || wide > 4294967295.0 || wide != std::floor(wide)) return false;
    value = static_cast<std::uint32_t>(wide);
    return true;
  }
  // A count of items of `numbers` numbers each, all of which must still fit
  // in the file: checked before anything is made for them.
  bool count(std::uint32_t& value, std::size_t numbers) {
    return integer(value) && value <= lex_.remaining() / (numbers * lex_.numberBytes());
  }
  // Skips to the close of an object already opened, however deep.
  bool skipBody() {
    for (std::size_t open = 1; open > 0;) {
      const Tok kind = lex_.next().kind;
      if (kind == Tok::Open) ++open;
      if (kind == Tok::Close) --open;
      if (kind == Tok::End || kind == Tok::Bad) return false;
    }
    return true;
  }
  // After an object's kind: its optional name and GUID, then its brace.
  bool opening(std::string_view& name) {
    Token t = lex_.next();
    if (t.kind == Tok::Name || t.kind == Tok::Number) name = t.text, t = lex_.next();
    if (t.kind == Tok::Guid) t = lex_.next();
    return t.kind == Tok::Open;
  }

  // The next object inside the one open, references to others passed
  // over: false at its close, and false with `ok` false on damage.
  bool nextChild(Token& t, bool& ok) {
    for (;;) {
      t = lex_.next();
      if (t.kind == Tok::Close) return false;
      if (t.kind != Tok::Open) return true;
      if (!skipBody()) return ok = false;
    }
  }

  // The opening of an object `depth` levels down; false past the bound
  // (which `deep` tells) or on damage.
  bool openingAt(int depth, std::string_view& name) {
    if (depth > kMaxDepth) {
      deep = true;
      return false;
    }
    return opening(name);
  }

  bool object(std::string_view kind, int frame, int depth) {
    std::string_view name;
    if (!openingAt(depth, name)) return false;
    if (kind == "Frame") return readFrame(frame, depth);
    if (kind == "Mesh") return readMesh(frame, depth);
    if (kind == "Material") {
      std::int32_t index = -1;
      if (!readMaterial(name, index)) return false;
      if (!name.empty()) namedMaterials_[std::string(name)] = index;
      return true;
    }
    return skipBody();
  }

  bool readFrame(int parent, int depth) {
    const int me = static_cast<int>(frames_.size());
    const std::size_t meshesBefore = model_.size();
    frames_.push_back(Frame{parent});
    for (;;) {
      const Token t = lex_.next();
      if (t.kind == Tok::Close) {
        // A frame that places no mesh is not kept (its meshless children
        // went before it), so that a file of empty frames costs no more
        // memory than its size.
        if (model_.size() == meshesBefore) frames_.pop_back();
        return true;
      }
      if (t.kind == Tok::Open) {  // a reference to an object elsewhere
        if (!skipBody()) return false;
        continue;
      }
      if (t.kind != Tok::Name) return false;
      if (t.text == "FrameTransformMatrix") {
        std::string_view name;
        if (!opening(name)) return false;
        float* m = frames_[static_cast<std::size_t>(me)].local;
        for (int k = 0; k < 16; ++k) {
          if (!number(m[k])) return false;
        }
        if (!skipBody()) return false;
      } else if (!object(t.text, me, depth + 1)) {
        return false;
      }
    }
  }

  bool readMesh(int frame, int depth) {
    MeshObject mesh;
    std::uint32_t vertices = 0, faces = 0;
    if (!count(vertices, 3)) return false;
    mesh.vertices.resize(3 * static_cast<std::size_t>(vertices));
    for (float& c : mesh.vertices) {
      if (!number(c)) return false;
    }
    if (!count(faces, 1)) return false;
    mesh.faces.offsets.reserve(faces + std::size_t{1});
    for (std::uint32_t f = 0; f < faces; ++f) {
      std::uint32_t corners = 0;
      if (!count(corners, 1) || corners > 32767) return false;
      for (std::int32_t& index : mesh.faces.append(corners)) {
        std::uint32_t value = 0;
        if (!integer(value)) return false;
        index = value > 0x7fffffffu ? -1 : static_cast<std::int32_t>(value);
      }
    }
    Token t;
    bool ok = true;
    while (nextChild(t, ok)) {
      if (t.kind != Tok::Name) return false;
      std::string_view name;
      if (!openingAt(depth + 1, name)) return false;
      bool read = true;
      if (t.text == "MeshNormals") {
        read = readNormals(mesh);
      } else if (t.text == "MeshTextureCoords") {
        read = readTexCoords(mesh);
      } else if (t.text == "MeshVertexColors") {
        read = readColors(mesh);
      } else if (t.text == "MeshMaterialList") {
        read = readMaterialList(mesh, depth + 1);
        if (read) continue;  // it has read its close
      }
      if (!read || !skipBody()) return false;
    }
    if (!ok) return false;
    if (mesh.vertices.empty() && mesh.faces.count() == 0) return true;  // kept no more than an empty chunk
    model_.push_back(std::move(mesh));
    meshFrames_.push_back(frame);
    return true;
  }

  // Normals have faces of their own, corner for corner with the mesh's: a
  // layout that differs leaves the mesh without them.
  bool readNormals(MeshObject& mesh) {
    std::uint32_t normals = 0, faces = 0;
    NormalAttribute& n = mesh.normals;
    if (!count(normals, 3)) return false;
    n.values.resize(3 * static_cast<std::size_t>(normals));
    for (float& c : n.values) {
      if (!number(c)) return false;
    }
    if (!count(faces, 1)) return false;
    bool fits = faces == mesh.faces.count();
    if (fits) n.corners.reserve(mesh.faces.indices.size());
    for (std::uint32_t f = 0; f < faces && fits; ++f) {
      std::uint32_t corners = 0;
      if (!integer(corners)) return false;
      fits = corners == mesh.faces[f].size();
      for (std::uint32_t k = 0; k < corners && fits; ++k) {
        std::uint32_t index = 0;
        if (!integer(index)) return false;
        n.corners.push_back(index > 0x7fffffffu ? -1 : static_cast<std::int32_t>(index));
      }
    }
    if (fits) {
      n.binding = Binding::PerCorner;
    } else {
      debugMessage("%s: normals whose faces differ from the mesh's are left out", path_);
      n.clear();
    }
    return true;
  }

  // DirectX's v runs down the picture.
  bool readTexCoords(MeshObject& mesh) {
    std::uint32_t coordinates = 0;
    if (!count(coordinates, 2)) return false;
    TexCoordAttribute& uv = mesh.texCoords;
    uv.values.resize(2 * static_cast<std::size_t>(coordinates));
    for (std::size_t k = 0; k < uv.values.size(); k += 2) {
      if (!number(uv.values[k]) || !number(uv.values[k + 1])) return false;
      uv.values[k + 1] = 1.0f - uv.values[k + 1];
    }
    uv.binding = Binding::PerVertex;
    return true;
  }

  // Colours name their vertices; those left out stay white.
  bool readColors(MeshObject& mesh) {
    std::uint32_t colours = 0;
    if (!count(colours, 5)) return false;
    ColorAttribute& colors = mesh.colors;
    colors.values.assign(mesh.vertices.size() / 3 * 4, 1.0f);
    for (std::uint32_t k = 0; k < colours; ++k) {
      std::uint32_t vertex = 0;
      float rgba[4];
      if (!integer(vertex)) return false;
      for (float& c : rgba) {
        if (!number(c)) return false;
      }
      if (vertex < colors.count()) std::memcpy(&colors.values[4 * static_cast<std::size_t>(vertex)], rgba, sizeof rgba);
    }
    colors.binding = Binding::PerVertex;
    return true;
  }

  // A material for each face by its place in the list that follows: inline
  // materials and references to named ones. Fewer indices than faces: the
  // last goes on.
  bool readMaterialList(MeshObject& mesh, int depth) {
    std::uint32_t materials = 0, indices = 0;
    if (!count(materials, 1) || !count(indices, 1)) return false;
    std::vector<std::uint32_t> local(indices);
    for (std::uint32_t& index : local) {
      if (!integer(index)) return false;
    }
    std::vector<std::int32_t> list;
    for (;;) {
      const Token t = lex_.next();
      if (t.kind == Tok::Close) break;
      if (t.kind == Tok::Open) {
        const Token ref = lex_.next();
        std::int32_t found = -1;
        if (ref.kind == Tok::Name) {
          const auto it = namedMaterials_.find(std::string(ref.text));
          if (it != namedMaterials_.end()) found = it->second;
          else debugMessage("%s: no material is named %.*s", path_, static_cast<int>(ref.text.size()), ref.text.data());
        }
        if (ref.kind != Tok::Close && !skipBody()) return false;
        list.push_back(found);
        continue;
      }
      if (t.kind != Tok::Name) return false;
      std::string_view name;
      if (!openingAt(depth + 1, name)) return false;
      if (t.text == "Material") {
        std::int32_t index = -1;
        if (!readMaterial(name, index)) return false;
        list.push_back(index);
      } else if (!skipBody()) {
        return false;
      }
    }
    if (list.empty()) return true;
    mesh.faceMaterials.resize(mesh.faces.count());
    for (std::size_t f = 0; f < mesh.faceMaterials.size(); ++f) {
      const std::uint32_t at = local.empty() ? 0 : local[std::min(f, local.size() - 1)];
      mesh.faceMaterials[f] = at < list.size() ? list[at] : -1;
    }
    return true;
  }

  // faceColor RGBA (the base colour), power, specular and emissive RGB, then
  // perhaps a texture.
  bool readMaterial(std::string_view name, std::int32_t& index) {
    Material m;
    m.name = name.empty() ? "material " + std::to_string(model_.materials.size()) : std::string(name);
    float ignored = 0.0f;
    if (!number(m.baseColor.r) || !number(m.baseColor.g) || !number(m.baseColor.b) || !number(m.baseColor.a)) {
      return false;
    }
    for (int k = 0; k < 7; ++k) {
      if (!number(ignored)) return false;
    }
    if (m.baseColor.a < 1.0f) m.alphaMode = AlphaMode::Blend;
    Token t;
    bool ok = true;
    while (nextChild(t, ok)) {
      std::string_view inner;
      if (t.kind != Tok::Name || !opening(inner)) return false;
      if (t.text == "TextureFilename" || t.text == "TextureFileName") {
        const Token file = lex_.next();
        if (file.kind != Tok::String) return false;
        if (!file.text.empty()) m.texture = addTextureFile(model_, path_, file.text);
      }
      if (!skipBody()) return false;
    }
    if (!ok) return false;
    index = static_cast<std::int32_t>(model_.materials.size());
    model_.materials.push_back(std::move(m));
    return true;
  }

  Lexer& lex_;
  Model& model_;
  const char* path_;
  std::vector<Frame> frames_;
  std::vector<int> meshFrames_;
  std::unordered_map<std::string, std::int32_t> namedMaterials_;
};

// MSZIP: a 32-bit size of the whole file as it was (header included), then
// blocks of a 16-bit size as it was, a 16-bit size as stored that counts
// "CK" and the raw deflate data after it. Each block may refer back into the
// output before it. The output starts with the header, its kind made plain.
bool inflateBlocks(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out) {
  ByteCursor in(data, size);
  in.skip(kHeaderSize);
  const std::uint32_t whole = in.u32le();
  if (in.damaged() || whole < kHeaderSize || whole > kMaxInflated) return false;
  out.assign(data, data + kHeaderSize);
  std::memcpy(&out[8], data[8] == 't' ? "txt " : "bin ", 4);

  struct Stream {
    z_stream z{};
    bool ready = inflateInit2(&z, -MAX_WBITS) == Z_OK;
    ~Stream() {
      if (ready) inflateEnd(&z);
    }
  } stream;
  if (!stream.ready) return false;
  while (!in.atEnd()) {
    const std::uint16_t plain = in.u16le(), stored = in.u16le();
    if (in.damaged() || stored < 2 || out.size() + plain > whole) return false;
    const std::string_view block = in.text(stored);
    if (in.damaged() || block.substr(0, 2) != "CK") return false;
    z_stream& z = stream.z;
    if (inflateReset(&z) != Z_OK) return false;
    const std::size_t history = std::min<std::size_t>(out.size() - kHeaderSize, 32768);
    if (history > 0 && inflateSetDictionary(&z, out.data() + out.size() - history, static_cast<uInt>(history)) != Z_OK) {
      return false;
    }
    const std::size_t start = out.size();
    out.resize(start + plain);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(block.data() + 2));
    z.avail_in = static_cast<uInt>(block.size() - 2);
    z.next_out = out.data() + start;
    z.avail_out = plain;
    const int result = inflate(&z, Z_FINISH);
    if (result != Z_STREAM_END || z.avail_out != 0) return false;
  }
  return true;
}

bool digits(std::string_view text) {
  return text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

ReadResult readXFile(const char* name) {
  FileBytes file;
  if (ReadResult loaded = file.load(name); !loaded) return loaded;
  const std::uint8_t* data = file.data();
  const std::size_t size = file.size();
  if (!beginsLike(data, size, "xof ")) return refuseFile(name, "is not a DirectX file");
  if (size < kHeaderSize) return refuseDamaged(name);
  const std::string_view header(reinterpret_cast<const char*>(data), kHeaderSize);
  const std::string_view version = header.substr(4, 4), kind = header.substr(8, 4), floats = header.substr(12, 4);
  if (kind == "com ") return refuseFile(name, "is a compressed DirectX file, which is not read");
  if (!digits(version) || (floats != "0032" && floats != "0064")) return refuseDamaged(name, "has a damaged header");
  if (version > "0303") return refuseFile(name, kNewerVersion);

  std::vector<std::uint8_t> inflated;
  if (kind == "tzip" || kind == "bzip") {
    if (!inflateBlocks(data, size, inflated)) return refuseDamaged(name, "has damaged compressed data");
    data = inflated.data();
  } else if (kind != "txt " && kind != "bin ") {
    return refuseDamaged(name, "has a damaged header");
  }
  const std::size_t bodySize = inflated.empty() ? size : inflated.size();
  Lexer lex(data, bodySize, kind[0] == 'b', floats == "0064");
  Model model;
  Parser parser(lex, model, name);
  if (!parser.read() || file.shrank()) {
    return parser.deep ? refuseDamaged(name, "nests its objects too deeply") : refuseDamaged(name);
  }
  return finishModel(std::move(model), name);
}
