// Animated vertices: frames read from a Quake 2 model, their runs by name,
// and the places between frames that playing shows.
#include <gtest/gtest.h>

#include "formats/model_dispatch.h"
#include "model/vertex_frames.h"
#include "support/mesh_builders.h"
#include "support/temp_dir.h"

TEST(VertexFrames, StemsAndRunsByName) {
  const struct {
    const char* name;
    const char* stem;
  } stems[] = {{"run01", "run"}, {"pain101", "pain1"}, {"crattak9", "crattak"}, {"stand", "stand"},
               {"123", "123"},   {"frame", "frame"},   {"", ""}};
  for (const auto& s : stems) EXPECT_EQ(frameStem(s.name), s.stem) << s.name;
  const std::vector<std::string> names = {"stand01", "stand02", "run01", "run02", "run03", "stand03", "death101", "death201"};
  const std::vector<FrameRun> byName = runsByName(names);
  ASSERT_EQ(byName.size(), 5u);
  const FrameRun expected[] = {{"stand", 0, 2}, {"run", 2, 3}, {"stand", 5, 1}, {"death1", 6, 1}, {"death2", 7, 1}};
  for (std::size_t k = 0; k < byName.size(); ++k) {
    EXPECT_EQ(byName[k].name, expected[k].name);
    EXPECT_EQ(byName[k].first, expected[k].first);
    EXPECT_EQ(byName[k].count, expected[k].count);
  }
  // A file's own group begins a run whatever its frames are called.
  const std::vector<FrameRun> grouped = runsByName({"frame", "frame", "frame", "frame"}, {0, 2});
  ASSERT_EQ(grouped.size(), 2u);
  EXPECT_EQ(grouped[1].first, 2u);
  EXPECT_EQ(grouped[1].count, 2u);
}

TEST(VertexFrames, EveryFrameOfAQuake2ModelIsReadAndPlayedBetween) {
  TempDir dir;
  std::vector<std::string> names;
  for (int k = 1; k <= 6; ++k) names.push_back("run0" + std::to_string(k));
  for (int k = 1; k <= 4; ++k) names.push_back("idle0" + std::to_string(k));
  const std::string path = dir.file("moving.md2");
  writeTextFile(path, md2Bytes(names));
  const FormatInfo* format = nullptr;
  ReadResult read = readModelFile(path.c_str(), format);
  ASSERT_TRUE(read);
  const VertexFrames& f = read.model.frames;
  ASSERT_EQ(f.count(), 10u);
  ASSERT_EQ(f.vertexCount, 3u);
  EXPECT_EQ(f.names[7], "idle02");
  ASSERT_EQ(f.runs.size(), 2u);
  EXPECT_EQ(f.runs[1].name, "idle");
  EXPECT_EQ(f.runs[1].first, 6u);
  // Frame k puts vertex 0 at (k, 2k, 3k); the object shows frame 0.
  for (std::size_t k = 0; k < f.count(); ++k) {
    const float* v = f.frame(k);
    const auto step = static_cast<float>(k);
    EXPECT_EQ((std::vector<float>(v, v + 9)), (std::vector<float>{step, 2 * step, 3 * step, 10, 0, 0, 0, 10, 0})) << k;
  }
  EXPECT_EQ(read.model[0].vertices, std::vector<float>(f.frame(0), f.frame(0) + 9));
  // At 10 frames a second: 0.25 s into the idle run is halfway from its
  // third frame to its fourth; its end leads back to its start.
  const struct {
    double seconds;
    std::size_t a, b;
    float t, x;
  } places[] = {{0.0, 6, 7, 0.0f, 6.0f}, {0.25, 8, 9, 0.5f, 8.5f}, {0.35, 9, 6, 0.5f, 7.5f}, {0.45, 6, 7, 0.5f, 6.5f}};
  std::vector<float> pose;
  for (const auto& p : places) {
    const FramePlace place = placeInRun(f, f.runs[1], p.seconds);
    EXPECT_EQ(place.a, p.a) << p.seconds;
    EXPECT_EQ(place.b, p.b) << p.seconds;
    EXPECT_NEAR(place.t, p.t, 1e-4f) << p.seconds;
    blendFrames(f, place.a, place.b, place.t, pose);
    EXPECT_NEAR(pose[0], p.x, 1e-4f) << p.seconds;
    EXPECT_NEAR(pose[3], 10.0f, 1e-6f);
  }
}

TEST(VertexFrames, FramesThatDoNotFitLeaveTheFirstAlone) {
  TempDir dir;
  std::string bytes = md2Bytes({"a01", "a02", "a03"});
  const std::string cut = dir.file("cut.md2"), single = dir.file("single.md2");
  writeTextFile(cut, bytes.substr(0, bytes.size() - 10));  // the last frame cut short
  writeTextFile(single, md2Bytes({"only"}));
  for (const std::string& path : {cut, single}) {
    const FormatInfo* format = nullptr;
    ReadResult read = readModelFile(path.c_str(), format);
    ASSERT_TRUE(read) << path;
    EXPECT_TRUE(read.model.frames.empty()) << path;
    EXPECT_EQ(read.model[0].numVertices(), 3);
  }
}
