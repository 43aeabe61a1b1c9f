#include "render/image_export.h"

#include <GL/gl.h>

#include <utility>

#include "pictures/bmp_file.h"
#include "pictures/jpeg_file.h"
#include "pictures/picture_file.h"
#include "pictures/png_file.h"

std::optional<CapturedView> captureView(int width, int height) {
  if (!frameFits(width, height)) return std::nullopt;
  const std::size_t stride = static_cast<std::size_t>(bmpStride(width));
  CapturedView view;
  view.pixels.assign(stride * static_cast<std::size_t>(height), 0);
  if (width > 0 && height > 0) {
    glFinish();
    // Rows land on the 4-byte stride, so the padding stays zero.
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, view.pixels.data());
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
      std::uint8_t* row = view.pixels.data() + y * stride;
      for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x) std::swap(row[3 * x], row[3 * x + 2]);
    }
  }
  view.info = makeBmpInfoHeader(width, height);
  return view;
}

WriteResult exportImage(const char* path, int width, int height) {
  const std::optional<PictureKind> kind = pictureKindOfName(path);
  if (!kind) return {false, kUnknownPictureEnding};
  return exportImage(path, width, height, *kind);
}

WriteResult exportImage(const char* path, int width, int height, PictureKind kind) {
  std::optional<CapturedView> view = captureView(width, height);
  if (!view) return {false, "there is no picture to save"};
  const auto stride = static_cast<std::size_t>(bmpStride(width));
  switch (kind) {
    case PictureKind::Png: return writePng(path, width, height, view->pixels.data(), stride);
    case PictureKind::Jpeg: return writeJpeg(path, width, height, view->pixels.data(), stride);
    case PictureKind::Bmp: break;
  }
  return writeBmp(path, view->info, view->pixels);
}
