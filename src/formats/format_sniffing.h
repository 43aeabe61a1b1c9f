#pragma once
// Telling a model file's format by its first bytes, for a name whose ending
// names no format, or names one whose reader does not take the file (a
// binary glTF saved as .bin, a PLY without an ending, an STL named .txt).

#include <cstdint>
#include <span>

#include "formats/format_table.h"

// How many bytes from the start of a file the guess looks at.
constexpr std::size_t kSniffedBytes = 4096;

// The format the start of a file of `fileSize` bytes says it is, or nullptr
// when it says nothing sure.
const FormatInfo* formatOfContent(std::span<const std::uint8_t> head, std::uint64_t fileSize);

// The same for a file by name: nullptr too for anything but a regular file
// (a pipe's bytes would be gone) and for a file that cannot be read.
const FormatInfo* formatOfFileContent(const char* name);
