#pragma once
// Every model format the program knows, in one table built from the rows of
// formats.def: how its files are named, what it is called, which reader reads
// it, how the Open dialog offers it and how its faces are drawn. Adding a
// format is one row there and one reader.

#include <cstdint>
#include <span>
#include <string_view>

#include "formats/reader_support.h"

enum FormatId : std::int32_t {
#define TESSERA_FORMAT(id, value, ...) id = value,
#include "formats/formats.def"
#undef TESSERA_FORMAT
  formatUnknown = -1,
};

struct FormatInfo {
  FormatId id;
  // The name ending, lower case, any length, no dot needed or looked at.
  const char* ending;
  const char* displayName;  // shown in the status bar
  ModelReader reader;
  TextModelReader textReader;  // text formats: the reader on text in memory; else nullptr
  const char* chooserFilter;  // the Open dialog's entry; nullptr: none
  bool drawsTriangles;        // draw the first three corners of every face
};

// In the order the endings are tried.
std::span<const FormatInfo> formatTable();

// The row a file name ends in (any case), or nullptr.
const FormatInfo* formatOfName(std::string_view name);
// The row of a format, or nullptr for formatUnknown.
const FormatInfo* formatInfo(FormatId id);

// The display name of the format a name ends in; "Uknown format" for none.
const char* formatDisplayName(std::string_view name);
