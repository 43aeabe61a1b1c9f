#include "pictures/jpeg_file.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
// After jpeglib.h, which it needs.
#include <jerror.h>

#include "pictures/picture_size.h"
#include "platform/file_handle.h"
#include "platform/file_opening.h"

namespace {

// libjpeg ends the process on an error unless the error handler jumps out.
struct JpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  bool cutShort = false;
};

[[noreturn]] void onError(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1); }

// Warnings are not printed; one that the data ended early refuses the picture.
void onMessage(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) reinterpret_cast<JpegErrors*>(info->err)->cutShort = true;
}

// The coder (compressing or decompressing) reports to `errors`.
template <typename Coder>
void reportTo(JpegErrors& errors, Coder& info) {
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = onError;
  errors.manager.emit_message = onMessage;
}

// Everything between setjmp and the end touches no object with a destructor
// of its own in this frame, so the jump skips nothing.
bool decode(jpeg_decompress_struct& info, JpegErrors& errors, RgbImage& picture, std::string& problem) {
  if (setjmp(errors.jump) != 0) {
    problem = "is damaged or truncated";
    return false;
  }
  jpeg_read_header(&info, TRUE);
  problem = pictureSizeProblem(info.image_width, info.image_height);
  if (!problem.empty()) return false;
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  picture.width = static_cast<int>(info.output_width);
  picture.height = static_cast<int>(info.output_height);
  const std::size_t row = static_cast<std::size_t>(picture.width) * 3;
  picture.pixels.assign(row * static_cast<std::size_t>(picture.height), 0);
  while (info.output_scanline < info.output_height) {
    // Bottom row first, as GL takes it.
    JSAMPROW line = picture.pixels.data() + (info.output_height - 1 - info.output_scanline) * row;
    jpeg_read_scanlines(&info, &line, 1);
  }
  jpeg_finish_decompress(&info);
  if (errors.cutShort) problem = "is damaged or truncated";
  return !errors.cutShort;
}

// Decodes from the source `attach` gives the decompressor.
template <typename Attach>
std::optional<RgbImage> decodeFrom(Attach&& attach, std::string* reason) {
  jpeg_decompress_struct info{};
  JpegErrors errors{};
  reportTo(errors, info);
  jpeg_create_decompress(&info);
  attach(info);
  RgbImage picture;
  std::string problem;
  const bool decoded = decode(info, errors, picture, problem);
  jpeg_destroy_decompress(&info);
  if (!decoded) {
    if (reason != nullptr) *reason = problem;
    return std::nullopt;
  }
  return picture;
}

}  // namespace

std::optional<RgbImage> loadJpeg(const char* path, std::string* reason) {
  FileHandle file(std::fopen(path, "rb"));
  if (!file) {
    if (reason != nullptr) *reason = openFailureReason(errno);
    return std::nullopt;
  }
  return decodeFrom([&](jpeg_decompress_struct& info) { jpeg_stdio_src(&info, file.get()); }, reason);
}

std::optional<RgbImage> decodeJpeg(std::span<const std::uint8_t> bytes, std::string* reason) {
  return decodeFrom([&](jpeg_decompress_struct& info) { jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size())); },
                    reason);
}

namespace {

// As decode: nothing with a destructor of its own between setjmp and the end.
bool encode(jpeg_compress_struct& info, JpegErrors& errors, std::FILE* file, int width, int height,
            const std::uint8_t* bgrRows, std::size_t stride, int quality, std::string& problem) {
  if (setjmp(errors.jump) != 0) {
    char text[JMSG_LENGTH_MAX];
    (*info.err->format_message)(reinterpret_cast<j_common_ptr>(&info), text);
    problem = text;
    return false;
  }
  jpeg_stdio_dest(&info, file);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_EXT_BGR;  // libjpeg-turbo takes the view's rows as they are
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    // The file holds the top row first.
    const std::size_t y = static_cast<std::size_t>(height) - 1 - info.next_scanline;
    JSAMPROW row = const_cast<JSAMPROW>(bgrRows + y * stride);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  return true;
}

}  // namespace

WriteResult writeJpeg(const char* path, int width, int height, const std::uint8_t* bgrRows, std::size_t stride,
                      int quality) {
  FileReplacement output(path);
  std::FILE* file = output.file();
  if (file == nullptr) return output.commit();
  jpeg_compress_struct info{};
  JpegErrors errors{};
  reportTo(errors, info);
  jpeg_create_compress(&info);
  std::string problem;
  const bool encoded = encode(info, errors, file, width, height, bgrRows, stride, quality, problem);
  jpeg_destroy_compress(&info);
  if (encoded) return output.commit();
  // A failed write is the system's reason, as for any other output; the
  // temporary file goes, any earlier file stays.
  if (std::ferror(file) != 0) return output.commit();
  return {false, problem};
}
