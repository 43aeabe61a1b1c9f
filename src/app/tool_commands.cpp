#include "app/tool_commands.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/version.h"
#include "formats/model_dispatch.h"
#include "formats/off_writer.h"
#include "model/dump.h"
#include "model/world.h"
#include "platform/child_process.h"

namespace {

constexpr const char* kUsage =
    "Usage: tessera-tool COMMAND ARGUMENTS\n"
    "\n"
    "Commands:\n"
    "  info FILE          print the format, per-object and world statistics and totals\n"
    "  convert IN OUT.off [--format off]\n"
    "                     read IN in any supported format and write it as OFF\n"
    "  render IN OUT.png|OUT.bmp|OUT.jpg [OPTIONS]\n"
    "                     draw one frame offscreen as the viewer's first run would and\n"
    "                     save it as the name ends: PNG, JPEG (.jpg, .jpeg) or else\n"
    "                     24-bit BMP. Options:\n"
    "                       --format png|bmp|jpeg (where the name ends in none of those)\n"
    "                       --size WxH (400x400, under 97 million pixels)\n"
    "                       --style solid|hidden|wireframe\n"
    "                       --depth-cue 0..0.99 (0.3)  --axes on|off  --box on|off\n"
    "                       --com on|off  --lighting on|off (on)\n"
    "                       --colours on|off (on: the model's own colours and textures)\n"
    "                       --smooth on|off (on)  --point-size 1..10 (2)\n"
    "                       --background PICTURE (BMP, PNG or JPEG)\n"
    "                       --view first|front|back|left|right|top|bottom|isometric\n"
    "                              (first: from the front and a little above)\n"
    "                       --up y|z (the format's usual up axis)\n"
    "                       --projection perspective|orthographic (perspective)\n"
    "                       --turn DEGREES,X,Y,Z (one rotation step after the view)\n"
    "                       --animation NAME (one of the model's animations: all frames\n"
    "                              in order, or every animation at once, without)\n"
    "                       --frame N (from 0)  --time SECONDS (looping)\n"
    "  render IN --frames FOLDER [OPTIONS]\n"
    "                     every frame of the animation as FOLDER/frame-0000.png ...\n"
    "                     (a scene animation at 30 frames a second)\n"
    "  render IN --gif OUT.gif [--frames-per-second 10..30] [OPTIONS]\n"
    "                     the animation (or a still model's turn about the view's\n"
    "                     vertical axis, 4 s) as a looping GIF, 20 frames a second;\n"
    "                     at most 1024 pixels across and high\n"
    "  thumbnail [-s SIZE] IN OUT.png\n"
    "                     draw IN as a SIZE x SIZE PNG (256) for file managers: solid,\n"
    "                     turned a little, on a transparent background\n"
    "  An output named - is standard output: convert writes OFF there, render PNG\n"
    "  (or as --format says) and thumbnail PNG. An output that is a symbolic link\n"
    "  writes the file it leads to; a device or pipe is written straight into.\n"
    "  --help             show this text\n"
    "  --version          show the version\n"
    "\n"
    "Exit status: 0 success; 1 usage error, unknown format, or a file that cannot be\n"
    "opened or written; 2 damaged file content; 255 a file the reader refuses outright.\n";

}  // namespace

int usageError(std::string_view what) {
  std::fprintf(stderr, "tessera-tool: %.*s\nTry 'tessera-tool --help' for more information.\n",
               static_cast<int>(what.size()), what.data());
  return 1;
}

int fileError(const char* name, std::string_view reason) {
  if (std::strcmp(name, "-") == 0) name = "standard output";
  std::fprintf(stderr, "tessera-tool: %s: %.*s\n", name, static_cast<int>(reason.size()), reason.data());
  return 1;
}

const char* outputPath(const char* name) { return std::strcmp(name, "-") == 0 ? kStandardOutput : name; }

int openForTool(const char* name, Shown& shown) {
  const FormatInfo* format = nullptr;
  ReadResult read = readModelFile(name, format);
  // Damage and refusals have had the reader's own line on standard error
  // already; the tool's own line follows in the usual form.
  if (read.failure != ReadFailure::None) {
    fileError(name, read.userReason.empty() ? failureWords(read.failure) : read.userReason);
    if (read.failure == ReadFailure::Damaged) return 2;
    if (read.failure == ReadFailure::Refused) return 255;
    return 1;
  }
  showModel(shown, std::move(read.model), format->id, name);
  return 0;
}

namespace {

int runInfo(const char* name) {
  Shown shown;
  if (const int status = openForTool(name, shown); status != 0) return status;
  const FormatInfo* format = formatInfo(static_cast<FormatId>(shown.format));  // as found, not as named
  std::printf("Format: %s\n", format != nullptr ? format->displayName : formatDisplayName(name));
  std::printf("Objects: %d\n", shown.objectCount());
  long long polygons = 0, vertices = 0;
  for (std::size_t i = 0; i < shown.model.size(); ++i) {
    const MeshObject& object = shown.model[i];
    std::printf("Object %zu:\n%s", i, formatObjectStatistics(object).c_str());
    polygons += object.numFaces();
    vertices += object.numVertices();
  }
  std::fputs(formatModelAppearance(shown.model).c_str(), stdout);
  std::fputs(formatModelFrames(shown.model).c_str(), stdout);
  std::fputs(formatWorldStatistics(shown.world).c_str(), stdout);
  std::printf("Polygons: %lld  Vertices: %lld\n", polygons, vertices);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

int runConvert(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[2], "--format") == 0) {
    if (std::strcmp(argv[3], "off") != 0) return usageError(std::string("option --format cannot take '") + argv[3] + "'");
  } else if (argc != 2) {
    return usageError("convert takes two files");
  }
  const char* input = argv[0];
  const char* output = argv[1];
  // "--format off" (or "-") names the format where the name gives none; a
  // name of another format is refused either way.
  const FormatInfo* outputFormat = formatOfName(output);
  const bool offName = outputFormat != nullptr && outputFormat->id == formatOff;
  const bool formatGiven = argc == 4 || std::strcmp(output, "-") == 0;
  if (!offName && (outputFormat != nullptr || !formatGiven)) {
    return fileError(output, "is not an OFF name: convert writes OFF files only");
  }
  Shown shown;
  if (const int status = openForTool(input, shown); status != 0) return status;
  const WriteResult written = writeModelAsOff(shown.model, outputPath(output));
  return written ? 0 : fileError(output, written.reason);
}

// Drawing lives in its own program, so that the commands that only read and
// write models never load the offscreen GL library. It stands beside this
// one in the build, in libexec when installed.
int runRenderer(int argc, char** argv) {
  std::string renderer = helperProgramPath("TESSERA_RENDER_PROGRAM", "tessera-render", TESSERA_RENDER_FROM_BINDIR);
  std::vector<char*> arguments{renderer.data()};
  for (int k = 0; k < argc; ++k) arguments.push_back(argv[k]);
  arguments.push_back(nullptr);
  std::fflush(stdout);
  execv(renderer.c_str(), arguments.data());
  return fileError("tessera-render", std::strerror(errno));
}

}  // namespace

int runTool(int argc, char** argv) {
  if (argc < 2) return usageError("no command given");
  const std::string_view command = argv[1];
  if (argc == 2 && (command == "--help" || command == "-h")) {
    std::fputs(kUsage, stdout);
    std::string endings;
    for (const FormatInfo& format : formatTable()) endings += std::string(" .") + format.ending;
    std::printf("\nModel files, told apart by the name's ending (any case):\n %s\n", endings.c_str());
    return 0;
  }
  if (argc == 2 && command == "--version") {
    std::printf("tessera-tool %s\n", kTesseraVersion);
    return 0;
  }
  if (command == "info") return argc == 3 ? runInfo(argv[2]) : usageError("info takes one file");
  if (command == "convert") return runConvert(argc - 2, argv + 2);
  if (command == "render") {
    return argc >= 4 ? runRenderer(argc - 1, argv + 1) : usageError("render takes a model and a picture to write");
  }
  if (command == "thumbnail") return runRenderer(argc - 1, argv + 1);
  return usageError("unknown command '" + std::string(command) + "'");
}
