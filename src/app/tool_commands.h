#pragma once
// tessera-tool: the readers, the writer and the statistics for scripts.

// Runs one command line and returns the exit status: 0 with a model; 1 for a
// usage error, an unknown format or a file that cannot be opened or written;
// 2 when the reader refused the file's content. A reader that ends the
// program ends the tool the same way (status 255).
int runTool(int argc, char** argv);
