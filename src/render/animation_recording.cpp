#include "render/animation_recording.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "render/image_export.h"
#include "render/rotation.h"
#include "render/shown_pose.h"

Recording planRecording(const Shown& shown, int animation, double framesPerSecond, const Camera& camera) {
  Recording r;
  r.framesPerSecond = framesPerSecond;
  std::memcpy(r.startRotation, camera.rotationMatrix, sizeof r.startRotation);
  r.turning = !isAnimated(shown.model);
  r.animation = animation;
  const double seconds = r.turning ? kTurnSeconds : animationInfo(shown.model, animation).seconds;
  r.frameCount = static_cast<std::size_t>(std::max(1.0, std::round(seconds * framesPerSecond)));
  return r;
}

void stageRecordedFrame(Shown& shown, Camera& camera, const Recording& r, std::size_t k) {
  if (r.turning) {
    std::memcpy(camera.rotationMatrix, r.startRotation, sizeof r.startRotation);
    turnModel(camera, static_cast<float>(360.0 * static_cast<double>(k) / static_cast<double>(r.frameCount)), 0.0f,
              1.0f, 0.0f);
    return;
  }
  poseShownAt(shown, r.animation, static_cast<double>(k) / r.framesPerSecond);
}

void endRecording(Shown& shown, Camera& camera, const Recording& r) {
  std::memcpy(camera.rotationMatrix, r.startRotation, sizeof r.startRotation);
  if (!r.turning) restShown(shown);
}

std::optional<RgbImage> capturedFrame(int width, int height) {
  const std::optional<CapturedView> view = captureView(width, height);
  if (!view) return std::nullopt;
  RgbImage image;
  image.width = width;
  image.height = height;
  image.pixels.resize(3 * static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  const std::size_t stride = view->pixels.size() / static_cast<std::size_t>(std::max(height, 1));
  for (int y = 0; y < height; ++y) {
    // Bottom row first, B G R: turned over, each pixel back to R G B.
    const std::uint8_t* from = view->pixels.data() + static_cast<std::size_t>(height - 1 - y) * stride;
    std::uint8_t* to = image.pixels.data() + 3 * static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    for (int x = 0; x < width; ++x) {
      to[3 * x] = from[3 * x + 2];
      to[3 * x + 1] = from[3 * x + 1];
      to[3 * x + 2] = from[3 * x];
    }
  }
  return image;
}
