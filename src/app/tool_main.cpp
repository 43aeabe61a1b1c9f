#include <cstdio>
#include <new>

#include "app/tool_commands.h"

int main(int argc, char** argv) {
  // Sizes are checked before anything is allocated; an allocation that still
  // fails is reported, never an abort.
  try {
    return runTool(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("tessera-tool: not enough memory for this file\n", stderr);
    return 1;
  }
}
