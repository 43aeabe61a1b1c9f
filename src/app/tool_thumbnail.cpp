// tessera-tool thumbnail: a square PNG of a model for file managers, drawn
// offscreen in the solid style, turned a little and shaded by depth, on a
// transparent background. It runs inside a thumbnailer's sandbox: no
// display, no GPU, no settings, and nothing written but the picture.
#include <GL/gl.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/tool_commands.h"
#include "pictures/png_file.h"
#include "render/rotation.h"
#include "render/scene.h"
#include "settings/view_options.h"
#include "render/view_fit.h"

namespace {

constexpr int kLargestThumbnail = 4096;


}  // namespace

int runThumbnail(int argc, char** argv) {
  int size = 256, k = 0;
  if (argc >= 2 && std::strcmp(argv[0], "-s") == 0) {
    char* end = nullptr;
    const long asked = std::strtol(argv[1], &end, 10);
    if (end == argv[1] || *end != '\0' || asked < 1 || asked > kLargestThumbnail) {
      return usageError(std::string("option -s cannot take '") + argv[1] + "'");
    }
    size = static_cast<int>(asked);
    k = 2;
  }
  if (argc - k != 2) return usageError("thumbnail takes a model and a PNG picture to write");
  const char* input = argv[k];
  const char* output = argv[k + 1];
  // Mesa would otherwise keep compiled shaders in the user's cache folder.
  setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);

  ToolView view;
  ViewOptions& o = view.options;
  o = firstRunViewOptions();
  o.showAxes = o.showBoundingBox = o.showCenterOfMass = false;
  o.depthCueLevel = 0.6f;  // the far side darker: the shape shows
  o.foregroundColor = {0.85f, 0.85f, 0.85f};
  o.backgroundColor = {0.2f, 0.2f, 0.2f};  // what depth fades to; the background itself is left clear
  if (const int status = startOffscreenFrame(input, size, size, view); status != 0) return status;
  // From the front (the top, for a model with no height), turned a little
  // toward a three-quarter view, its up axis as the viewer stands it.
  const UpAxis up = toolUpAxis(view);
  const StandardView first = firstViewOf(view.shown.world, up);
  setStandardView(view.camera, first == StandardView::Top ? first : StandardView::Front, up);
  turnModelWithGl(view.camera, 30.0f, 1.0f, 1.0f, 0.0f);
  fitModelToView(view.shown, view.options, view.camera);
  drawScene(view.shown, view.camera, view.options);

  const auto count = static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
  std::vector<std::uint8_t> pixels(4 * count);
  std::vector<float> depth(count);
  glFinish();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, size, size, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  glReadPixels(0, 0, size, size, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
  // Where nothing was drawn the depth is still the cleared farthest value.
  for (std::size_t k = 0; k < count; ++k) pixels[4 * k + 3] = depth[k] < 1.0f ? 255 : 0;
  const WriteResult written = writePngWithAlpha(outputPath(output), size, size, pixels.data());
  return written ? 0 : fileError(output, written.reason);
}
