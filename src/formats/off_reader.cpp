#include <string>

#include "formats/off_body_parts.h"
#include "formats/readers.h"
#include "formats/text_parts.h"
#include "platform/large_arrays.h"
#include "platform/text_scanner.h"

ReadResult readOffFile(const char* name) { return readTextModel(name, readOffText); }

namespace {

// Reads the header number by number, then a body bigger than `above` in
// `parts` when it is laid out as writers lay it out.
ReadResult readOff(TextScanner& scan, const char* name, std::size_t parts, std::size_t above, PartThreads threads) {
  std::string header;
  if (!scan.readToken(header)) return refuseDamaged(name);  // an empty file
  if (header != "OFF" && header != "off") return refuseFile(name, "is not an OFF file");

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
  if (const std::string_view body = scan.restInMemory(); body.size() > above) {
    scan.expectAnotherPass();  // two passes
    if (readOffBodyInParts(body, numVertices, numFaces, parts, threads, object)) return finishModel(std::move(model), name);
    object = MeshObject{};  // read number by number instead
  }
  resizeLargeArray(object.vertices, 3 * static_cast<std::size_t>(numVertices));
  for (float& coordinate : object.vertices) {
    if (!scan.readFloat(coordinate)) return refuseDamaged(name);
  }

  reserveLargeArray(object.faces.offsets, static_cast<std::size_t>(numFaces) + 1);
  std::uint64_t indexGuess = 3 * static_cast<std::uint64_t>(numFaces);
  if (indexGuess > scan.bytesLeft() / 2) indexGuess = scan.bytesLeft() / 2;
  reserveLargeArray(object.faces.indices, static_cast<std::size_t>(indexGuess));
  std::vector<std::int32_t>& indices = object.faces.indices;
  for (std::int32_t f = 0; f < numFaces; ++f) {
    std::int32_t size = 0;
    if (!scan.readInt(size) || size < 0 || size > 32767) return refuseDamaged(name);
    if (indices.size() + static_cast<std::size_t>(size) > UINT32_MAX) return refuseDamaged(name);
    for (std::int32_t k = 0; k < size; ++k) {
      std::int32_t index = 0;
      if (!scan.readInt(index)) return refuseDamaged(name);
      indices.push_back(index);
    }
    object.faces.offsets.push_back(static_cast<std::uint32_t>(indices.size()));
  }
  return finishModel(std::move(model), name);
}

}  // namespace

ReadResult readOffText(TextScanner& scan, const char* name) { 
  const std::size_t parts = partsForThisMachine();
  return readOff(scan, name, parts, parts > 1 ? kReadInPartsAbove : SIZE_MAX, PartThreads::own);
}

ReadResult readOffTextInParts(std::string_view text, const char* name, std::size_t parts, PartThreads threads) {
  TextScanner scan(text.data(), text.size());
  return readOff(scan, name, parts, 0, threads);
}
