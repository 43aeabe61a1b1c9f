#pragma once
// tessera-tool: the readers, the writer, the statistics and the renderer for
// scripts.

#include <optional>
#include <string_view>

#include "model/shown.h"
#include "render/camera.h"
#include "render/standard_views.h"
#include "settings/view_options.h"

// What one run of the tool shows, as the viewer's shell holds it.
struct ToolView {
  Shown shown;
  Camera camera;
  ViewOptions options;
};

// Runs one command line and returns the exit status: 0 with a model; 1 for a
// usage error, an unknown format or a file that cannot be opened or written;
// 2 when the reader found the file's content damaged; 255 when it refused
// the file's header.
int runTool(int argc, char** argv);

// Shared by the commands: "tessera-tool: WHAT" and a pointer to --help on
// standard error; status 1.
int usageError(std::string_view what);

// Reads a model the way the viewer does, without its recent list, and puts
// it on display in `shown`; returns the exit status the outcome calls for.
int openForTool(const char* name, Shown& shown);

// "tessera-tool: FILE: reason" on standard error; status 1. An output of
// "-" is named "standard output".
int fileError(const char* name, std::string_view reason);

// Where an output name leads the writers: "-" is standard output.
const char* outputPath(const char* name);

// What tessera-tool render and thumbnail run in tessera-render; arguments
// after the command's name.
int runRender(int argc, char** argv);
int runThumbnail(int argc, char** argv);
// The up axis of the shown model's format: the options' choice, else its writers'.
UpAxis toolUpAxis(const ToolView& view);
// Both: reads the model and makes a width x height offscreen frame ready to
// draw it with the view's options, turned to the named view (the viewer's
// first view where none is named) with the up axis given (the format's
// where none is); the exit status, 0 when ready.
int startOffscreenFrame(const char* input, int width, int height, ToolView& view,
                        std::optional<StandardView> named = std::nullopt, std::optional<UpAxis> up = std::nullopt);
