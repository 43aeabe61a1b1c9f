// Files a model names beside it are found as their author meant: in any
// case, with Windows separators and drive letters, and only when they are
// regular files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "formats/side_files.h"
#include "support/temp_dir.h"

namespace {

TEST(SideFiles, NamesWrittenElsewhereFindTheFileBesideTheModel) {
  TempDir dir;
  const std::string root = dir.path();
  std::filesystem::create_directories(root + "/Maps/Inner");
  std::filesystem::create_directories(root + "/folder.png");
  for (const char* name : {"/Wood Grain.PNG", "/Maps/Inner/skin.pcx", "/a.png"}) std::ofstream(root + name) << "x";
  std::filesystem::create_symlink(root + "/a.png", root + "/link.png");
  const std::string model = root + "/model.obj";
  const struct {
    const char* name;
    const char* found;  // relative to the folder; nullptr: not found
  } rows[] = {
      {"Wood Grain.PNG", "/Wood Grain.PNG"},
      {"wood grain.png", "/Wood Grain.PNG"},
      {"wood grain.png \r", "/Wood Grain.PNG"},
      {"maps\\INNER\\Skin.PCX", "/Maps/Inner/skin.pcx"},
      {"./maps/inner/skin.pcx", "/Maps/Inner/skin.pcx"},
      {"C:\\Users\\me\\Desktop\\A.PNG", "/a.png"},
      {"/home/someone/a.png", "/a.png"},
      {"link.png", "/link.png"},  // a link to a regular file is one
      {"folder.png", nullptr},
      {"missing.png", nullptr},
      {"", nullptr},
  };
  for (const auto& row : rows) {
    const std::string found = findSideFile(model, row.name);
    if (row.found == nullptr) {
      EXPECT_EQ(found, "") << row.name;
    } else {
      EXPECT_TRUE(!found.empty() && std::filesystem::equivalent(found, root + row.found)) << row.name << " -> " << found;
    }
  }
}

}  // namespace
