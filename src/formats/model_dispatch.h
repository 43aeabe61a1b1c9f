#pragma once
// Opening a model by name: the reader is picked by the name's last three
// characters, the format on display is recorded and the name enters the
// recent-file list.

#include <optional>
#include <string>

#include "formats/format_id.h"
#include "model/mesh_object.h"

extern FormatId currentFormat;  // format of the model on display
extern bool modelLoaded;        // a model is on display

using ModelReader = std::optional<Model> (*)(const char* name);

// The reader of a format, or nullptr where the program has none.
ModelReader readerForFormat(FormatId format);

// Removes a leading double quote and everything from the next one on.
void stripSurroundingQuotes(std::string& name);

// Picks the reader by the name and runs it; touches neither the recent list
// nor the display state. `format` is formatUnknown when no reader fits the
// name, after the unknown-format notice.
std::optional<Model> readModelFile(const char* name, FormatId& format);

// The whole open: quotes removed from `name` in place, the reader run, the
// format recorded, the recent list updated (unless the name came from it)
// and a repaint requested.
std::optional<Model> openModelFile(std::string& name, int fromRecentList);

void resetDispatchState();
