#include "app/tool_commands.h"

int main(int argc, char** argv) { return runTool(argc, argv); }
