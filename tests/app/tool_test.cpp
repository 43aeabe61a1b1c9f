// tessera-tool is run as a separate program: its output and exit status are
// its interface to scripts.
#include <gtest/gtest.h>
#include <sys/sysmacros.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <cstdio>
#include <string>
#include <vector>

#include <png.h>

#include "formats/format_table.h"
#include "support/mesh_builders.h"
#include "support/sanitizer_build.h"
#include "support/scratch_mount.h"
#include "support/temp_dir.h"

namespace {

struct ToolRun {
  int status = -1;
  std::string out;
  double seconds = 0;
  long peakKib = 0;
};

// The tool as a child process, its words split at blanks, HOME and XDG_CONFIG_HOME in a scratch
// folder: its status, what it printed (standard error too when asked), its time and peak memory.
ToolRun runTool(const std::string& arguments, const TempDir& home, bool withErrors = false) {
  std::vector<std::string> words{TESSERA_TOOL_PATH};
  for (std::size_t at = 0; at < arguments.size();) {
    const std::size_t blank = std::min(arguments.find(' ', at), arguments.size());
    if (blank > at) words.push_back(arguments.substr(at, blank - at));
    at = blank + 1;
  }
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  releaseFreedMemory();
  int output[2];
  if (pipe(output) != 0) return {};
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    setenv("HOME", home.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home.path() + "/config").c_str(), 1);
    dup2(output[1], 1);
    if (withErrors) dup2(output[1], 2); else std::freopen("/dev/null", "w", stderr);
    close(output[0]);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(output[1]);
  ToolRun run;
  char chunk[4096];
  for (ssize_t got; (got = read(output[0], chunk, sizeof chunk)) > 0;) run.out.append(chunk, static_cast<std::size_t>(got));
  close(output[0]);
  int raw = 0;
  struct rusage usage {};
  wait4(child, &raw, 0, &usage);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  run.peakKib = usage.ru_maxrss;
  return run;
}

}  // namespace

TEST(Tool, InfoPrintsTheModelAndExitStatusAndErrorLinesTellWhatWentWrong) {
  TempDir dir;
  const std::string data = TESSERA_SOURCE_DIR "/tests/data/tool/";
  const ToolRun info = runTool("info " + data + "quad.off", dir);
  EXPECT_EQ(info.status, 0);
  EXPECT_EQ(info.out, readTextFile(data + "quad.info"));
  writeTextFile(dir.file("damaged.off"), "OFF 3 1 0 0 0");
  writeTextFile(dir.file("header.off"), "COFF 3 1 0");
  writeTextFile(dir.file("ship.md4"), "whatever");
  writeTextFile(dir.file("ship.md3"), "whatever");
  writeTextFile(dir.file("cut.stl"), std::string(80, ' ') + std::string("\2\0\0\0", 4) + std::string(50, '\0'));
  writeTextFile(dir.file("newer.md2"), std::string("IDP2\x09\0\0\0", 8));
  const std::string torus = TESSERA_SOURCE_DIR "/samples/torus.off", out = dir.file("out.bmp");
  const std::string help = "\nTry 'tessera-tool --help' for more information.\n";
  const struct {
    std::string arguments;
    int status;
    std::string says;  // on standard error
  } cases[] = {
      {"", 1, "tessera-tool: no command given" + help},
      {"info", 1, "tessera-tool: info takes one file" + help},
      {"frobnicate " + dir.file("damaged.off"), 1, "tessera-tool: unknown command 'frobnicate'" + help},
      {"info " + dir.file("absent.off"), 1, "tessera-tool: " + dir.file("absent.off") + ": No such file or directory\n"},
      {"info " + dir.file("ship.md4"), 1, "tessera-tool: " + dir.file("ship.md4") + ": no reader fits the name's ending\n"},
      {"info " + dir.file("ship.md3"), 2, "tessera-tool: " + dir.file("ship.md3") + ": cannot be read by the import library: "},
      {"info " + dir.file("damaged.off"), 2, "tessera-tool: " + dir.file("damaged.off") + ": is damaged or truncated\n"},
      {"info " + dir.file("header.off"), 255, "tessera-tool: " + dir.file("header.off") + ": is not an OFF file\n"},
      {"info " + dir.file("cut.stl"), 2, "tessera-tool: " + dir.file("cut.stl") + ": is damaged or truncated\n"},
      {"info " + dir.file("newer.md2"), 255,
       "tessera-tool: " + dir.file("newer.md2") + ": is a newer version of the format, not read\n"},
      {"convert " + torus + " " + dir.file("copy.obj"), 1,
       "tessera-tool: " + dir.file("copy.obj") + ": is not an OFF name: convert writes OFF files only\n"},
      {"convert " + torus + " - --format png", 1, "tessera-tool: option --format cannot take 'png'" + help},
      {"render " + torus + " " + dir.file("out.png") + " --format bmp", 1,
       "tessera-tool: option --format cannot take 'bmp' for " + dir.file("out.png") + help},
      {"render " + torus + " " + dir.file("out.JPG") + " --format png", 1,
       "tessera-tool: option --format cannot take 'png' for " + dir.file("out.JPG") + help},
      {"render " + torus + " " + out + " --style cubist", 1, "tessera-tool: option --style cannot take 'cubist'" + help},
      {"render " + torus + " " + out + " --size 0x10", 1, "tessera-tool: option --size cannot take '0x10'" + help},
      {"render " + torus + " " + out + " --depth-cue 2", 1, "tessera-tool: option --depth-cue cannot take '2'" + help},
      {"render " + torus + " " + out + " --axes", 1, "tessera-tool: option --axes needs a value" + help},
      {"render " + torus + " " + out + " --colours yes", 1, "tessera-tool: option --colours cannot take 'yes'" + help},
      {"render " + torus + " " + out + " --point-size 11", 1, "tessera-tool: option --point-size cannot take '11'" + help},
      {"render " + torus + " " + out + " --background " + dir.file("none.bmp"), 1,
       "tessera-tool: " + dir.file("none.bmp") + ": No such file or directory\n"},
      {"render " + dir.file("absent.off") + " " + out, 1, "tessera-tool: " + dir.file("absent.off") + ": No such file or directory\n"},
  };
  for (const auto& c : cases) {
    const ToolRun run = runTool(c.arguments, dir, true);
    EXPECT_EQ(run.status, c.status) << c.arguments;
    // The tool's own line (a reader's line may come first, the sanitizers'
    // report after it).
    EXPECT_NE(run.out.find(c.says), std::string::npos) << c.arguments << "\n" << run.out;
  }
  ToolRun usage = runTool("--help", dir);
  EXPECT_EQ(usage.status, 0);
  EXPECT_NE(usage.out.find("convert IN OUT.off"), std::string::npos);
  for (const FormatInfo& format : formatTable()) {
    EXPECT_NE(usage.out.find(std::string(" .") + format.ending), std::string::npos) << format.ending;
  }
  ToolRun version = runTool("--version", dir);
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "tessera-tool 1.2 Beta\n");
  EXPECT_FALSE(std::filesystem::exists(dir.file("config")));  // the tool keeps no settings or recent list
}

namespace {

// A PNG's size and alpha channel, top row first, read by libpng itself.
struct Alpha {
  int width = 0, height = 0;
  std::vector<std::uint8_t> values;
};
Alpha readAlpha(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  Alpha alpha;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return alpha;
  image.format = PNG_FORMAT_GA;
  std::vector<std::uint8_t> grey(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, grey.data(), 0, nullptr) == 0) return alpha;
  alpha.width = static_cast<int>(image.width);
  alpha.height = static_cast<int>(image.height);
  for (std::size_t k = 1; k < grey.size(); k += 2) alpha.values.push_back(grey[k]);
  return alpha;
}

}  // namespace

TEST(Tool, ThumbnailsShowTheModelInTheMiddleOfASquarePng) {
  TempDir dir;
  const std::string data = TESSERA_SOURCE_DIR "/tests/data/formats/";
  const struct {
    std::string model;
    int size;
  } cases[] = {
      {"3ds/meshes-among-lights-and-cameras.3ds", 64}, {"cob/holes-and-later-data.cob", 64},
      {"dxf/blocks-count.dxf", 64},                    {"lwo/classic-pairs.lwo", 64},
      {"md2/first-frame.md2", 64},                     {"mdl/bounds-from-the-stored-box.mdl", 100},
      {"obj/bad-indices.obj", 64},                     {"off/extra-numbers-on-face-lines.off", 31},
      {"vtk/faces-out-of-range.vtk", 0},  // no -s: 256
  };
  const std::string out = dir.file("thumbnail.png");
  for (const auto& c : cases) {
    const std::string size = c.size > 0 ? "-s " + std::to_string(c.size) + " " : "";
    ASSERT_EQ(runTool("thumbnail " + size + data + c.model + " " + out, dir).status, 0) << c.model;
    const Alpha alpha = readAlpha(out);
    const int side = c.size > 0 ? c.size : 256;
    ASSERT_TRUE(alpha.width == side && alpha.height == side) << c.model;
    // Opaque where the model is, whole; clear around it.
    int low[2] = {side, side}, high[2] = {-1, -1};
    for (int y = 0; y < side; ++y) {
      for (int x = 0; x < side; ++x) {
        if (alpha.values[static_cast<std::size_t>(y * side + x)] != 255) continue;
        low[0] = std::min(low[0], x), high[0] = std::max(high[0], x), low[1] = std::min(low[1], y), high[1] = std::max(high[1], y);
      }
    }
    // (Fitted by its vertices: one that no face uses may leave the drawn part off centre.)
    for (int axis = 0; axis < 2; ++axis) EXPECT_TRUE(low[axis] > 0 && high[axis] < side - 1) << c.model << " is cut";
    EXPECT_EQ(alpha.values[0], 0) << c.model;
  }
  // Nothing else is written: no settings, no caches in the home folder.
  std::filesystem::remove(out);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  // A damaged model: status 2 and no picture; a size out of range: a usage error.
  EXPECT_EQ(runTool("thumbnail " + data + "off/damaged-00.off " + out, dir).status, 2);
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_EQ(runTool("thumbnail -s 0 " + data + "off/extra-numbers-on-face-lines.off " + out, dir).status, 1);
}

TEST(Tool, RenderedFramesMatchTheirGoldenPictures) {
  // Frames drawn by earlier builds (tests/data/render/README.md), with the first run's options and
  // the tool's own: the picture, its rows, its headers and the options must all stay as they were.
  TempDir dir;
  const std::string data = TESSERA_SOURCE_DIR "/tests/data/render/";
  const std::string out = dir.file("frame.bmp");
  const struct {
    const char* model;
    const char* options;
    const char* golden;
  } frames[] = {
      {"cube10.off", " --size 96x72 --view front --turn 30,1,1,0", "cube10_solid_first_run.bmp"},
      {"cube10.off", " --size 96x72 --view front --turn 30,1,1,0 --style hidden --com on --lighting off", "cube10_hidden_marker.bmp"},
      {"sphere16x8.off", " --size 128x128 --view front --turn 45,0,1,1 --lighting off", "sphere16x8_solid.bmp"},
      {"sphere16x8.off", " --size 128x128 --view front --turn 45,0,1,1 --smooth off --colours off", "sphere16x8_lit_flat.bmp"},
  };
  for (const auto& f : frames) {
    ASSERT_EQ(runTool("render " + data + f.model + " " + out + f.options, dir).status, 0) << f.golden;
    EXPECT_TRUE(readTextFile(out) == readTextFile(data + f.golden)) << f.golden;
  }
}

TEST(Tool, HostileInputsAreBoundedInTimeAndMemory) {
  TempDir dir;
  const auto repeated = [](const std::string& unit, std::size_t bytes) {
    std::string out;
    while (out.size() + unit.size() <= bytes) out += unit;
    return out;
  };
  const std::string cube = writeModelFile(dir.file("cube.off"), makeObject({0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, 1, 2}}));
  // What reading a tiny model costs, and drawing it (in its own program, with the GL library).
  const ToolRun base = runTool("info " + cube, dir), renderBase = runTool("render " + cube + " " + dir.file("o.bmp") + " --size 8x8", dir);
  const auto le = [](std::uint32_t v, int bytes) {
    std::string out;
    for (int k = 0; k < bytes; ++k) out += static_cast<char>(v >> (8 * k));
    return out;
  };
  {
    // Written and let go: the tool's children must not inherit this memory.
    const std::string mesh = le(0x4000, 2) + le(14, 4) + std::string("A\0", 2) + le(0x4100, 2) + le(6, 4);
    const std::string meshes = repeated(mesh, 18 << 20);
    writeTextFile(dir.file("empty-meshes.3ds"), le(0x4D4D, 2) + le(static_cast<std::uint32_t>(meshes.size() + 12), 4) +
                                                    le(0x3D3D, 2) + le(static_cast<std::uint32_t>(meshes.size() + 6), 4) + meshes);
  }
  {
    const std::string points = repeated(std::string("PNTS\0\0\0\0", 8), 24 << 20);
    writeTextFile(dir.file("empty-points.lwo"), "FORM" + std::string{static_cast<char>((points.size() + 4) >> 24), static_cast<char>((points.size() + 4) >> 16),
                                                                      static_cast<char>((points.size() + 4) >> 8), static_cast<char>(points.size() + 4)} + "LWOB" + points);
  }
  writeTextFile(dir.file("bare-faces.dxf"), repeated("0\n3DFACE\n", 18 << 20));
  writeTextFile(dir.file("huge.bmp"), "BM" + le(54, 4) + le(0, 4) + le(54, 4) + le(40, 4) + le(32768, 4) + le(32768, 4) +
                                          le(1 | 24 << 16, 4) + std::string(24, '\0'));
  // 256 MB (a hole: it takes no disk) behind a start that names a format:
  // neither the header search nor a word may hold it all or copy it.
  writeTextFile(dir.file("no-header-end.ply"), "ply\n");
  writeTextFile(dir.file("endless-word.stl"), "solid x\n");
  writeTextFile(dir.file("endless-word.off"), "OFF");
  writeTextFile(dir.file("endless-word.vtk"), "# vtk DataFile Version 2.0\nx\nASCII\n");
  for (const char* name : {"no-header-end.ply", "endless-word.stl", "endless-word.off", "endless-word.vtk"}) {
    std::filesystem::resize_file(dir.file(name), 256u << 20);
  }
  mkfifo(dir.file("pipe.off").c_str(), 0600);
  symlink("/dev/zero", dir.file("zero.3ds").c_str());
  // The sanitizer build may take this many times the plain build's time and memory.
  const long slack = kAddressSanitizerBuild ? 4 : 2;
  const struct {
    std::string arguments;
    int status;
    double seconds;
    long extraMib;
  } cases[] = {
      {"info " + dir.file("empty-meshes.3ds"), 0, 2, 40},
      {"convert " + dir.file("empty-points.lwo") + " " + dir.file("o.off"), 0, 2, 40},
      {"convert " + dir.file("bare-faces.dxf") + " " + dir.file("o.off"), 0, 2, 40},
      {"render " + cube + " " + dir.file("o.bmp") + " --background " + dir.file("huge.bmp"), 1, 1, 10},
      {"render " + cube + " " + dir.file("o.bmp") + " --size 16384x16384", 1, 1, 10},
      {"info " + dir.file("zero.3ds"), 2, 10, 40},
      {"info " + dir.file("no-header-end.ply"), 255, 1, 40},
      {"info " + dir.file("endless-word.stl"), 2, 1, 40},
      {"info " + dir.file("endless-word.off"), 255, 4, 40},
      {"info " + dir.file("endless-word.vtk"), 255, 4, 40},
  };
  for (const auto& c : cases) {
    const ToolRun run = runTool(c.arguments, dir);
    EXPECT_EQ(run.status, c.status) << c.arguments;
    EXPECT_LT(run.seconds, c.seconds * slack) << c.arguments;
    const long floor = c.arguments.rfind("render", 0) == 0 ? renderBase.peakKib : base.peakKib;
    EXPECT_LT(run.peakKib - floor, c.extraMib * 1024 * slack) << c.arguments;
  }
  // A pipe delivering a whole model reads as a file.
  const pid_t writer = fork();
  if (writer == 0) {
    std::FILE* pipe = std::fopen(dir.file("pipe.off").c_str(), "w");
    std::fputs(readTextFile(cube).c_str(), pipe);
    std::fclose(pipe);
    _exit(0);
  }
  EXPECT_EQ(runTool("info " + dir.file("pipe.off"), dir).status, 0);
  waitpid(writer, nullptr, 0);
}

TEST(Tool, OutputsGoWhereTheirNamesLead) {
  TempDir dir;
  const std::string in = writeModelFile(dir.file("torus.off"), makeTorus(40, 20, 2.0f, 0.6f));
  // The bytes every target must receive: convert writes what Save As writes; render what it writes to a new file.
  ASSERT_EQ(runTool("render " + in + " " + dir.file("plain.png") + " --size 64x64", dir).status, 0);
  const std::string offBytes = readTextFile(in), pngBytes = readTextFile(dir.file("plain.png"));
  const bool root = geteuid() == 0;

  // A full file system and a read-only one, each with an earlier file that a
  // failed write must leave as it was.
  ScratchMount full(dir.file("full"), 16384), readOnly(dir.file("readonly"), 16384);
  for (const char* name : {"full/out.off", "full/out.png", "full/out.jpg", "readonly/out.png"}) {
    if (full.mounted()) writeTextFile(dir.file(name), "earlier");
  }
  if (full.mounted()) writeTextFile(dir.file("full/filler"), std::string(8192, 'f'));  // the last free pages
  const bool mounted = full.mounted() && readOnly.makeReadOnly();

  enum class Kind { Regular, Link, Chain, Dangling, Loop, FullDevice, NullDevice, Fifo, HardLinked, Dash, Mounted };
  const struct {
    Kind kind;
    const char* command;  // convert, or render as the name ends
    const char* name;     // the output named on the command line
    const char* landsIn;  // where the bytes must arrive ("" none, "-" standard output, "|" the FIFO's reader)
    mode_t stillIs;       // what the name must still be
    int status;
    const char* says;     // the tool's error line after "tessera-tool: NAME: "
    bool replaced;        // the file the bytes land in is a new one put in its place
  } cases[] = {
      {Kind::Regular, "convert", "regular.off", "regular.off", S_IFREG, 0, "", true},
      {Kind::Link, "render", "link.png", "real.png", S_IFLNK, 0, "", true},
      {Kind::Chain, "convert", "chain.off", "sub/end.off", S_IFLNK, 0, "", true},
      {Kind::Dangling, "convert", "dangling.off", "sub/new.off", S_IFLNK, 0, "", false},
      {Kind::Loop, "convert", "loop.off", "", S_IFLNK, 1, "Too many levels of symbolic links", false},
      {Kind::FullDevice, "render", "full.png", "", S_IFCHR, 1, "No space left on device", false},
      {Kind::FullDevice, "render", "full.jpg", "", S_IFCHR, 1, "No space left on device", false},
      {Kind::FullDevice, "convert", "full.off", "", S_IFCHR, 1, "No space left on device", false},
      {Kind::NullDevice, "convert", "null.off", "", S_IFCHR, 0, "", false},
      {Kind::Fifo, "convert", "fifo.off", "|", S_IFIFO, 0, "", false},
      {Kind::HardLinked, "convert", "linked.off", "other-name.off", S_IFREG, 0, "", false},
      {Kind::Dash, "convert", "-", "-", 0, 0, "", false},
      {Kind::Dash, "render", "-", "-", 0, 0, "", false},
      {Kind::Regular, "convert", "no/such/out.off", "", 0, 1, "No such file or directory", false},
      {Kind::Mounted, "convert", "full/out.off", "", S_IFREG, 1, "No space left on device", false},
      {Kind::Mounted, "render", "full/out.png", "", S_IFREG, 1, "No space left on device", false},
      {Kind::Mounted, "render", "full/out.jpg", "", S_IFREG, 1, "No space left on device", false},
      {Kind::Mounted, "render", "readonly/out.png", "", S_IFREG, 1, "Read-only file system", false},
  };
  mkdir(dir.file("sub").c_str(), 0755);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.command) + " to " + c.name);
    const std::string out = c.kind == Kind::Dash ? "-" : dir.file(c.name);
    struct stat before {};
    switch (c.kind) {
      case Kind::Regular:
        if (c.status != 0) break;  // a folder that is not there
        writeTextFile(out, "earlier");
        chmod(out.c_str(), 0640);
        if (root) {
          ASSERT_EQ(chown(out.c_str(), 4321, 8765), 0);
        }
        break;
      case Kind::Link: writeTextFile(dir.file("real.png"), "earlier"); symlink("real.png", out.c_str()); break;
      case Kind::Chain:
        writeTextFile(dir.file("sub/end.off"), "earlier");
        symlink("end.off", dir.file("sub/middle.off").c_str());
        symlink("sub/middle.off", out.c_str());
        break;
      case Kind::Dangling: symlink(dir.file("sub/new.off").c_str(), out.c_str()); break;
      case Kind::Loop: symlink("loop.off", out.c_str()); break;
      case Kind::FullDevice:
      case Kind::NullDevice:
        if (mknod(out.c_str(), S_IFCHR | 0600, c.kind == Kind::FullDevice ? makedev(1, 7) : makedev(1, 3)) != 0) {
          std::printf("skipped: no device nodes can be made here\n");
          continue;
        }
        break;
      case Kind::Fifo: ASSERT_EQ(mkfifo(out.c_str(), 0600), 0); break;
      case Kind::HardLinked:
        writeTextFile(out, "earlier");
        ASSERT_EQ(link(out.c_str(), dir.file(c.landsIn).c_str()), 0);
        break;
      case Kind::Dash: break;
      case Kind::Mounted:
        if (!mounted) {
          std::printf("skipped: no tmpfs can be mounted here\n");
          continue;
        }
        break;
    }
    lstat(out.c_str(), &before);
    struct stat landing {};
    const bool landingExisted = stat(dir.file(c.landsIn).c_str(), &landing) == 0;

    // A FIFO's reader takes what arrives while the tool runs (the model fits in a pipe's buffer).
    std::FILE* fifo = c.kind == Kind::Fifo ? popen(("timeout 10 cat " + out).c_str(), "r") : nullptr;
    const std::string arguments = std::string(c.command) + " " + in + " " + out +
                                  (c.command[0] == 'r' ? " --size 64x64" : "");
    // Standard error alongside, except where standard output is the output.
    const ToolRun run = runTool(arguments, dir, c.kind != Kind::Dash);
    std::string fromFifo;
    for (int byte; fifo != nullptr && (byte = std::fgetc(fifo)) != EOF;) fromFifo += static_cast<char>(byte);
    if (fifo != nullptr) pclose(fifo);

    EXPECT_EQ(run.status, c.status) << run.out;
    if (c.says[0] != '\0') {
      EXPECT_NE(run.out.find("tessera-tool: " + out + ": " + c.says), std::string::npos) << run.out;
    }
    const std::string& expected = c.command[0] == 'c' ? offBytes : pngBytes;
    const std::string landsIn = c.landsIn;
    if (!landsIn.empty()) {
      const std::string arrived = landsIn == "-" ? run.out : landsIn == "|" ? fromFifo : readTextFile(dir.file(landsIn));
      EXPECT_TRUE(arrived == expected) << arrived.size() << " bytes arrived, not " << expected.size();
    }
    if (landingExisted && c.landsIn[0] != '\0') {
      struct stat landed {};
      stat(dir.file(c.landsIn).c_str(), &landed);
      EXPECT_EQ(landed.st_ino != landing.st_ino, c.replaced);
    }
    if (c.kind == Kind::Mounted) {
      EXPECT_EQ(readTextFile(out), "earlier");
    }
    struct stat after {};
    if (c.kind == Kind::Dash || c.stillIs == 0) continue;
    ASSERT_EQ(lstat(out.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & S_IFMT, c.stillIs);
    if (c.kind == Kind::FullDevice || c.kind == Kind::NullDevice) {
      EXPECT_EQ(after.st_rdev, before.st_rdev);
    }
    if (c.kind == Kind::HardLinked) {
      EXPECT_EQ(after.st_nlink, 2u);  // still the file whose other name got the bytes
    }
    if (c.kind == Kind::Regular) {
      EXPECT_EQ(after.st_mode & 07777, 0640u);
      if (root) {
        EXPECT_TRUE(after.st_uid == 4321 && after.st_gid == 8765) << after.st_uid << ":" << after.st_gid;
      }
    }
  }
  // Nothing written aside is left anywhere.
  for (const std::string& folder : {dir.path(), dir.file("sub"), dir.file("full"), dir.file("readonly")}) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      EXPECT_EQ(entry.path().filename().string().find(".tessera-"), std::string::npos) << entry.path();
    }
  }
}

namespace {

// The frames of a GIF file, walked block by block: their count and delays
// (centiseconds), and whether it loops and ends as a GIF must.
struct GifShape {
  bool valid = false, loops = false;
  int width = 0, height = 0;
  std::vector<int> delays;
};

GifShape gifShape(const std::string& bytes) {
  GifShape shape;
  const auto u8 = [&](std::size_t at) { return at < bytes.size() ? static_cast<unsigned char>(bytes[at]) : 0u; };
  const auto u16 = [&](std::size_t at) { return static_cast<int>(u8(at) | u8(at + 1) << 8); };
  if (bytes.compare(0, 6, "GIF89a") != 0) return shape;
  shape.width = u16(6), shape.height = u16(8);
  std::size_t at = 13 + ((u8(10) & 0x80) ? 3u << ((u8(10) & 7) + 1) : 0u);
  const auto skipBlocks = [&] {
    while (at < bytes.size() && u8(at) != 0) at += 1 + u8(at);
    ++at;
  };
  while (at < bytes.size()) {
    const unsigned kind = u8(at);
    if (kind == 0x3B) return shape.valid = at + 1 == bytes.size(), shape;
    if (kind == 0x21) {
      if (u8(at + 1) == 0xF9) shape.delays.push_back(u16(at + 4));
      if (u8(at + 1) == 0xFF && bytes.compare(at + 3, 11, "NETSCAPE2.0") == 0) shape.loops = true;
      at += 2;
      skipBlocks();
    } else if (kind == 0x2C) {
      const unsigned flags = u8(at + 9);
      at += 10 + ((flags & 0x80) ? 3u << ((flags & 7) + 1) : 0u) + 1;  // and the LZW code size
      skipBlocks();
    } else {
      return shape;
    }
  }
  return shape;
}

}  // namespace

TEST(Tool, AnimatedModelsRenderAFrameEveryFrameOrAGif) {
  TempDir dir;
  std::vector<std::string> names;
  for (int k = 1; k <= 6; ++k) names.push_back("run0" + std::to_string(k));
  for (int k = 1; k <= 4; ++k) names.push_back("idle0" + std::to_string(k));
  const std::string md2 = dir.file("moving.md2"), torus = writeModelFile(dir.file("torus.off"), makeTorus(24, 12, 2, 0.5f));
  writeTextFile(md2, md2Bytes(names));
  const ToolRun info = runTool("info " + md2, dir);
  EXPECT_NE(info.out.find("Frames = 10\nAnimations = run 6, idle 4\n"), std::string::npos) << info.out;

  // Every frame of a run, as PNG files numbered from 0; each shows its own pose.
  ASSERT_EQ(runTool("render " + md2 + " --frames " + dir.file("idle") + " --animation idle --size 64x64", dir).status, 0);
  std::vector<std::string> pictures;
  for (int k = 0; k < 4; ++k) pictures.push_back(readTextFile(dir.file("idle/frame-000" + std::to_string(k) + ".png")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("idle/frame-0004.png")));
  for (int k = 1; k < 4; ++k) EXPECT_NE(pictures[static_cast<std::size_t>(k)], pictures[static_cast<std::size_t>(k - 1)]) << k;
  // A frame by number or by time is the same picture as the folder's.
  ASSERT_EQ(runTool("render " + md2 + " " + dir.file("second.png") + " --animation idle --frame 2 --size 64x64", dir).status, 0);
  EXPECT_EQ(readTextFile(dir.file("second.png")), pictures[2]);
  ASSERT_EQ(runTool("render " + md2 + " " + dir.file("timed.png") + " --animation idle --time 0.6 --size 64x64", dir).status, 0);
  EXPECT_EQ(readTextFile(dir.file("timed.png")), pictures[2]);  // 0.4 s is a whole round of four frames

  // GIFs: the run at 20 frames a second (0.6 s: 12 frames of 5 cs), and a
  // still model's turn (4 s: 40 frames at 10 a second), looping.
  const struct {
    std::string arguments;
    std::size_t frames;
    int delay;
  } gifs[] = {{md2 + " --gif " + dir.file("run.gif") + " --animation run --size 80x60", 12, 5},
              {torus + " --gif " + dir.file("turn.gif") + " --frames-per-second 10 --size 80x60", 40, 10}};
  for (const auto& g : gifs) {
    ASSERT_EQ(runTool("render " + g.arguments, dir).status, 0) << g.arguments;
    const GifShape shape = gifShape(readTextFile(g.arguments.substr(g.arguments.find("--gif ") + 6, g.arguments.find(".gif") + 4 - g.arguments.find("--gif ") - 6)));
    EXPECT_TRUE(shape.valid && shape.loops) << g.arguments;
    EXPECT_EQ(shape.width, 80);
    EXPECT_EQ(shape.height, 60);
    EXPECT_EQ(shape.delays, std::vector<int>(g.frames, g.delay)) << g.arguments;
  }

  const std::string help = "\nTry 'tessera-tool --help' for more information.\n";
  const struct {
    std::string arguments;
    std::string says;
  } refused[] = {
      {md2 + " " + dir.file("x.png") + " --animation walk", md2 + ": has no animation named 'walk'"},
      {md2 + " " + dir.file("x.png") + " --animation idle --frame 4", md2 + ": has 4 frames there, numbered from 0"},
      {torus + " " + dir.file("x.png") + " --frame 0", torus + ": has no frames"},
      {torus + " --frames " + dir.file("none"), torus + ": has no frames"},
      {md2 + " " + dir.file("x.png") + " --gif " + dir.file("y.gif"), "render takes one picture to write, or --frames FOLDER or --gif OUT.gif" + help},
      {md2 + " --gif " + dir.file("y.gif") + " --size 1100x100", "an animated GIF is at most 1024 pixels across and high" + help},
      {md2 + " --gif " + dir.file("y.gif") + " --frames-per-second 60", "option --frames-per-second cannot take '60'" + help},
  };
  for (const auto& r : refused) {
    const ToolRun run = runTool("render " + r.arguments, dir, true);
    EXPECT_EQ(run.status, 1) << r.arguments;
    EXPECT_NE(run.out.find("tessera-tool: " + r.says), std::string::npos) << r.arguments << "\n" << run.out;
  }
}
