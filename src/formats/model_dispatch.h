#pragma once
// Reading a model by name, and putting a model on display.

#include <string>

#include "formats/format_table.h"
#include "formats/reader_support.h"
#include "model/shown.h"

// Removes a leading double quote and everything from the next one on.
void stripSurroundingQuotes(std::string& name);

// Picks the reader by the name's ending and runs it; where the ending names
// no format, or its reader finds nothing to show in the file, the file's first
// bytes pick another. `format` is the row whose reader gave the result, or
// nullptr when neither the name nor the content tells a format. Shows
// nothing: the caller tells the user.
ReadResult readModelFile(const char* name, const FormatInfo*& format);

// The one way a model goes on display: it becomes the shown model with its
// format, the way its format draws and its file, and its World is computed.
void showModel(Shown& shown, Model model, FormatId format, std::string path = {});
