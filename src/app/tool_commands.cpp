#include "app/tool_commands.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "formats/model_dispatch.h"
#include "formats/off_format.h"
#include "formats/reader_support.h"
#include "model/current_model.h"
#include "model/dump.h"
#include "model/world.h"

namespace {

constexpr const char* kUsage =
    "Usage: tessera-tool COMMAND ARGUMENTS\n"
    "\n"
    "Commands:\n"
    "  info FILE          print the format, per-object and world statistics and totals\n"
    "  convert IN OUT.off read IN in any supported format and write it as OFF\n"
    "  render IN OUT.bmp [OPTIONS]\n"
    "                     draw one frame offscreen as the viewer's first run would and\n"
    "                     save it as a 24-bit BMP. Options:\n"
    "                       --size WxH (400x400)  --style solid|hidden|wireframe\n"
    "                       --depth-cue 0..0.99 (0.3)  --axes on|off  --box on|off\n"
    "                       --com on|off  --background PICTURE.bmp\n"
    "                       --turn DEGREES,X,Y,Z (one rotation step before drawing)\n"
    "  --help             show this text\n"
    "\n"
    "Exit status: 0 success; 1 usage error, unknown format, or a file that cannot be\n"
    "opened or written; 2 damaged file content; 255 a file the reader refuses outright.\n";

}  // namespace

int usageError() {
  std::fputs(kUsage, stderr);
  return 1;
}

std::optional<Model> readForTool(const char* name, int& status, FormatId& format) {
  format = formatUnknown;
  std::optional<Model> model = readModelFile(name, format);
  if (model) {
    status = 0;
  } else if (format == formatUnknown || lastReadFailure == ReadFailure::NotOpened) {
    status = 1;
  } else {
    status = 2;
  }
  return model;
}

namespace {

std::string lastThree(std::string_view name) {
  return std::string(name.size() > 3 ? name.substr(name.size() - 3) : name);
}

int runInfo(const char* name) {
  int status = 0;
  FormatId format = formatUnknown;
  std::optional<Model> model = readForTool(name, status, format);
  if (!model) return status;
  currentModel = std::move(*model);
  objectCount = static_cast<std::int32_t>(currentModel.size());
  updateWorld();

  std::printf("Format: %s\n", formatDisplayName(lastThree(name)));
  std::printf("Objects: %d\n", objectCount);
  long long polygons = 0, vertices = 0;
  for (std::int32_t i = 0; i < objectCount; ++i) {
    const MeshObject& object = currentModel[static_cast<std::size_t>(i)];
    std::printf("Object %d:\n%s", i, formatObjectStatistics(object).c_str());
    polygons += object.numFaces;
    vertices += object.numVertices;
  }
  std::fputs(formatWorldStatistics(world).c_str(), stdout);
  std::printf("Polygons: %lld  Vertices: %lld\n", polygons, vertices);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

int runConvert(const char* input, const char* output) {
  if (formatOfName(output) != formatOff) {
    std::fprintf(stderr, "tessera-tool: the output file must be an OFF file: %s\n", output);
    return 1;
  }
  int status = 0;
  FormatId format = formatUnknown;
  std::optional<Model> model = readForTool(input, status, format);
  if (!model) return status;
  const auto count = static_cast<std::int32_t>(model->size());
  return writeModelAsOff(*model, count, output) == 0 ? 0 : 1;
}

}  // namespace

int runTool(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "info") == 0) return runInfo(argv[2]);
  if (argc == 4 && std::strcmp(argv[1], "convert") == 0) return runConvert(argv[2], argv[3]);
  if (argc >= 4 && std::strcmp(argv[1], "render") == 0) return runRender(argc - 2, argv + 2);
  return usageError();
}
