#include "platform/headless/offscreen_context.h"

#include <GL/osmesa.h>

#include <vector>

namespace {

OSMesaContext context = nullptr;
std::vector<unsigned char> colorBuffer;

}  // namespace

bool makeOffscreenContextCurrent(int width, int height) {
  if (width <= 0 || height <= 0) return false;
  if (context == nullptr) {
    context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
    if (context == nullptr) return false;
  }
  colorBuffer.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
  return OSMesaMakeCurrent(context, colorBuffer.data(), GL_UNSIGNED_BYTE, width, height) != 0;
}
