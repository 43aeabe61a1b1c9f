// Any name ending and any content, read through the dispatch as the viewer
// opens files: the first line of the input (up to 8 bytes) ends the name.
#include <cstdint>
#include <string>

#include "formats/model_dispatch.h"
#include "formats/readers.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string ending;
  std::size_t at = 0;
  for (; at < size && at < 8 && data[at] != '\n'; ++at) {
    if (data[at] != '/' && data[at] != '\0') ending += static_cast<char>(data[at]);
  }
  // The import library's formats run a child process: fuzz_hand_back covers what comes back.
  if (const FormatInfo* named = formatOfName("input." + ending); named != nullptr && named->reader == readImportedFile) {
    return 0;
  }
  const std::string path = writeFuzzFile("input." + ending, "", data + at, size - at);
  const FormatInfo* format = nullptr;
  const ReadResult read = readModelFile(path.c_str(), format);
  if (read) checkModel(read.model);
  std::remove(path.c_str());
  return 0;
}
