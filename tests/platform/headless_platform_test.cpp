#include "platform/headless/headless_platform.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/platform.h"
#include "support/temp_dir.h"

TEST(HeadlessPlatform, ConfigDirectoryUnderXdgConfigHomeElseHome) {
  IsolatedState state;
  EXPECT_EQ(platformConfigDirectory(), state.dir().path() + "/tessera/");
  struct stat info {};
  EXPECT_TRUE(stat((state.dir().path() + "/tessera").c_str(), &info) == 0 && S_ISDIR(info.st_mode));
  unsetenv("XDG_CONFIG_HOME");
  const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  setenv("HOME", (state.dir().path() + "/home").c_str(), 1);
  EXPECT_EQ(platformConfigDirectory(), state.dir().path() + "/home/.config/tessera/");
  setenv("HOME", savedHome.c_str(), 1);
}
