#include "formats/texture_files.h"

#include <vector>

#include "formats/reader_support.h"
#include "formats/side_files.h"
#include "pictures/picture_size.h"
#include "pictures/texture_picture.h"

std::int32_t addTextureBytes(Model& model, const char* modelPath, std::span<const std::uint8_t> bytes,
                             const std::string& label) {
  std::string reason;
  std::optional<RgbaImage> picture = decodeTexturePicture(bytes, &reason);
  if (!picture) {
    debugMessage("File, %s, names a texture, %s, that %s; it was left out.\n", modelPath, label.c_str(), reason.c_str());
    return -1;
  }
  model.textures.push_back(Texture{label, picture->width, picture->height, std::move(picture->pixels)});
  return static_cast<std::int32_t>(model.textures.size() - 1);
}

std::int32_t addTextureFile(Model& model, const char* modelPath, std::string_view name) {
  const std::string label(name);
  for (std::size_t k = 0; k < model.textures.size(); ++k) {
    if (model.textures[k].name == label) return static_cast<std::int32_t>(k);
  }
  const std::string path = findSideFile(modelPath, name);
  if (path.empty()) {
    debugMessage("File, %s, names a texture, %s, that is not beside it; it was left out.\n", modelPath, label.c_str());
    return -1;
  }
  std::vector<std::uint8_t> bytes;
  std::string reason;
  if (!readSideFile(path, static_cast<std::uint64_t>(kLargestPictureBytes), bytes, reason)) {
    debugMessage("File, %s, names a texture, %s, that %s; it was left out.\n", modelPath, label.c_str(), reason.c_str());
    return -1;
  }
  return addTextureBytes(model, modelPath, bytes, label);
}
