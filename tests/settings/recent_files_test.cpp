#include "settings/recent_files.h"

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "support/temp_dir.h"

namespace {

void writeList(const std::string& text) { writeTextFile(recentListPath(), text); }

}  // namespace

TEST(RecentList, MissingFileIsCreatedEmpty) {
  IsolatedState state;
  readRecentList();
  EXPECT_EQ(recentCount, 0);
  EXPECT_EQ(readTextFile(state.configFile("tsr_recent.ini")), "0\n");
}

TEST(RecentList, WriteAndReadBackAnyLengthAndBlanks) {
  IsolatedState state;
  const std::string longPath = "/" + std::string(700, 'd') + "/model.off";
  addRecentFile("/m/a.off");
  addRecentFile("/models/with blanks/b c.obj");
  addRecentFile(longPath);
  writeRecentList();
  EXPECT_EQ(readTextFile(recentListPath()).substr(0, 2), "3\n");
  resetRecentList();
  readRecentList();
  ASSERT_EQ(recentCount, 3);
  EXPECT_EQ(recentFiles[0].path, longPath);
  EXPECT_EQ(recentFiles[0].length, static_cast<std::int32_t>(longPath.size()));
  EXPECT_EQ(recentFiles[1].path, "/models/with blanks/b c.obj");
  EXPECT_EQ(recentFiles[2].path, "/m/a.off");
  EXPECT_EQ(recentFiles[2].length, 8);
}

TEST(RecentList, FilesFromOtherPlatformsReadTheSame) {
  IsolatedState state;
  writeList("2\r\n8\r\n/m/a.off\r\n20\r\n/m/b.off\r\n");
  readRecentList();
  ASSERT_EQ(recentCount, 2);
  EXPECT_EQ(recentFiles[0].path, "/m/a.off");
  // A length longer than the path stops at the line end, which is dropped.
  EXPECT_EQ(recentFiles[1].path, "/m/b.off");
  EXPECT_EQ(recentFiles[1].length, 8);
}

TEST(RecentList, ShortLengthCutsThePathAndKeepsTheRest) {
  IsolatedState state;
  writeList("3\n4\n/m/a.off\n8\n/m/b.off\n   8\n   /m/c.off\n");
  readRecentList();
  ASSERT_EQ(recentCount, 3);
  EXPECT_EQ(recentFiles[0].path, "/m/a");
  EXPECT_EQ(recentFiles[1].path, "/m/b.off");
  // Blanks at the start of a path line are skipped with the length's line end.
  EXPECT_EQ(recentFiles[2].path, "/m/c.off");
}

TEST(RecentList, UntrustworthyCountsAndLengths) {
  IsolatedState state;
  std::string many = "25\n";
  for (int i = 0; i < 25; ++i) many += "8\n/m/" + std::to_string(i % 10) + ".off\n";
  writeList(many);
  readRecentList();
  EXPECT_EQ(recentCount, 10);

  for (const char* text : {"-4\n8\n/m/a.off\n", "many\n", "", "2\n8\n/m/a.off\n-1\n/m/b.off\n",
                           "3\n8\n/m/a.off\nxx\n"}) {
    resetRecentList();
    writeList(text);
    readRecentList();
    EXPECT_LE(recentCount, 1) << text;
    if (recentCount == 1) {
      EXPECT_EQ(recentFiles[0].path, "/m/a.off") << text;
    }
  }
}

TEST(RecentList, NewestFirstTenAtMostDuplicatesStay) {
  IsolatedState state;
  for (int i = 0; i < 11; ++i) addRecentFile("/m/" + std::to_string(i) + ".off");
  ASSERT_EQ(recentCount, 10);
  EXPECT_EQ(recentFiles[0].path, "/m/10.off");
  EXPECT_EQ(recentFiles[9].path, "/m/1.off");
  addRecentFile("/m/10.off");
  EXPECT_EQ(recentFiles[1].path, "/m/10.off");
  EXPECT_EQ(recentFiles[9].path, "/m/2.off");
  EXPECT_EQ(recentFiles[0].length, 9);
}

TEST(RecentList, ClearEmptiesMemoryAndFile) {
  IsolatedState state;
  addRecentFile("/m/a.off");
  writeRecentList();
  clearRecentList();
  EXPECT_EQ(recentCount, 0);
  resetRecentList();
  readRecentList();
  EXPECT_EQ(recentCount, 0);
  EXPECT_EQ(readTextFile(recentListPath()), "0\n");
}

TEST(RecentList, UncreatableFileEndsTheProgram) {
  IsolatedState state;
  // A plain file where the configuration folder should be.
  writeTextFile(state.dir().file("tessera"), "");
  EXPECT_EXIT(readRecentList(), testing::ExitedWithCode(255), "");
  EXPECT_EXIT(writeRecentList(), testing::ExitedWithCode(255), "");
}
