#pragma once
// Which way is up in a format's files: the convention of the programs that
// write it, so that a model opens standing as its author saw it.

#include <string>

#include "formats/format_table.h"

// Whether most writers of the format keep z up (else y).
bool writtenZUp(FormatId format);
// The name the user's choice of up axis is kept under: one per format,
// whichever of its name endings the file had.
std::string upAxisKey(FormatId format);
