#include "pictures/picture_size.h"

std::string pictureSizeProblem(std::int64_t width, std::int64_t height) {
  if (width > kLargestPictureSide || height > kLargestPictureSide) return "is more than 32768 pixels across";
  if (width * height * 3 > kLargestPictureBytes) return "is too large to show (more than 256 MB of colour)";
  return {};
}
