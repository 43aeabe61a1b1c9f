// Any bytes as what tessera-import hands back: a stream that parses writes
// back to the same bytes, and its model is whole.
#include <cstdint>
#include <span>
#include <string>

#include "formats/hand_back.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  HandBack handBack;
  std::string reason;
  if (!parseHandBack(std::span<const std::uint8_t>(data, size), handBack, reason)) return 0;
  if (writeHandBack(handBack) != std::vector<std::uint8_t>(data, data + size)) __builtin_trap();
  const ReadResult read = modelOfHandBack(std::move(handBack), "/nonexistent/fuzz.fbx");
  if (read) checkModel(read.model);
  return 0;
}
