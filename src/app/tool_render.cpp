// tessera-tool render: one frame drawn offscreen with the options of the
// viewer's first run, changed by flags, written as the image export writes.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "app/tool_commands.h"
#include "formats/up_axis_defaults.h"
#include "platform/headless/offscreen_context.h"
#include "pictures/gif_file.h"
#include "render/animation_recording.h"
#include "render/background.h"
#include "render/shown_pose.h"
#include "render/image_export.h"
#include "render/rotation.h"
#include "render/scene.h"
#include "render/standard_views.h"
#include "render/view_setup.h"
#include "settings/view_options.h"
#include "render/view_fit.h"

namespace {

struct RenderRequest {
  const char* input = nullptr;
  const char* output = nullptr;
  int width = 400, height = 400;
  const char* background = nullptr;
  const char* format = nullptr;  // png, bmp or jpeg (jpg), where the name gives no kind
  float turn[4] = {0, 0, 0, 0};
  std::optional<StandardView> view;
  std::optional<UpAxis> up;
  // The model's frames: a run by name, a frame of it or a time into it, and
  // where every frame or an animated GIF goes.
  const char* animation = nullptr;
  std::optional<long> frame;
  std::optional<float> time;
  const char* framesFolder = nullptr;
  const char* gif = nullptr;
  float framesPerSecond = 20.0f;
};

// A GIF is at most this wide and high.
constexpr int kLargestGifSide = 1024;

// The kind --format names, if any.
std::optional<PictureKind> formatKind(const char* format) {
  for (const auto& [word, kind] : {std::pair{"png", PictureKind::Png}, std::pair{"bmp", PictureKind::Bmp},
                                   std::pair{"jpeg", PictureKind::Jpeg}, std::pair{"jpg", PictureKind::Jpeg}}) {
    if (std::strcmp(format, word) == 0) return kind;
  }
  return std::nullopt;
}

bool parseSwitch(const char* text, bool& flag) {
  if (std::strcmp(text, "on") == 0) return flag = true, true;
  if (std::strcmp(text, "off") == 0) return flag = false, true;
  return false;
}

bool parseNumber(const char* text, float& value) {
  char* end = nullptr;
  value = std::strtof(text, &end);
  return end != text && *end == '\0';
}

bool parseOption(const char* name, const char* value, RenderRequest& request, ViewOptions& o) {
  if (std::strcmp(name, "--size") == 0) {
    char extra = 0;
    return std::sscanf(value, "%dx%d%c", &request.width, &request.height, &extra) == 2 &&
           request.width > 0 && request.height > 0 && request.width <= 16384 &&
           request.height <= 16384;
  }
  if (std::strcmp(name, "--style") == 0) {
    for (const auto& [word, style] : {std::pair{"solid", DisplayStyle::Solid}, std::pair{"hidden", DisplayStyle::HiddenLine},
                                      std::pair{"wireframe", DisplayStyle::Wireframe}}) {
      if (std::strcmp(value, word) == 0) return o.style = style, true;
    }
    return false;
  }
  if (std::strcmp(name, "--depth-cue") == 0) {
    return parseNumber(value, o.depthCueLevel) && o.depthCueLevel >= 0.0f &&
           o.depthCueLevel <= 0.99f;
  }
  if (std::strcmp(name, "--axes") == 0) return parseSwitch(value, o.showAxes);
  if (std::strcmp(name, "--box") == 0) return parseSwitch(value, o.showBoundingBox);
  if (std::strcmp(name, "--com") == 0) return parseSwitch(value, o.showCenterOfMass);
  if (std::strcmp(name, "--lighting") == 0) return parseSwitch(value, o.lighting);
  if (std::strcmp(name, "--colours") == 0) return parseSwitch(value, o.modelColors);
  if (std::strcmp(name, "--smooth") == 0) return parseSwitch(value, o.smoothShading);
  if (std::strcmp(name, "--point-size") == 0) {
    char* end = nullptr;
    const long size = std::strtol(value, &end, 10);
    return end != value && *end == '\0' && size >= 1 && size <= 10 ? (o.pointSize = static_cast<int>(size), true) : false;
  }
  if (std::strcmp(name, "--background") == 0) {
    request.background = value;
    return true;
  }
  if (std::strcmp(name, "--format") == 0) {
    request.format = value;
    return formatKind(value).has_value();
  }
  if (std::strcmp(name, "--view") == 0) {
    static constexpr std::pair<const char*, StandardView> kViews[] = {
        {"first", StandardView::First}, {"front", StandardView::Front}, {"back", StandardView::Back},
        {"left", StandardView::Left},   {"right", StandardView::Right}, {"top", StandardView::Top},
        {"bottom", StandardView::Bottom}, {"isometric", StandardView::Isometric}};
    for (const auto& [word, named] : kViews) {
      if (std::strcmp(value, word) == 0) return request.view = named, true;
    }
    return false;
  }
  if (std::strcmp(name, "--up") == 0) {
    if (std::strcmp(value, "y") == 0) return request.up = UpAxis::Y, true;
    if (std::strcmp(value, "z") == 0) return request.up = UpAxis::Z, true;
    return false;
  }
  if (std::strcmp(name, "--projection") == 0) {
    if (std::strcmp(value, "perspective") == 0) return o.orthographic = false, true;
    if (std::strcmp(value, "orthographic") == 0) return o.orthographic = true, true;
    return false;
  }
  if (std::strcmp(name, "--animation") == 0) return request.animation = value, true;
  if (std::strcmp(name, "--frame") == 0) {
    char* end = nullptr;
    const long frame = std::strtol(value, &end, 10);
    return end != value && *end == '\0' && frame >= 0 ? (request.frame = frame, true) : false;
  }
  if (std::strcmp(name, "--time") == 0) {
    float seconds = 0.0f;
    return parseNumber(value, seconds) && seconds >= 0.0f && std::isfinite(seconds) ? (request.time = seconds, true) : false;
  }
  if (std::strcmp(name, "--frames") == 0) return request.framesFolder = value, true;
  if (std::strcmp(name, "--gif") == 0) return request.gif = value, true;
  if (std::strcmp(name, "--frames-per-second") == 0) {
    return parseNumber(value, request.framesPerSecond) && request.framesPerSecond >= 10.0f &&
           request.framesPerSecond <= 30.0f;
  }
  if (std::strcmp(name, "--turn") == 0) {
    char extra = 0;
    float* t = request.turn;
    return std::sscanf(value, "%f,%f,%f,%f%c", &t[0], &t[1], &t[2], &t[3], &extra) == 4;
  }
  return false;
}

// The kind of picture to write: the name's ending (as the viewer's export
// reads it), else --format, else PNG on standard output and BMP for any
// other name. A --format that the ending contradicts is refused.
std::optional<PictureKind> pictureKindFor(const RenderRequest& request) {
  const std::string_view name = request.output;
  const std::optional<PictureKind> named = pictureKindOfName(request.output);
  if (request.format == nullptr) return named.value_or(name == "-" ? PictureKind::Png : PictureKind::Bmp);
  const PictureKind asked = *formatKind(request.format);
  if (named && *named != asked) return std::nullopt;
  return asked;
}

}  // namespace

UpAxis toolUpAxis(const ToolView& view) {
  const auto format = static_cast<FormatId>(view.shown.format);
  return chosenUpAxis(view.options, upAxisKey(format), writtenZUp(format) ? UpAxis::Z : UpAxis::Y);
}

int startOffscreenFrame(const char* input, int width, int height, ToolView& view, std::optional<StandardView> named,
                        std::optional<UpAxis> up) {
  if (const int status = openForTool(input, view.shown); status != 0) return status;
  if (!makeOffscreenContextCurrent(width, height)) {
    std::fprintf(stderr, "tessera-tool: no offscreen GL context could be made\n");
    return 1;
  }
  initGL(view.options);
  resizeView(view.camera, width, height);
  const UpAxis axis = up.value_or(toolUpAxis(view));
  setStandardView(view.camera, named.value_or(firstViewOf(view.shown.world, axis)), axis);
  frameWorld(view.camera, view.shown.world);
  return 0;
}

// The frames asked for: every frame of the run as PNG files in a folder, or
// the run (a turn for a model without frames) as an animated GIF.
int writeFrames(const RenderRequest& request, ToolView& view, int animation) {
  const int width = view.camera.viewWidth, height = view.camera.viewHeight;
  if (request.framesFolder != nullptr) {
    if (!isAnimated(view.shown.model)) return fileError(request.input, "has no frames");
    std::error_code error;
    std::filesystem::create_directories(request.framesFolder, error);
    const std::size_t frames = animationInfo(view.shown.model, animation).frames;
    for (std::size_t k = 0; k < frames; ++k) {
      poseShownAt(view.shown, animation, secondsOfFrame(view.shown.model, k));
      drawScene(view.shown, view.camera, view.options);
      char name[32];
      std::snprintf(name, sizeof name, "frame-%04zu.png", k);
      const std::string path = (std::filesystem::path(request.framesFolder) / name).string();
      if (const WriteResult written = exportImage(path.c_str(), width, height, PictureKind::Png); !written) {
        return fileError(path.c_str(), written.reason);
      }
    }
    return 0;
  }
  const Recording recording = planRecording(view.shown, animation, request.framesPerSecond, view.camera);
  GifWriter gif(outputPath(request.gif), width, height);
  const int centiseconds = static_cast<int>(std::lround(100.0 / request.framesPerSecond));
  for (std::size_t k = 0; k < recording.frameCount; ++k) {
    stageRecordedFrame(view.shown, view.camera, recording, k);
    drawScene(view.shown, view.camera, view.options);
    const std::optional<RgbImage> frame = capturedFrame(width, height);
    if (!frame || !gif.addFrame(*frame, centiseconds)) break;
  }
  const WriteResult written = gif.finish();
  return written ? 0 : fileError(request.gif, written.reason);
}

int runRender(int argc, char** argv) {
  ToolView view;
  view.options = firstRunViewOptions();  // as the viewer's first run
  RenderRequest request;
  request.input = argv[0];
  // The picture to write, unless --frames or --gif says where the frames go.
  const bool named = std::strncmp(argv[1], "--", 2) != 0;
  request.output = named ? argv[1] : nullptr;
  for (int k = named ? 2 : 1; k < argc; k += 2) {
    if (k + 1 >= argc) return usageError(std::string("option ") + argv[k] + " needs a value");
    if (!parseOption(argv[k], argv[k + 1], request, view.options)) {
      return usageError(std::string("option ") + argv[k] + " cannot take '" + argv[k + 1] + "'");
    }
  }

  const bool framesOut = request.framesFolder != nullptr || request.gif != nullptr;
  if ((request.output != nullptr) == framesOut || (request.framesFolder != nullptr && request.gif != nullptr)) {
    return usageError("render takes one picture to write, or --frames FOLDER or --gif OUT.gif");
  }
  if (request.gif != nullptr && (request.width > kLargestGifSide || request.height > kLargestGifSide)) {
    return usageError("an animated GIF is at most 1024 pixels across and high");
  }
  const std::optional<PictureKind> kind = framesOut ? std::optional(PictureKind::Png) : pictureKindFor(request);
  if (!kind) return usageError(std::string("option --format cannot take '") + request.format + "' for " + request.output);
  if (!frameFits(request.width, request.height)) {
    std::fprintf(stderr, "tessera-tool: a %dx%d picture needs 1 GB or more of buffers; ask for fewer pixels\n",
                 request.width, request.height);
    return 1;
  }
  if (const int status = startOffscreenFrame(request.input, request.width, request.height, view, request.view, request.up);
      status != 0) {
    return status;
  }
  if (request.background != nullptr) {
    std::string reason;
    if (!makeBackgroundTexture(request.background, &reason)) return fileError(request.background, reason);
    view.shown.backgroundShown = true;
  }
  turnModelWithGl(view.camera, request.turn[0], request.turn[1], request.turn[2], request.turn[3]);
  fitModelToView(view.shown, view.options, view.camera);  // the whole model, as the viewer's first picture
  const Model& model = view.shown.model;
  int animation = -1;
  if (request.animation != nullptr) {
    animation = animationNamed(model, request.animation);
    if (animation < -1) return fileError(request.input, std::string("has no animation named '") + request.animation + "'");
  }
  if ((request.frame || request.time) && !isAnimated(model)) return fileError(request.input, "has no frames");
  if (framesOut) return writeFrames(request, view, animation);
  if (request.frame) {
    const std::size_t frames = animationInfo(model, animation).frames;
    if (static_cast<std::size_t>(*request.frame) >= frames) {
      return fileError(request.input, "has " + std::to_string(frames) + " frames there, numbered from 0");
    }
    poseShownAt(view.shown, animation, secondsOfFrame(model, static_cast<std::size_t>(*request.frame)));
  } else if (request.time) {
    poseShownAt(view.shown, animation, *request.time);
  }
  drawScene(view.shown, view.camera, view.options);
  const WriteResult written =
      exportImage(outputPath(request.output), view.camera.viewWidth, view.camera.viewHeight, *kind);
  return written ? 0 : fileError(request.output, written.reason);
}
