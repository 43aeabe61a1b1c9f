// Files written by other programs, from the shared corpus when it is present.
#include <gtest/gtest.h>

#include <filesystem>

#include "formats/model_dispatch.h"
#include "formats/reader_support.h"
#include "support/temp_dir.h"

namespace {

std::filesystem::path corpusDir(const char* format) {
  return std::filesystem::path(TESSERA_SOURCE_DIR) / ".." / "shared" / "corpus" / format;
}

}  // namespace

TEST(Corpus, OffFiles) {
  const std::filesystem::path dir = corpusDir("off");
  if (!std::filesystem::exists(dir)) GTEST_SKIP() << "no corpus at " << dir;
  IsolatedState state;
  FormatId format = formatUnknown;

  testing::internal::CaptureStderr();
  std::optional<Model> cube = readModelFile((dir / "Cube.off").c_str(), format);
  ASSERT_TRUE(cube);
  EXPECT_EQ((*cube)[0].numVertices, 8);
  EXPECT_EQ((*cube)[0].numFaces, 6);
  EXPECT_EQ((*cube)[0].xMin, -0.5f);
  EXPECT_EQ((*cube)[0].zMax, 0.5f);
  EXPECT_EQ((*cube)[0].faceSizes[5], 4);

  // Four faces promised, the file ends inside the second.
  EXPECT_FALSE(readModelFile((dir / "invalid.off").c_str(), format));
  EXPECT_EQ(lastReadFailure, ReadFailure::Damaged);
  // Zero bytes: nothing to show, and no reason to end the program.
  EXPECT_FALSE(readModelFile((dir / "empty.off").c_str(), format));
  EXPECT_EQ(lastReadFailure, ReadFailure::Damaged);
  testing::internal::GetCapturedStderr();
}

namespace {

struct Expected {
  const char* file;
  int objects;  // -1: refused (no model)
  long long polygons;
  long long vertices;
};

void checkCorpus(const char* format, std::initializer_list<Expected> files) {
  const std::filesystem::path dir = corpusDir(format);
  if (!std::filesystem::exists(dir)) GTEST_SKIP() << "no corpus at " << dir;
  IsolatedState state;
  for (const Expected& e : files) {
    SCOPED_TRACE(e.file);
    FormatId format = formatUnknown;
    testing::internal::CaptureStderr();
    std::optional<Model> model = readModelFile((dir / e.file).c_str(), format);
    testing::internal::GetCapturedStderr();
    if (e.objects < 0) {
      EXPECT_FALSE(model);
      continue;
    }
    ASSERT_TRUE(model);
    EXPECT_EQ(static_cast<int>(model->size()), e.objects);
    long long polygons = 0, vertices = 0;
    for (const MeshObject& object : *model) {
      polygons += object.numFaces;
      vertices += object.numVertices;
      for (std::int32_t index : object.faces.indices) {
        EXPECT_TRUE(index >= 0 && index < object.numVertices);
      }
    }
    EXPECT_EQ(polygons, e.polygons);
    EXPECT_EQ(vertices, e.vertices);
  }
}

}  // namespace

TEST(Corpus, ObjFiles) {
  checkCorpus("obj", {{"box.obj", 1, 6, 8},
                      {"box_without_lineending.obj", 1, 6, 8},
                      {"cube_mtllib_after_g.obj", 1, 12, 8},
                      {"empty.obj", 1, 0, 0},
                      {"malformed.obj", 1, 4, 8},
                      {"multiple_spaces.obj", 1, 1, 4},
                      {"number_formats.obj", 1, 1, 15},
                      {"testmixed.obj", 1, 6, 8}});
}

TEST(Corpus, VtkFiles) {
  checkCorpus("vtk", {{"cube.vtk", 1, 6, 24},
                      {"line.vtk", 1, 0, 5},
                      {"sphere.vtk", 1, 192, 98},
                      {"sphere_normals.vtk", 1, 192, 98}});
  // The version 5 layout reads the same as its 4.2 twin.
  const std::filesystem::path dir = corpusDir("vtk");
  if (!std::filesystem::exists(dir)) return;
  IsolatedState state;
  FormatId format = formatUnknown;
  std::optional<Model> v42 = readModelFile((dir / "sphere.vtk").c_str(), format);
  std::optional<Model> v51 = readModelFile((dir / "sphere_v51.vtk").c_str(), format);
  ASSERT_TRUE(v42 && v51);
  EXPECT_EQ((*v42)[0].vertices, (*v51)[0].vertices);
  EXPECT_EQ((*v42)[0].faces.indices, (*v51)[0].faces.indices);
  EXPECT_EQ((*v42)[0].faceSizes, (*v51)[0].faceSizes);
  for (const char* refused : {"grid.vtk", "sphere_binary.vtk"}) {
    const std::string path = (dir / refused).string();
    EXPECT_EXIT(readModelFile(path.c_str(), format), testing::ExitedWithCode(255), "") << refused;
  }
}

TEST(Corpus, DxfFiles) {
  checkCorpus("dxf", {{"PinkEggFromLW.dxf", 288, 288, 1152}, {"lineTest.dxf", 2, 2, 8}});
  const std::filesystem::path dir = corpusDir("dxf");
  if (!std::filesystem::exists(dir)) return;
  // Corners written in the order 13, 12, 11, 10 still land in their slots:
  // the egg is closed and centred on the z axis.
  IsolatedState state;
  FormatId format = formatUnknown;
  std::optional<Model> egg = readModelFile((dir / "PinkEggFromLW.dxf").c_str(), format);
  ASSERT_TRUE(egg);
  EXPECT_EQ((*egg)[0].vertices[0], 0.5375f);
  EXPECT_EQ((*egg)[0].vertices[9], 0.0f);
  EXPECT_EQ((*egg)[0].vertices[10], -2.1f);
}

TEST(Corpus, BinaryFiles) {
  checkCorpus("3ds", {{"fels.3ds", 1, 768, 386}, {"test1.3ds", 9, 108, 288}, {"empty.3ds", -1, 0, 0}});
  checkCorpus("cob", {{"molecule.cob", 4, 512, 456}});
  checkCorpus("lwo", {{"ConcavePolygon.lwo", 1, 1, 64},
                      {"boxuv.lwo", 1, 6, 24},
                      {"sphere_with_mat_gloss_10pc.lwo", 1, 288, 266}});
  checkCorpus("md2", {{"faerie.md2", 1, 654, 366}});
  checkCorpus("x", {{"test_cube_binary.x", 1, 0, 0}, {"test_cube_compressed.x", 1, 0, 0}});
}

TEST(Corpus, BinaryFilesRefusedOutright) {
  const std::filesystem::path root = corpusDir("");
  if (!std::filesystem::exists(root)) GTEST_SKIP() << "no corpus at " << root;
  const struct {
    const char* path;
    const char* line;
  } refused[] = {
      {"cob/molecule_ascii.cob", "ASCII .cob files not supported."},
      {"mdl/man.mdl", "is not a valid MDL file."},      // another engine's MDL
      {"mdl/minigun.MDL", "is not a valid MDL file."},  // another MDL dialect
      {"x/test_cube_text.x", "ASCII .x files not supported."},
  };
  IsolatedState state;
  for (const auto& r : refused) {
    const std::string path = (root / r.path).string();
    FormatId format = formatUnknown;
    EXPECT_EXIT(readModelFile(path.c_str(), format), testing::ExitedWithCode(255), r.line) << r.path;
  }
}
