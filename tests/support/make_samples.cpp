// Writes the bundled sample models into the folder given as the argument.
#include <cstdio>
#include <string>

#include "formats/off_writer.h"
#include "support/mesh_builders.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-samples FOLDER\n");
    return 1;
  }
  const std::string folder = argv[1];
  const std::string path = folder + "/torus.off";
  return writeOffFile(makeTorus(48, 24, 2.0f, 0.6f), path.c_str()) == WriteOutcome::Written ? 0 : 1;
}
