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

TEST(HeadlessPlatform, NoticesStandCentredOverTheWindow) {
  IsolatedState state;
  platformSetNoticeAnchor(300, 150, 601, 400);
  platformShowNotice(NoticeKind::FileNotFound, "/m/a.off");
  EXPECT_EQ(headlessRecord.lastNotice, "FILE NOT FOUND: It may have been moved or deleted.");
  EXPECT_EQ(headlessRecord.lastNoticeDetails, "/m/a.off");
  EXPECT_EQ(headlessRecord.noticeX, 300 + 300 - 125);
  EXPECT_EQ(headlessRecord.noticeY, 150 + 200 - 100);
  platformSetNoticeAnchor(INT32_MAX, INT32_MIN, INT32_MAX, 0);  // summed wide, never overflowing
  platformShowNotice(NoticeKind::FileNotFound);
  EXPECT_TRUE(headlessRecord.noticeX == INT32_MAX && headlessRecord.noticeY == INT32_MIN);
}
