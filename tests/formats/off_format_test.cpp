#include "formats/off_format.h"

#include <gtest/gtest.h>

#include "formats/reader_support.h"
#include "model/current_model.h"
#include "model/merge.h"
#include "support/mesh_builders.h"
#include "support/temp_dir.h"

namespace {

std::optional<Model> readText(const IsolatedState& state, const std::string& text) {
  const std::string path = state.dir().file("model.off");
  writeTextFile(path, text);
  return readOffFile(path.c_str());
}

std::vector<std::int32_t> faceOf(const MeshObject& object, std::size_t f) {
  auto face = object.faces[f];
  return {face.begin(), face.end()};
}

}  // namespace

TEST(OffReader, ReadsTheUsualLayoutAndAllOnOneLineAlike) {
  IsolatedState state;
  const std::string usual = "OFF\n4 1 0\n0 0 0\n1 0 0\n0 1 0\n0 0 1\n3 0 1 2\n";
  const std::string oneLine = "off 4 1 0 0 0 0 1 0 0 0 1 0 0 0 1 3 0 1 2";
  for (const std::string& text : {usual, oneLine}) {
    objectCount = 0;
    std::optional<Model> model = readText(state, text);
    ASSERT_TRUE(model);
    EXPECT_EQ(objectCount, 1);
    const MeshObject& object = (*model)[0];
    EXPECT_EQ(object.numVertices, 4);
    EXPECT_EQ(object.numFaces, 1);
    EXPECT_EQ(faceOf(object, 0), (std::vector<std::int32_t>{0, 1, 2}));
    EXPECT_EQ(object.faceSizes[0], 3);
    EXPECT_EQ(object.xMax, 1.0f);
    EXPECT_EQ(object.zMin, 0.0f);
    EXPECT_FLOAT_EQ(object.xCenMass, 0.25f);
  }
}

TEST(OffReader, ExtraNumbersOnFaceLinesAreMisreadAsTheNextFace) {
  IsolatedState state;
  std::optional<Model> model =
      readText(state, "OFF 3 2 0 0 0 0 1 0 0 0 1 0\n3 0 1 2 1\n2\n");
  ASSERT_TRUE(model);
  EXPECT_EQ((*model)[0].faceSizes[1], 1);
  EXPECT_EQ(faceOf((*model)[0], 1), (std::vector<std::int32_t>{2}));
}

TEST(OffReader, WrongHeadersEndTheProgram) {
  for (const char* header : {"Off", "COFF", "NOFF", "OFF3", "4OFF", "#", "# comment\nOFF"}) {
    IsolatedState state;
    const std::string path = state.dir().file("bad.off");
    writeTextFile(path, std::string(header) + "\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n");
    EXPECT_EXIT(readOffFile(path.c_str()), testing::ExitedWithCode(255),
                "is not a valid OFF file")
        << header;
  }
}

TEST(OffReader, DamagedFilesAreRefusedAndTheProgramGoesOn) {
  const char* damaged[] = {
      "",                                          // nothing at all
      "OFF",                                       // no counts
      "OFF 3 1",                                   // a count missing
      "OFF x 1 0",                                 // a count not a number
      "OFF -3 1 0 0 0 0",                          // negative count
      "OFF 3 -1 0 0 0 0 1 0 0 0 1 0",              // negative count
      "OFF 3 1 0 0 0 0 1 0 0 0 1",                 // a coordinate missing
      "OFF 3 1 0 0 0 0 1 zero 0 0 1 0 3 0 1 2",    // a coordinate not a number
      "OFF 3 1 0 0 0 0 1 0 0 0 1 0 3 0 1",         // an index missing
      "OFF 3 1 0 0 0 0 1 0 0 0 1 0 3 0 one 2",     // an index not a number
      "OFF 3 1 0 0 0 0 1 0 0 0 1 0",               // the face missing
      "OFF 3 1 0 0 0 0 1 0 0 0 1 0 -3 0 1 2",      // negative face size
      "OFF 3 1 0 0 0 0 1 0 0 0 1 0 40000 0 1 2",   // face size beyond 16 bits
      "OFF 3 1 0 0 0 0 1 0 0 0 1 inf 3 0 1 2",     // not a finite coordinate
      "OFF 3 1 0 0 0 0 1 0 0 0 1 nan 3 0 1 2",     // not a finite coordinate
      "OFF 2000000000 1 0 0 0 0",                  // more vertices than bytes
      "OFF 3 2000000000 0 0 0 0 1 0 0 0 1 0 3 0",  // more faces than bytes
      "OFF 99999999999 1 0",                       // beyond 32 bits
  };
  for (const char* text : damaged) {
    IsolatedState state;
    objectCount = 5;
    testing::internal::CaptureStderr();
    std::optional<Model> model = readText(state, text);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(model) << text;
    EXPECT_EQ(objectCount, 5) << text;
    EXPECT_EQ(lastReadFailure, ReadFailure::Damaged) << text;
    EXPECT_NE(err.find("is damaged or truncated."), std::string::npos) << text;
  }
}

TEST(OffReader, FacesOutOfRangeAreDroppedWithOneMessage) {
  IsolatedState state;
  testing::internal::CaptureStderr();
  std::optional<Model> model =
      readText(state, "OFF 3 4 0 0 0 0 1 0 0 0 1 0\n3 0 1 2\n3 0 1 3\n3 -1 0 1\n4 2 1 0 2\n");
  const std::string err = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(model);
  const MeshObject& object = (*model)[0];
  EXPECT_EQ(object.numFaces, 2);
  EXPECT_EQ(faceOf(object, 1), (std::vector<std::int32_t>{2, 1, 0, 2}));
  EXPECT_NE(err.find("has 2 faces with vertex indices out of range; they were dropped."),
            std::string::npos);
  EXPECT_EQ(err.find("dropped", err.find("dropped") + 1), std::string::npos);
}

TEST(OffReader, MissingFileShowsTheNoticeAndReturnsNothing) {
  IsolatedState state;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(readOffFile(state.dir().file("absent.off").c_str()));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(lastReadFailure, ReadFailure::NotOpened);
  EXPECT_NE(err.find("FILE NOT FOUND: It may have been moved or deleted."), std::string::npos);
}

TEST(OffWriter, WritesTheExactLayout) {
  IsolatedState state;
  MeshObject object = makeObject({1, -0.5f, 0, 2, 3, 4, 0, 0, 0}, {{0, 1, 2}, {2, 1}});
  const std::string path = state.dir().file("out.off");
  ASSERT_EQ(writeOffFile(object, path.c_str()), 0);
  EXPECT_EQ(readTextFile(path),
            "OFF\n3 2 0\n1.000000 -0.500000 0.000000\n2.000000 3.000000 4.000000\n"
            "0.000000 0.000000 0.000000\n3 0 1 2 \n2 2 1 \n");
}

TEST(OffWriter, RoundTripGivesBackTheModel) {
  IsolatedState state;
  MeshObject torus = makeTorus(12, 8, 2.0f, 0.5f);
  const std::string path = state.dir().file("torus.off");
  ASSERT_EQ(writeOffFile(torus, path.c_str()), 0);
  std::optional<Model> back = readOffFile(path.c_str());
  ASSERT_TRUE(back);
  const MeshObject& read = (*back)[0];
  ASSERT_EQ(read.numVertices, torus.numVertices);
  for (std::size_t k = 0; k < torus.vertices.size(); ++k) {
    EXPECT_NEAR(read.vertices[k], torus.vertices[k], 5e-7) << k;
  }
  EXPECT_EQ(read.faces.indices, torus.faces.indices);
  EXPECT_EQ(read.faces.offsets, torus.faces.offsets);
  EXPECT_EQ(read.faceSizes, torus.faceSizes);
}

TEST(OffWriter, ModelsOfSeveralOrNoObjects) {
  IsolatedState state;
  Model two;
  two.push_back(makeObject({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0}, {{0, 1, 2}}));
  two.push_back(makeObject({5, 5, 5, 6, 5, 5, 5, 6, 5}, {{0, 1, 2}}));
  const std::string path = state.dir().file("two.off");
  ASSERT_EQ(writeModelAsOff(two, 2, path.c_str()), 0);
  const std::string text = readTextFile(path);
  EXPECT_EQ(text.substr(0, 10), "OFF\n7 2 0\n");
  EXPECT_NE(text.find("\n3 4 5 6 \n"), std::string::npos);

  const std::string empty = state.dir().file("empty.off");
  ASSERT_EQ(writeModelAsOff(Model{}, 0, empty.c_str()), 0);
  EXPECT_EQ(readTextFile(empty), "OFF\n0 0 0\n");
  std::optional<Model> back = readOffFile(empty.c_str());
  ASSERT_TRUE(back);
  EXPECT_EQ((*back)[0].numVertices, 0);
  EXPECT_EQ((*back)[0].xMin, -1.0f);
  EXPECT_EQ((*back)[0].zMax, -1.0f);
}

TEST(OffWriter, UncreatableOutputEndsTheProgram) {
  IsolatedState state;
  MeshObject object = makeObject({0, 0, 0}, {});
  const std::string path = state.dir().file("no/such/folder/out.off");
  EXPECT_EXIT(writeOffFile(object, path.c_str()), testing::ExitedWithCode(255), "");
}
