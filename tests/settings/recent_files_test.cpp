#include "settings/recent_files.h"

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "support/scratch_mount.h"
#include "support/temp_dir.h"

TEST(RecentList, NewestFirstTenAtMostWrittenAndReadBack) {
  RecentList list;
  IsolatedState state;
  readRecentList(list);  // a missing file is created empty
  EXPECT_EQ(readTextFile(state.configFile("tsr_recent.ini")), "0\n");
  for (int i = 0; i < 11; ++i) addRecentFile(list, "/m/" + std::to_string(i) + ".off");
  ASSERT_EQ(list.count, 10);
  EXPECT_EQ(list.files[0].path, "/m/10.off");
  EXPECT_EQ(list.files[9].path, "/m/1.off");
  // A path already there moves to the head and is listed once.
  addRecentFile(list, "/m/5.off");
  EXPECT_EQ(list.files[0].path, "/m/5.off");
  EXPECT_EQ(list.files[1].path, "/m/10.off");
  EXPECT_EQ(list.files[9].path, "/m/1.off");
  EXPECT_EQ(list.count, 10);
  EXPECT_EQ(list.files[0].length, 8);
  // Duplicates an older list file holds go at the next add.
  list.files[3] = list.files[2];
  addRecentFile(list, "/m/new.off");
  std::vector<std::string> paths;
  for (std::int32_t k = 0; k < list.count; ++k) paths.push_back(list.files[static_cast<std::size_t>(k)].path);
  EXPECT_EQ(paths, (std::vector<std::string>{"/m/new.off", "/m/5.off", "/m/10.off", "/m/9.off", "/m/7.off", "/m/6.off",
                                             "/m/4.off", "/m/3.off", "/m/2.off", "/m/1.off"}));
  // Paths of any length and with blanks read back as written.
  const std::string longPath = "/" + std::string(700, 'd') + "/model.off";
  addRecentFile(list, "/models/with blanks/b c.obj");
  addRecentFile(list, longPath);
  writeRecentList(list);
  list = RecentList{};
  readRecentList(list);
  ASSERT_EQ(list.count, 10);
  EXPECT_EQ(list.files[0].path, longPath);
  EXPECT_EQ(list.files[0].length, static_cast<std::int32_t>(longPath.size()));
  EXPECT_EQ(list.files[1].path, "/models/with blanks/b c.obj");
  EXPECT_EQ(list.files[9].path, "/m/3.off");  // Clear List is the window test's
}

TEST(RecentList, ReadingTrustsNothing) {
  RecentList list;
  std::string many = "25\n";
  for (int i = 0; i < 25; ++i) many += "8\n/m/" + std::to_string(i % 10) + ".off\n";
  const struct {
    std::string text;
    std::vector<std::string> paths;
  } cases[] = {
      // Other platforms' line ends; a length beyond the path stops at the line end.
      {"2\r\n8\r\n/m/a.off\r\n20\r\n/m/b.off\r\n", {"/m/a.off", "/m/b.off"}},
      // A short length cuts the path and the rest of its line; leading blanks go.
      {"3\n4\n/m/a.off\n8\n/m/b.off\n   8\n   /m/c.off\n", {"/m/a", "/m/b.off", "/m/c.off"}},
      {many, {"/m/0.off", "/m/1.off", "/m/2.off", "/m/3.off", "/m/4.off", "/m/5.off", "/m/6.off", "/m/7.off", "/m/8.off", "/m/9.off"}},
      {"-4\n8\n/m/a.off\n", {}}, {"many\n", {}}, {"", {}},
      {"2\n8\n/m/a.off\n-1\n/m/b.off\n", {"/m/a.off"}},
      // A length that cannot be used loses its own entry only.
      {"3\n8\n/m/a.off\n-1\n/m/b.off\n8\n/m/c.off\n", {"/m/a.off", "/m/c.off"}},
      {"3\nxx\n/m/a.off\n99999999999\n/m/b.off\n8\n/m/c.off\n", {"/m/c.off"}},
      {"3\n8\n/m/a.off\nxx\n", {"/m/a.off"}},
      // A length of 0 is no entry (written back it would end the list): the next one still is.
      {"2\n0o\n8\n/m/b.off\n", {"/m/b.off"}},
      {std::string("2\n4\n)\0x\n8\n/m/b.off\n", 19), {"/m/b.off"}},  // a NUL in a path
      {"2\n9\n/m/a\r\r\r\r\n8\n/m/b.off\n", {"/m/b.off"}},           // carriage returns inside
  };
  for (const auto& c : cases) {
    IsolatedState state;
    platformConfigDirectory();
    writeTextFile(recentListPath(), c.text);
    readRecentList(list);
    std::vector<std::string> paths;
    for (std::int32_t i = 0; i < list.count; ++i) paths.push_back(list.files[static_cast<std::size_t>(i)].path);
    EXPECT_EQ(paths, c.paths) << c.text;
  }
}

TEST(RecentList, LineEndsInPathsAndAFullDisk) {
  RecentList list;
  IsolatedState state;
  ScratchMount full(state.dir().file("tessera"), 4096);
  addRecentFile(list, "/m/a.off");
  EXPECT_FALSE(addRecentFile(list, "/m/line\nfeed.off"));  // it could not be read back as one entry
  EXPECT_FALSE(addRecentFile(list, "/m/carriage\rreturn.off"));
  EXPECT_EQ(list.count, 1);
  if (!full.mounted()) GTEST_SKIP() << "no tmpfs can be mounted here";
  ASSERT_TRUE(writeRecentList(list));
  const std::string earlier = readTextFile(recentListPath());
  for (int i = 0; i < 10; ++i) addRecentFile(list, "/" + std::string(400, 'p'));
  EXPECT_FALSE(writeRecentList(list));  // the one page holds the earlier list
  EXPECT_EQ(readTextFile(recentListPath()), earlier);
}
