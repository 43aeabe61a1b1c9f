#pragma once
// Model formats, their numbers and the names shown for them.

#include <cstdint>
#include <string_view>

enum FormatId : std::int32_t {
  format3DStudio = 0,
  formatOff = 1,
  formatTruespace = 2,
  formatQuake1 = 3,
  formatQuake2 = 4,
  formatDxf = 5,
  formatLightwave = 6,
  formatVtk = 7,
  formatDirectX = 8,
  formatWavefront = 9,
  formatUnknown = -1,
};

// The format a file name ends in, by its last three characters (any case);
// a last character x alone means DirectX. No dot is needed or looked at.
FormatId formatOfName(std::string_view name);

// The display name for the last three characters of a file name.
const char* formatDisplayName(std::string_view lastThree);
