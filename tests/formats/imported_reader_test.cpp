// What tessera-import hands back, whole and broken, and the child process
// it runs in: its faults end it alone, in time, and a cancel ends it. What
// real files read as is pinned by the golden fixtures under tests/data/real.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "formats/hand_back.h"
#include "support/sanitizer_build.h"
#include "formats/model_dispatch.h"
#include "formats/readers.h"
#include "platform/child_process.h"
#include "platform/read_progress.h"
#include "support/temp_dir.h"

// Every test of this program reads the import library's formats through the
// tessera-import of this build.
const int kImporter = setenv("TESSERA_IMPORT_PROGRAM", TESSERA_IMPORT_PATH, 0);

namespace {

const std::string kBox = TESSERA_SOURCE_DIR "/tests/data/real/3mf/box.3mf";

// One object of everything the stream carries: a texture of its own, a
// material using it, a triangle, a quad, a line and per-vertex values.
HandBack fullHandBack() {
  HandBack h;
  h.textures.push_back({"checker", 2, 1, {255, 0, 0, 255, 0, 0, 255, 128}});
  h.textures.push_back({"beside.png", 0, 0, {}});
  h.model.materials.push_back({"red", {1, 0, 0, 0.5f}, 0, AlphaMode::Blend, 0.5f});
  MeshObject o;
  o.vertices = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 0, 0, 1};
  const std::int32_t triangle[] = {0, 1, 2}, quad[] = {0, 1, 2, 3}, line[] = {3, 4};
  std::ranges::copy(triangle, o.faces.append(3).begin());
  std::ranges::copy(quad, o.faces.append(4).begin());
  std::ranges::copy(line, o.lines.append(2).begin());
  o.colors = {Binding::PerVertex, std::vector<float>(20, 0.25f), {}};
  o.normals = {Binding::PerVertex, std::vector<float>(15, 1.0f), {}};
  o.texCoords = {Binding::PerVertex, std::vector<float>(10, 0.5f), {}};
  o.material = 0;
  h.model.push_back(o);
  return h;
}

std::vector<std::uint8_t> bytesOf(const HandBack& h) { return writeHandBack(h); }

}  // namespace

TEST(HandBack, WholeStreamsComeBackAsWritten) {
  HandBack failure;
  failure.failure = "no importer for this file";
  for (const HandBack& written : {fullHandBack(), failure, HandBack{}}) {
    const std::vector<std::uint8_t> bytes = bytesOf(written);
    HandBack read;
    std::string why;
    ASSERT_TRUE(parseHandBack(bytes, read, why)) << why;
    EXPECT_EQ(bytesOf(read), bytes);
    EXPECT_EQ(read.failure, written.failure);
    EXPECT_EQ(read.model.size(), written.model.size());
  }
  // The model keeps the texture the stream held, and the material its picture; the missing file costs its texture only.
  ReadResult read = modelOfHandBack(fullHandBack(), "/nonexistent/model.fbx");
  ASSERT_TRUE(read);
  ASSERT_EQ(read->textures.size(), 1u);
  EXPECT_EQ(read->textures[0].rgba[7], 128);
  EXPECT_EQ(read->materials[0].texture, 0);
  EXPECT_EQ((*read)[0].numFaces(), 2);
  EXPECT_EQ((*read)[0].lines.count(), 1u);
}

TEST(HandBack, BrokenStreamsAreRefusedWithoutReadingPastThem) {
  const auto patched = [](auto change) {
    HandBack h = fullHandBack();
    change(h);
    return bytesOf(h);
  };
  const auto poked = [](std::size_t at, std::uint8_t value) {
    std::vector<std::uint8_t> bytes = bytesOf(fullHandBack());
    bytes[at] = value;
    return bytes;
  };
  const struct {
    std::vector<std::uint8_t> bytes;
    const char* why;
  } cases[] = {
      {poked(0, 'X'), "does not begin as a hand-back stream"},
      {poked(4, 2), "is of another version"},
      {poked(8, 7), "is neither a model nor a failure"},
      // The texture count's high byte: four billion textures in a few hundred bytes.
      {poked(12, 0xff), "states more than it holds"},
      {patched([](HandBack& h) { h.model[0].faces.indices[4] = 5; }), "names a vertex it does not have"},
      {patched([](HandBack& h) { h.model[0].faces.indices[0] = -1; }), "names a vertex it does not have"},
      {patched([](HandBack& h) { std::ranges::fill(h.model[0].faces.append(2), 0); }), "has a face or line of a size not kept"},
      {patched([](HandBack& h) { h.model[0].material = 1; }), "has an object whose material is not there"},
      {patched([](HandBack& h) { h.model.materials[0].texture = 2; }), "has a material whose texture is not there"},
      {patched([](HandBack& h) { h.model.materials[0].alphaMode = static_cast<AlphaMode>(3); }), "has an unknown alpha mode"},
      {patched([](HandBack& h) { h.textures[0].width = 3; }), "has a texture of a size that does not fit its bytes"},
      {patched([](HandBack& h) { h.textures[1].height = 1; }), "has a texture of a size that does not fit its bytes"},
      {patched([](HandBack& h) { h.model.push_back({}); h.model.back().vertices.resize(3 * 70000); }), ""},
  };
  for (const auto& c : cases) {
    HandBack read;
    std::string why;
    if (*c.why == '\0') {  // a control: a large object is fine
      EXPECT_TRUE(parseHandBack(c.bytes, read, why)) << why;
      continue;
    }
    EXPECT_FALSE(parseHandBack(c.bytes, read, why)) << c.why;
    EXPECT_EQ(why, c.why);
    EXPECT_TRUE(read.model.empty() && read.textures.empty());
  }
  // Every cut of a whole stream, and a byte more, is refused.
  std::vector<std::uint8_t> whole = bytesOf(fullHandBack());
  for (std::size_t length = 0; length < whole.size(); ++length) {
    HandBack read;
    std::string why;
    EXPECT_FALSE(parseHandBack(std::span(whole.data(), length), read, why)) << length;
  }
  whole.push_back(0);
  HandBack read;
  std::string why;
  EXPECT_FALSE(parseHandBack(whole, read, why));
  EXPECT_EQ(why, "goes on past its end");
}

// A child that crashes, hangs, spins or takes memory without end is ended
// within its limits and told apart; the caller runs on. The reader says
// what the user reads for each.
TEST(ImportChild, FaultsEndTheChildAlone) {
  const struct {
    const char* fault;
    const char* program;  // nullptr: this build's tessera-import
    ChildOutcome outcome;
  } cases[] = {
      {nullptr, nullptr, ChildOutcome::Exited},
      {"crash", nullptr, ChildOutcome::Signalled},
      {"runaway", nullptr, ChildOutcome::Signalled},  // the memory limit makes it abort
      {"hang", nullptr, ChildOutcome::TimedOut},
      {"spin", nullptr, ChildOutcome::TimedOut},
      {nullptr, "/nonexistent/tessera-import", ChildOutcome::Exited},
  };
  ChildLimits limits;
  limits.seconds = 1;
  for (const auto& c : cases) {
    if (c.fault != nullptr) setenv("TESSERA_IMPORT_FAULT_FOR_TESTS", c.fault, 1);
    const std::string program = c.program != nullptr ? c.program : TESSERA_IMPORT_PATH;
    const auto start = std::chrono::steady_clock::now();
    const ChildRun run = runChild(program, {kBox}, limits);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    unsetenv("TESSERA_IMPORT_FAULT_FOR_TESTS");
    // A sanitized child is held by the sanitizer's memory limit, which ends it in its own ways.
    const bool runawayEnded = run.outcome != ChildOutcome::Exited || run.exitStatus != 0;
    if (kAddressSanitizerBuild && c.fault != nullptr && std::string(c.fault) == "runaway") {
      EXPECT_TRUE(runawayEnded) << run.errors;
    } else {
      EXPECT_EQ(run.outcome, c.outcome) << (c.fault ? c.fault : program) << " " << run.errors;
    }
    EXPECT_LT(seconds, 3.0) << (c.fault ? c.fault : program);
    if (c.program != nullptr) {
      EXPECT_EQ(run.exitStatus, 127);
    }
    if (c.fault == nullptr && c.program == nullptr) {
      HandBack read;
      std::string why;
      EXPECT_TRUE(run.exitStatus == 0 && parseHandBack(run.output, read, why) && read.model.size() == 1) << why;
    }
  }
  // Through the reader: a file the child dies on, or no child at all, is one the user is told was not read.
  for (const char* fault : {"crash", "runaway"}) {
    setenv("TESSERA_IMPORT_FAULT_FOR_TESTS", fault, 1);
    testing::internal::CaptureStderr();
    const ReadResult read = readImportedFile(kBox.c_str());
    const std::string debug = testing::internal::GetCapturedStderr();
    unsetenv("TESSERA_IMPORT_FAULT_FOR_TESTS");
    EXPECT_EQ(read.failure, ReadFailure::NotOpened) << fault;
    EXPECT_EQ(read.userReason, "the importer failed on this file") << fault;
    if (!kAddressSanitizerBuild || std::string(fault) == "crash") {
      EXPECT_NE(debug.find("tessera-import ended by signal"), std::string::npos) << debug;
    }
  }
}

TEST(ImportChild, ACancelledReadKillsTheChild) {
  setenv("TESSERA_IMPORT_FAULT_FOR_TESTS", "hang", 1);
  ReadProgress progress;
  std::thread canceller([&progress] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    progress.cancelled = true;
  });
  const auto start = std::chrono::steady_clock::now();
  ChildRun run;
  {
    const ReadingFor reading(progress);
    run = runChild(TESSERA_IMPORT_PATH, {kBox});  // the clock's limit is a minute
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  canceller.join();
  unsetenv("TESSERA_IMPORT_FAULT_FOR_TESTS");
  EXPECT_EQ(run.outcome, ChildOutcome::Cancelled);
  EXPECT_LT(seconds, 2.0);
}
