#include "platform/headless/headless_platform.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "formats/reader_support.h"
#include "platform/platform.h"
#include "support/temp_dir.h"

TEST(HeadlessPlatform, ConfigDirectoryIsCreatedUnderXdgConfigHome) {
  IsolatedState state;
  const std::string dir = platformConfigDirectory();
  EXPECT_EQ(dir, state.dir().path() + "/tessera/");
  struct stat info {};
  EXPECT_EQ(stat(dir.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
}

TEST(HeadlessPlatform, ConfigDirectoryFallsBackToHome) {
  IsolatedState state;
  unsetenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  const std::string savedHome = home ? home : "";
  setenv("HOME", (state.dir().path() + "/home").c_str(), 1);
  EXPECT_EQ(platformConfigDirectory(), state.dir().path() + "/home/.config/tessera/");
  setenv("HOME", savedHome.c_str(), 1);
}

TEST(HeadlessPlatform, DebugMessagesAreCutAt511Characters) {
  testing::internal::CaptureStderr();
  const std::string name(2000, 'n');
  debugMessage("File, %s, is damaged or truncated.\n", name.c_str());
  const std::string err = testing::internal::GetCapturedStderr();
  // 511 characters of message, then the line end the output adds.
  EXPECT_EQ(err.size(), 512u);
  EXPECT_EQ(err.substr(0, 6), "File, ");
}
