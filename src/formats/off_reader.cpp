#include <cmath>
#include <cstdlib>
#include <string>

#include "formats/off_format.h"
#include "formats/reader_support.h"
#include "formats/text_scanner.h"
#include "model/current_model.h"

namespace {

}  // namespace

std::optional<Model> readOffFile(const char* name) {
  FileHandle file = openForReading(name, "r");
  if (!file) return std::nullopt;
  TextScanner scan(file.get());

  std::string header;
  if (!scan.readToken(header)) return refuseDamaged(name);  // an empty file
  if (header != "OFF" && header != "off") {
    debugMessage("File, %s, is not a valid OFF file.\n", name);
    std::exit(-1);
  }

  std::int32_t numVertices = 0, numFaces = 0, edges = 0;
  if (!scan.readInt(numVertices) || !scan.readInt(numFaces) || !scan.readInt(edges)) {
    return refuseDamaged(name);
  }
  if (numVertices < 0 || numFaces < 0) return refuseDamaged(name);
  // Every coordinate takes at least a digit and a blank, every face at least
  // its size and a blank: counts beyond that cannot be true, and believing
  // them would mean huge allocations.
  const std::uint64_t needed =
      6 * static_cast<std::uint64_t>(numVertices) + 2 * static_cast<std::uint64_t>(numFaces);
  if (needed > scan.bytesLeft() + 2) return refuseDamaged(name);

  Model model(1);
  MeshObject& object = model[0];
  object.numVertices = numVertices;
  object.vertices.resize(3 * static_cast<std::size_t>(numVertices));
  float* v = object.vertices.data();
  for (std::int32_t i = 0; i < numVertices; ++i, v += 3) {
    if (!scan.readFloat(v[0]) || !scan.readFloat(v[1]) || !scan.readFloat(v[2])) {
      return refuseDamaged(name);
    }
    // inf and nan are numbers to %f but would poison the bounds and the view.
    if (!std::isfinite(v[0]) || !std::isfinite(v[1]) || !std::isfinite(v[2])) {
      return refuseDamaged(name);
    }
    growBounds(object, static_cast<std::size_t>(i), v[0], v[1], v[2]);
  }
  computeCenter(object);

  object.numFaces = numFaces;
  object.faceSizes.reserve(static_cast<std::size_t>(numFaces));
  object.faces.offsets.reserve(static_cast<std::size_t>(numFaces) + 1);
  std::uint64_t indexGuess = 3 * static_cast<std::uint64_t>(numFaces);
  if (indexGuess > scan.bytesLeft() / 2) indexGuess = scan.bytesLeft() / 2;
  object.faces.indices.reserve(static_cast<std::size_t>(indexGuess));
  std::vector<std::int32_t>& indices = object.faces.indices;
  const std::uint32_t vertexLimit = static_cast<std::uint32_t>(numVertices);
  bool outOfRange = false;
  for (std::int32_t f = 0; f < numFaces; ++f) {
    std::int32_t size = 0;
    if (!scan.readInt(size) || size < 0 || size > 32767) return refuseDamaged(name);
    if (indices.size() + static_cast<std::size_t>(size) > UINT32_MAX) return refuseDamaged(name);
    for (std::int32_t k = 0; k < size; ++k) {
      std::int32_t index = 0;
      if (!scan.readInt(index)) return refuseDamaged(name);
      outOfRange |= static_cast<std::uint32_t>(index) >= vertexLimit;
      indices.push_back(index);
    }
    object.faces.offsets.push_back(static_cast<std::uint32_t>(indices.size()));
    object.faceSizes.push_back(static_cast<std::int16_t>(size));
  }
  if (outOfRange) reportDroppedFaces(name, dropOutOfRangeFaces(object));

  objectCount = 1;
  return model;
}
