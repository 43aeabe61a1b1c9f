#include "formats/vtk_format.h"

#include <gtest/gtest.h>

#include "formats/reader_support.h"
#include "formats/reader_test_support.h"
#include "support/temp_dir.h"

namespace {

std::optional<Model> readVtk(const IsolatedState& state, const std::string& text) {
  const std::string path = state.dir().file("model.vtk");
  writeTextFile(path, text);
  return readVtkFile(path.c_str());
}

const std::string kHeader = "# vtk DataFile Version 4.2\nsquare\nASCII\nDATASET POLYDATA\n";
const std::string kPoints = "POINTS 4 float\n0 0 0 2 0 0\n2 2 0 0 2 1\n";
const std::string kPolygons = "POLYGONS 2 8\n3 0 1 2\n3 0 2 3\n";

const std::vector<std::vector<std::int32_t>> kSquareFaces{{0, 1, 2}, {0, 2, 3}};

}  // namespace

TEST(VtkReader, SectionsInEitherOrderAndOtherSectionsIgnored) {
  const std::string variants[] = {
      kHeader + kPoints + kPolygons,
      kHeader + kPolygons + kPoints,
      kHeader + kPoints + "LINES 1 3\n2 0 1\n" + kPolygons +
          "POINT_DATA 4\nSCALARS s float 1\nLOOKUP_TABLE default\n0 1 2 3\n",
      // The layout of file version 5: offsets and connectivity arrays.
      kHeader + kPoints +
          "POLYGONS 3 6\nOFFSETS vtktypeint64\n0 3 6\nCONNECTIVITY vtktypeint64\n0 1 2 0 2 3\n",
  };
  for (const std::string& text : variants) {
    IsolatedState state;
    std::optional<Model> model = readVtk(state, text);
    ASSERT_TRUE(model) << text;
    const MeshObject& object = (*model)[0];
    EXPECT_EQ(object.numVertices, 4);
    EXPECT_EQ(object.numFaces, 2);
    EXPECT_EQ(facesOf(object), kSquareFaces) << text;
    EXPECT_EQ(object.xMax, 2.0f);
    EXPECT_EQ(object.zMax, 1.0f);
    EXPECT_FLOAT_EQ(object.yCenMass, 1.0f);
  }
}

TEST(VtkReader, OnlyLinesGivesPointsWithoutFaces) {
  IsolatedState state;
  std::optional<Model> model = readVtk(state, kHeader + kPoints + "LINES 1 5\n4 0 1 2 3\n");
  ASSERT_TRUE(model);
  EXPECT_EQ((*model)[0].numVertices, 4);
  EXPECT_EQ((*model)[0].numFaces, 0);
}

TEST(VtkReader, LaterSectionsReplaceEarlierOnes) {
  IsolatedState state;
  std::optional<Model> model =
      readVtk(state, kHeader + "POINTS 1 float\n9 9 9\n" + "POLYGONS 1 4\n3 0 0 0\n" + kPoints +
                         kPolygons);
  ASSERT_TRUE(model);
  EXPECT_EQ((*model)[0].numVertices, 4);
  EXPECT_EQ((*model)[0].xMax, 2.0f);  // bounds of the second POINTS only
  EXPECT_EQ(facesOf((*model)[0]), kSquareFaces);
}

TEST(VtkReader, RefusalsEndTheProgram) {
  const struct {
    std::string text;
    const char* line;
  } cases[] = {
      {"# vtk DataFile Version 4.2\nx\nBINARY\nDATASET POLYDATA\n", "Binary VTK files not supported."},
      {"# vtk DataFile Version 4.2\nx\nascii\nDATASET POLYDATA\n", "is not a valid VTK file."},
      {"# vtk DataFile Version 4.2\nx\nASCII\nDATASET UNSTRUCTURED_GRID\n",
       "Found unsupported dataset in VTK file."},
      // A title word ASCII makes the next words the data set line.
      {"# vtk DataFile Version 4.2\nmy ASCII model\nASCII\nDATASET POLYDATA\n",
       "Found unsupported dataset in VTK file."},
  };
  for (const auto& c : cases) {
    IsolatedState state;
    const std::string path = state.dir().file("bad.vtk");
    writeTextFile(path, c.text);
    EXPECT_EXIT(readVtkFile(path.c_str()), testing::ExitedWithCode(255), c.line) << c.text;
  }
}

TEST(VtkReader, DamagedNumbersAreRefused) {
  const std::string damaged[] = {
      kHeader + "POINTS x float\n",
      kHeader + "POINTS -1 float\n",
      kHeader + "POINTS 4 float\n0 0 0 1 1 1\n",
      kHeader + "POINTS 2 float\n0 0 0 1 nan 1\n",
      kHeader + kPoints + "POLYGONS 2 8\n3 0 1 2\n3 0 2\n",
      kHeader + kPoints + "POLYGONS 1 4\n-3 0 1 2\n",
      kHeader + kPoints + "POLYGONS 1 40001\n40000 0 1 2\n",
      kHeader + kPoints + "POLYGONS 3 6\nOFFSETS t\n0 3 2\nCONNECTIVITY t\n0 1 2 0 2 3\n",
      kHeader + kPoints + "POLYGONS 3 6\nOFFSETS t\n0 3 6\nCONNECTIVITY t\n0 1 2 0\n",
      kHeader + kPoints + "POLYGONS 3 6\nOFFSETS t\n0 3 9\nCONNECTIVITY t\n0 1 2 0 2 3\n",
      kHeader + "POINTS 900000000 float\n0 0 0\n",
  };
  for (const std::string& text : damaged) {
    IsolatedState state;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(readVtk(state, text)) << text;
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("is damaged or truncated."), std::string::npos) << text;
    EXPECT_EQ(lastReadFailure, ReadFailure::Damaged);
  }
}

TEST(VtkReader, FacesOutOfRangeAreDropped) {
  IsolatedState state;
  testing::internal::CaptureStderr();
  std::optional<Model> model =
      readVtk(state, kHeader + kPoints + "POLYGONS 3 12\n3 0 1 2\n3 0 1 4\n3 0 2 3\n");
  const std::string err = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(model);
  EXPECT_EQ(facesOf((*model)[0]), kSquareFaces);
  EXPECT_NE(err.find("has 1 faces with vertex indices out of range"), std::string::npos);
}
