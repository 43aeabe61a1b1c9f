// tessera-tool is run as a separate program: its output and exit status are
// its interface to scripts.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <filesystem>
#include <cstdio>
#include <fstream>
#include <string>

#include "support/mesh_builders.h"
#include "support/scratch_mount.h"
#include "support/temp_dir.h"

namespace {

struct ToolRun {
  int status = -1;
  std::string out;
};

ToolRun runTool(const std::string& arguments, const TempDir& home, bool withErrors = false) {
  // HOME and XDG_CONFIG_HOME point at a scratch folder: the tool must not
  // create or change any settings file there.
  const std::string command = "HOME='" + home.path() + "' XDG_CONFIG_HOME='" + home.path() +
                              "/config' " TESSERA_TOOL_PATH " " + arguments + (withErrors ? " 2>&1" : " 2>/dev/null");
  ToolRun run;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 4096> chunk{};
  std::size_t got = 0;
  while ((got = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) run.out.append(chunk.data(), got);
  const int raw = pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return run;
}

}  // namespace

TEST(Tool, InfoPrintsFormatObjectsWorldAndTotals) {
  TempDir dir;
  const std::string data = TESSERA_SOURCE_DIR "/tests/data/tool/";
  ToolRun run = runTool("info " + data + "quad.off", dir);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, readTextFile(data + "quad.info"));
  // Reading for scripts leaves no settings or recent list behind.
  EXPECT_FALSE(std::ifstream(dir.file("config/tessera/tsr_recent.ini")).good());
}

TEST(Tool, ExitStatusTellsWhatWentWrong) {
  TempDir dir;
  writeTextFile(dir.file("damaged.off"), "OFF 3 1 0 0 0");
  writeTextFile(dir.file("header.off"), "COFF 3 1 0");
  writeTextFile(dir.file("ship.md3"), "whatever");
  EXPECT_EQ(runTool("", dir).status, 1);
  EXPECT_EQ(runTool("info", dir).status, 1);
  EXPECT_EQ(runTool("frobnicate " + dir.file("damaged.off"), dir).status, 1);
  EXPECT_EQ(runTool("info " + dir.file("absent.off"), dir).status, 1);
  EXPECT_EQ(runTool("info " + dir.file("ship.md3"), dir).status, 1);
  EXPECT_EQ(runTool("info " + dir.file("damaged.off"), dir).status, 2);
  EXPECT_EQ(runTool("info " + dir.file("header.off"), dir).status, 255);
  for (const char* options : {" --style cubist", " --size 0x10", " --background none.bmp", " --depth-cue 2"}) {
    EXPECT_EQ(runTool(std::string("render " TESSERA_SOURCE_DIR "/samples/torus.off ") + dir.file("out.bmp") + options, dir).status, 1)
        << options;
  }
  EXPECT_EQ(runTool("render " + dir.file("absent.off") + " " + dir.file("out.bmp"), dir).status, 1);
  ToolRun help = runTool("--help", dir);
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("convert IN OUT.off"), std::string::npos);
}

TEST(Tool, ConvertWritesWhatSaveAsWrites) {
  TempDir dir;
  const std::string in = dir.file("torus.off");
  writeModelFile(in, makeTorus(10, 6, 3.0f, 1.0f));
  const std::string out = dir.file("copy.off");
  ASSERT_EQ(runTool("convert " + in + " " + out, dir).status, 0);
  EXPECT_EQ(readTextFile(out), readTextFile(in));
  ToolRun first = runTool("info " + in, dir);
  ToolRun second = runTool("info " + out, dir);
  EXPECT_EQ(first.out, second.out);

  EXPECT_EQ(runTool("convert " + in + " " + dir.file("copy.obj"), dir).status, 1);
}

TEST(Tool, ModelAroundTheOriginKeepsItsPicture) {
  // Golden pictures drawn before the framing followed the extents: for a
  // model centred on the origin nothing may change, in solid and in
  // hidden-line style with fog, axes, box and marker.
  TempDir dir;
  const std::string data = TESSERA_SOURCE_DIR "/tests/data/render/";
  const std::string out = dir.file("cube.bmp");
  for (const auto& [options, golden] : {std::pair{"", "cube10_solid_first_run.bmp"},
                                         std::pair{" --style hidden --com on", "cube10_hidden_marker.bmp"}}) {
    ASSERT_EQ(runTool("render " + data + "cube10.off " + out + " --size 96x72 --turn 30,1,1,0" + options, dir).status, 0);
    EXPECT_TRUE(readTextFile(out) == readTextFile(data + golden)) << golden;
  }
}

TEST(Tool, OutputsAreWrittenWholeOrNotAtAll) {
  TempDir dir;
  const std::string in = writeModelFile(dir.file("torus.off"), makeTorus(48, 24, 2.0f, 0.6f));
  ScratchMount full(dir.file("full"), 16384), readOnly(dir.file("readonly"), 16384);
  if (!full.mounted()) GTEST_SKIP() << "no tmpfs can be mounted here";
  // An earlier file in each place, which a failed write must leave as it was.
  for (const char* name : {"full/out.off", "full/out.bmp", "readonly/out.off", "readonly/out.bmp"}) {
    writeTextFile(dir.file(name), "earlier");
  }
  ASSERT_TRUE(readOnly.makeReadOnly());
  const struct {
    const char* folder;
    const char* reason;
  } targets[] = {{"no/such", "No such file or directory"}, {"full", "No space left on device"},
                 {"readonly", "Read-only file system"}};
  for (const auto& target : targets) {
    for (const char* command : {"convert", "render"}) {
      const std::string out = dir.file(std::string(target.folder) + (command[0] == 'c' ? "/out.off" : "/out.bmp"));
      const ToolRun run = runTool(std::string(command) + " " + in + " " + out, dir, true);
      EXPECT_EQ(run.status, 1) << out;
      EXPECT_NE(run.out.find("tessera-tool: " + out + ": " + target.reason), std::string::npos) << run.out;
      if (target.folder[0] != 'n') {
        EXPECT_EQ(readTextFile(out), "earlier") << out;
      }
    }
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir.file(target.folder), error)) {
      EXPECT_EQ(entry.path().filename().string().find(".tessera-"), std::string::npos) << entry.path();
    }
  }
}
