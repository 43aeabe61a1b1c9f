// tessera-render: the drawing half of tessera-tool, a program of its own so
// that the other commands never load the offscreen GL library.
#include <cstdio>
#include <cstring>
#include <new>

#include "app/tool_commands.h"

int main(int argc, char** argv) {
  try {
    // The command as tessera-tool was given it, then its arguments.
    if (argc >= 2 && std::strcmp(argv[1], "thumbnail") == 0) return runThumbnail(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "render") == 0) return runRender(argc - 2, argv + 2);
    return usageError("tessera-render is run by tessera-tool render and thumbnail");
  } catch (const std::bad_alloc&) {
    std::fputs("tessera-tool: not enough memory for this file\n", stderr);
    return 1;
  }
}
