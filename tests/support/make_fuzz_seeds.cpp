// Writes the binary fuzz seeds into tests/fuzz/seeds/ (the folder given as
// the argument), each without the header bytes its fuzz target adds itself.
#include <cstdio>
#include <string>

#include "support/binary_builders.h"

namespace {

bool writeSeed(const std::string& path, const Bytes& bytes, std::size_t skip) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  std::fwrite(bytes.data() + skip, 1, bytes.size() - skip, file);
  return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-fuzz-seeds SEEDS_FOLDER\n");
    return 1;
  }
  const std::string seeds = argv[1];
  const std::vector<float> quad{0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
  MdlModel mdl;
  mdl.skinPictures = {1, 2};
  mdl.vertices = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
  mdl.triangles = {{0, 1, 2}};
  mdl.groupFrames = 2;
  bool ok = true;
  ok &= writeSeed(seeds + "/3ds_reader/box",
                  file3ds(named3ds("Box", mesh3ds(quad, {{0, 1, 2}, {0, 2, 3}},
                                                  chunk3ds(0x4150, Bytes(8, 1))))), 0);
  ok &= writeSeed(seeds + "/cob_reader/quad",
                  join({cobHeader(), cobChunk("Mat1", Bytes(8, 1)),
                        polh(quad, {{0, 1, 2, 3}}, kIdentity3x4, {{1, 2}}), cobEnd()}), 32);
  ok &= writeSeed(seeds + "/lwo_reader/classic",
                  lwoForm("LWOB", join({lwoPoints(quad), lwoClassicPolygons({{0, 1, 2, 3}})})), 0);
  ok &= writeSeed(seeds + "/lwo_reader/modern",
                  lwoForm("LWO2", join({lwoChunk("LAYR", Bytes(3, 0), true), lwoPoints(quad),
                                        lwoModernPolygons("FACE", {{0, 1, 2, 3}})})), 0);
  ok &= writeSeed(seeds + "/md2_reader/triangle",
                  md2File({{0, 1, 2}}, {PackedFrame{{1, 1, 1}, {0, 0, 0}, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}}}), 4);
  ok &= writeSeed(seeds + "/mdl_reader/group", mdlFile(mdl), 4);
  ok &= writeSeed(seeds + "/x_reader/binary", xHeader("bin "), 8);
  return ok ? 0 : 1;
}
