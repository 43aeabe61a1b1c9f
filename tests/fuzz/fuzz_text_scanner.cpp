// Every scanner operation over arbitrary bytes, in an order the input chooses.
#include <cstdint>
#include <string>

#include "platform/text_scanner.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t plan = data[0];
  TextScanner scan(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string text;
  for (int step = 0; step < 64 && !scan.atEnd(); ++step) {
    std::int32_t i = 0;
    float f = 0.0f;
    switch ((plan >> (step % 4 * 2)) & 3) {
      case 0: scan.readInt(i); break;
      case 1: scan.readFloat(f); break;
      case 2: scan.readToken(text); break;
      case 3: scan.readLine(text, static_cast<std::size_t>(step) * 3); break;
    }
  }
  return 0;
}
