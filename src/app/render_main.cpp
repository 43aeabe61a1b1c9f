// tessera-render: the drawing half of tessera-tool, a program of its own so
// that the other commands never load the offscreen GL library.
#include <cstdio>
#include <new>

#include "app/tool_commands.h"

int main(int argc, char** argv) {
  try {
    return runRender(argc - 1, argv + 1);
  } catch (const std::bad_alloc&) {
    std::fputs("tessera-tool: not enough memory for this file\n", stderr);
    return 1;
  }
}
