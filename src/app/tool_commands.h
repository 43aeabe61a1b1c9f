#pragma once
// tessera-tool: the readers, the writer, the statistics and the renderer for
// scripts.

#include <optional>

#include "formats/format_id.h"
#include "model/mesh_object.h"

// Runs one command line and returns the exit status: 0 with a model; 1 for a
// usage error, an unknown format or a file that cannot be opened or written;
// 2 when the reader refused the file's content. A reader that ends the
// program ends the tool the same way (status 255).
int runTool(int argc, char** argv);

// Shared by the commands: the usage text on standard error, status 1.
int usageError();

// Reads a model the way the viewer does, without its recent list or display
// state; `status` is the exit status the outcome calls for.
std::optional<Model> readForTool(const char* name, int& status, FormatId& format);

// tessera-tool render IN OUT.bmp [OPTIONS]; arguments from IN on.
int runRender(int argc, char** argv);
