#include "platform/headless/offscreen_context.h"

#include <GL/osmesa.h>

#include <vector>

namespace {

// One context for the run, drawing into one colour buffer.
struct Offscreen {
  OSMesaContext context = nullptr;
  std::vector<unsigned char> colorBuffer;
};
Offscreen offscreen;

}  // namespace

bool makeOffscreenContextCurrent(int width, int height) {
  if (width <= 0 || height <= 0) return false;
  if (offscreen.context == nullptr) {
    offscreen.context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
    if (offscreen.context == nullptr) return false;
  }
  offscreen.colorBuffer.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
  return OSMesaMakeCurrent(offscreen.context, offscreen.colorBuffer.data(), GL_UNSIGNED_BYTE, width, height) != 0;
}
