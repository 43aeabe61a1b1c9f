// Every model file under tests/data (and the shared corpus of other programs' files, when present)
// is read through the dispatch and described; the description must equal its `.expected` twin
// (TESSERA_UPDATE_GOLDEN=1 writes them anew). Every prefix of each small file loads or is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "formats/model_dispatch.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

const fs::path kData = fs::path(TESSERA_SOURCE_DIR) / "tests" / "data";
const fs::path kCorpus = fs::path(TESSERA_SOURCE_DIR) / ".." / "shared" / "corpus";

const char* const kOutcomes[] = {"model", "unknown format", "not opened", "damaged", "refused"};
const char* const kAlphaModes[] = {"opaque", "mask", "blend"};

std::string format(const char* pattern, auto... values) {
  char text[256];
  std::snprintf(text, sizeof text, pattern, values...);
  return text;
}

// One line for each part of an object's appearance it has, so a plain mesh
// reads as it did: binding, the first values and the first corners' indices.
template <int W>
void describeAttribute(const char* what, const SurfaceAttribute<W>& a, std::string& text) {
  if (!a.present()) return;
  const char* const bindings[] = {"", "per vertex", "per face", "per corner"};
  text += format("  %s %s: %zu", what, bindings[static_cast<int>(a.binding)], a.count());
  for (std::size_t k = 0; k < std::min<std::size_t>(a.values.size(), 4 * W); ++k) {
    text += format("%s %.9g", k % W == 0 ? " |" : "", a.values[k]);
  }
  if (!a.corners.empty()) text += "; corners";
  for (std::size_t k = 0; k < std::min<std::size_t>(a.corners.size(), 12); ++k) text += format(" %d", a.corners[k]);
  text += "\n";
}

void describeAppearance(const MeshObject& o, std::string& text) {
  describeAttribute("colours", o.colors, text);
  describeAttribute("normals", o.normals, text);
  describeAttribute("texture coordinates", o.texCoords, text);
  if (o.material >= 0 || !o.faceMaterials.empty()) {
    text += format("  material %d, faces", o.material);
    for (std::size_t f = 0; f < std::min<std::size_t>(o.faceMaterials.size(), 12); ++f) {
      text += format(" %d", o.faceMaterials[f]);
    }
    text += "\n";
  }
  if (o.lines.count() > 0) text += format("  lines %zu", o.lines.count());
  for (std::size_t l = 0; l < std::min<std::size_t>(o.lines.count(), 12); ++l) {
    text += " |";
    for (std::int32_t index : o.lines[l]) text += format(" %d", index);
  }
  if (o.lines.count() > 0) text += "\n";
}

std::string describe(const ReadResult& read, std::string output, const std::string& path,
                     const std::string& name) {
  // Messages name the file by the path it was read from: keep its name only.
  for (std::size_t at; (at = output.find(path)) != std::string::npos;) output.replace(at, path.size(), name);
  std::string text = std::string("outcome: ") + kOutcomes[static_cast<int>(read.failure)] + "\n" + output;
  if (!read) return text;
  text += format("objects: %zu\n", read.model.size());
  for (std::size_t i = 0; i < read.model.size() && i < 8; ++i) {
    const MeshObject& o = read.model[i];
    text += format("object %zu: %d vertices, %d faces\n", i, o.numVertices(), o.numFaces());
    text += format("  bounds x %.9g %.9g  y %.9g %.9g  z %.9g %.9g\n", o.xMin, o.xMax, o.yMin, o.yMax, o.zMin, o.zMax);
    text += format("  centre %.9g %.9g %.9g\n  vertices", o.xCenMass, o.yCenMass, o.zCenMass);
    for (std::size_t k = 0; k < std::min<std::size_t>(o.vertices.size(), 24); k += 3) {
      text += format(" (%.9g %.9g %.9g)", o.vertices[k], o.vertices[k + 1], o.vertices[k + 2]);
    }
    text += "\n  faces";
    for (std::size_t f = 0; f < std::min<std::size_t>(o.faces.count(), 12); ++f) {
      text += " |";
      for (std::int32_t index : o.faces[f]) text += format(" %d", index);
    }
    text += "\n";
    describeAppearance(o, text);
    if (read.model.textures.empty() || !o.texCoords.present()) continue;
    // A textured model: where its first corners fall on the picture.
    text += "  texture coordinates at the first corners";
    const TexCoordAttribute& uv = o.texCoords;
    const std::vector<std::int32_t>& corners = uv.binding == Binding::PerCorner ? uv.corners : o.faces.indices;
    const bool byIndex = uv.binding == Binding::PerVertex || uv.binding == Binding::PerCorner;
    for (std::size_t k = 0; byIndex && k < std::min<std::size_t>(corners.size(), 6); ++k) {
      const auto at = 2 * static_cast<std::size_t>(corners[k]);
      text += format(" (%.6g %.6g)", uv.values[at], uv.values[at + 1]);
    }
    text += "\n";
  }
  // Animated vertices: the frames, their runs, and where the middle and last frames put the first vertex.
  if (const VertexFrames& f = read.model.frames; !f.empty()) {
    text += format("frames: %zu of %zu vertices;", f.count(), f.vertexCount);
    for (const FrameRun& run : f.runs) text += format(" %s@%zu+%zu", run.name.c_str(), run.first, run.count);
    text += "\n";
    for (std::size_t k : {f.count() / 2, f.count() - 1}) {
      if (f.vertexCount == 0) break;
      text += format("  frame %zu '%s' (%.9g %.9g %.9g)\n", k, f.names[k].c_str(), f.frame(k)[0], f.frame(k)[1], f.frame(k)[2]);
    }
  }
  if (const SceneAnimation& scene = read.model.scene; !scene.empty()) {
    text += format("scene: %zu nodes, %zu skins, %zu animated objects;", scene.nodes.size(), scene.skins.size(),
                   scene.objects.size());
    for (const NodeAnimation& a : scene.animations) text += format(" '%s' %.6g s %zu channels", a.name.c_str(), a.seconds, a.channels.size());
    text += "\n";
  }
  for (const Material& m : read.model.materials) {
    const Rgba& c = m.baseColor;
    text += format("material %s: %.6g %.6g %.6g %.6g, %s %.6g, texture %d\n", m.name.c_str(), c.r, c.g, c.b, c.a,
                   kAlphaModes[static_cast<int>(m.alphaMode)], m.alphaCutoff, m.texture);
  }
  for (const Texture& t : read.model.textures) {
    text += format("texture %s %dx%d, first and last texel", t.name.c_str(), t.width, t.height);
    for (std::size_t k : {std::size_t{0}, t.rgba.size() - 4}) {
      if (k < t.rgba.size()) text += format(" (%d %d %d %d)", t.rgba[k], t.rgba[k + 1], t.rgba[k + 2], t.rgba[k + 3]);
    }
    text += "\n";
  }
  return text;
}

// Reads every model file under `inputs` and compares with the twins under `expectations`.
void checkFolder(const fs::path& inputs, const fs::path& expectations) {
  const bool update = std::getenv("TESSERA_UPDATE_GOLDEN") != nullptr;
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(inputs)) {
    const std::string ext = entry.path().extension().string();
    const bool model = ext != ".expected" && ext != ".md" && ext != ".bmp" && ext != ".bin" && ext != ".png" &&
                       ext != ".pcx" && ext != ".mtl" && ext != ".jpg";
    if (entry.is_regular_file() && model) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  ASSERT_FALSE(files.empty()) << inputs;
  for (const fs::path& file : files) {
    IsolatedState state;
    const fs::path expectedPath = expectations / (fs::relative(file, inputs).string() + ".expected");
    testing::internal::CaptureStderr();
    const FormatInfo* format = nullptr;
    const ReadResult read = readModelFile(file.c_str(), format);
    const std::string text = describe(read, testing::internal::GetCapturedStderr(), file.string(),
                                      file.filename().string());
    if (update) fs::create_directories(expectedPath.parent_path()), writeTextFile(expectedPath, text);
    EXPECT_EQ(text, readTextFile(expectedPath)) << file;
  }
}

}  // namespace

TEST(ReaderGolden, ProjectFixtures) { checkFolder(kData / "formats", kData / "formats"); }

// STL, PLY and glTF files of many writers, kept in the project (their
// sources are listed beside them).
TEST(ReaderGolden, RealFilesKeptHere) { checkFolder(kData / "real", kData / "real"); }

TEST(ReaderGolden, FilesWrittenByOtherPrograms) {
  if (!fs::exists(kCorpus)) GTEST_SKIP() << "no corpus at " << kCorpus;
  checkFolder(kCorpus, kData / "corpus");
}

TEST(ReaderGolden, EveryPrefixOfABinaryFileLoadsOrIsRefused) {
  IsolatedState state;
  const std::string cut = state.dir().file("prefix");
  for (const auto& entry : fs::recursive_directory_iterator(kData / "formats")) {
    const std::string ext = entry.path().extension().string();
    if (!entry.is_regular_file() || ext == ".expected" || ext == ".md" || fs::file_size(entry.path()) > 4096) continue;
    const std::string bytes = readTextFile(entry.path()), prefix = cut + ext;
    for (std::size_t length = 0; length < bytes.size(); ++length) {
      writeTextFile(prefix, bytes.substr(0, length));
      testing::internal::CaptureStderr();
      const FormatInfo* format = nullptr;
      const ReadResult read = readModelFile(prefix.c_str(), format);
      testing::internal::GetCapturedStderr();
      for (const MeshObject& object : read.model) {
        for (std::int32_t index : object.faces.indices) ASSERT_LT(static_cast<std::uint32_t>(index), static_cast<std::uint32_t>(object.numVertices()));
      }
    }
  }
}

// A fixture named NAME-binary.EXT and its twin NAME-text.EXT hold the same
// model in a format's two forms: their descriptions match but for the name.
TEST(ReaderGolden, BinaryAndTextTwinsReadAlike) {
  std::size_t pairs = 0;
  for (const auto& entry : fs::recursive_directory_iterator(kData / "formats")) {
    const std::string name = entry.path().stem().string();
    if (!name.ends_with("-binary")) continue;
    const fs::path twin = entry.path().parent_path() /
                          (name.substr(0, name.size() - 7) + "-text" + entry.path().extension().string());
    if (!fs::exists(twin)) continue;
    std::string texts[2];
    for (int k = 0; k < 2; ++k) {
      IsolatedState state;
      const fs::path& file = k == 0 ? entry.path() : twin;
      testing::internal::CaptureStderr();
      const FormatInfo* format = nullptr;
      const ReadResult read = readModelFile(file.c_str(), format);
      texts[k] = describe(read, testing::internal::GetCapturedStderr(), file.string(), "the file");
    }
    EXPECT_EQ(texts[0], texts[1]) << entry.path();
    ++pairs;
  }
  EXPECT_GE(pairs, 3u);
}
