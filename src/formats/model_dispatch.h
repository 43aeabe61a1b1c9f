#pragma once
// Reading a model by name, and putting a model on display.

#include <string>

#include "formats/format_table.h"
#include "formats/reader_support.h"

extern FormatId currentFormat;  // format of the model on display
extern bool modelLoaded;        // a model is on display

// Removes a leading double quote and everything from the next one on.
void stripSurroundingQuotes(std::string& name);

// Picks the reader by the name and runs it. `format` is the row it picked,
// or nullptr when no reader fits the name. Shows nothing: the caller tells
// the user.
ReadResult readModelFile(const char* name, const FormatInfo*& format);

// The one way a model goes on display: it becomes currentModel, its format
// is recorded and the World is rebuilt.
void showModel(Model model, FormatId format);

void resetDispatchState();
