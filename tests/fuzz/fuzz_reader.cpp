// Any file content, read through the dispatch as a file of the format whose
// name ending TESSERA_FUZZ_ENDING gives: one target per row of the format table.
#include <cstdint>
#include <string>

#include "formats/model_dispatch.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = writeFuzzFile(std::string("input.") + TESSERA_FUZZ_ENDING, "", data, size);
  const FormatInfo* format = nullptr;
  const ReadResult read = readModelFile(path.c_str(), format);
  if (read) checkModel(read.model);
  return 0;
}
