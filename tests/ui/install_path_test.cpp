#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ui/install_path.h"

namespace {

// Drives C: and D: exist with known free space; any other text fails.
int FakeFreeSpace(const char* path) {
  if (!path[0]) return -1;
  if ((path[0] == 'C' || path[0] == 'c') && path[1] == ':') return 1000;
  if ((path[0] == 'D' || path[0] == 'd') && path[1] == ':') return 2000;
  return -1;
}

InstallPathState StateWith(const char* installPath) {
  InstallPathState s;
  strcpy(s.defaultPath, "C:\\Program Files\\Game\\");
  strcpy(s.installPath, installPath);
  return s;
}

}  // namespace

TEST(EndsWithName, ComparesBytesIgnoringOneSeparator) {
  static const struct {
    const char* path;
    const char* name;
    bool ends;
  } cases[] = {
      {"C:\\Games\\Game", "Game", true},
      {"C:\\Games\\Game\\", "Game", true},
      {"C:\\Games\\Game/", "Game", true},
      {"D:\\MyGame\\", "Game", true},  // bytes, not folders
      {"C:\\Games\\game\\", "Game", false},
      {"C:\\Games\\", "Game", false},
      {"Game", "Game", false},  // no longer than the name
      {"Game\\", "Game", true},
      {"C:\\Game\\\\", "Game", false},  // only one separator is ignored
      {"C:\\x", "", true},
      {"", "", false},
      {nullptr, "Game", false},
      {"C:\\Game", nullptr, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EndsWithName(c.path, c.name), c.ends) << (c.path ? c.path : "(null)") << " / " << (c.name ? c.name : "(null)");
  }
}

TEST(ComposeInstallPath, AppendsTheGameFolderUnlessPresent) {
  static const struct {
    const char* path;
    const char* game;
    const char* result;
  } cases[] = {
      {"C:\\Games\\", "Game", "C:\\Games\\Game\\"},
      {"C:\\Games\\Game\\", "Game", "C:\\Games\\Game\\"},
      {"C:/Games/Game/", "Game", "C:/Games/Game/"},
      {"D:\\", "游戏", "D:\\游戏\\"},
      {"C:\\", "", "C:\\"},  // an empty name always "ends" the path
  };
  for (const auto& c : cases) {
    InstallPathState s = StateWith("X:\\old\\");
    EXPECT_TRUE(ComposeInstallPath(s, c.path, c.game)) << c.path;
    EXPECT_STREQ(s.installPath, c.result) << c.path;
  }
}

TEST(ComposeInstallPath, RefusesResultsOf259CharactersOrMore) {
  std::string game = "Game";
  // path + game + "\" of 258 characters is taken, 259 is not.
  for (size_t total : {258u, 259u}) {
    std::string path = "C:\\" + std::string(total - 3 - game.size() - 2, 'a') + "\\";
    InstallPathState s = StateWith("C:\\old\\");
    bool taken = ComposeInstallPath(s, path.c_str(), game.c_str());
    EXPECT_EQ(taken, total == 258) << total;
    EXPECT_STREQ(s.installPath, taken ? (path + game + "\\").c_str() : "C:\\old\\") << total;
  }
  // A path that already ends with the name: 258 characters taken, 259 not.
  for (size_t n : {258u, 259u}) {
    std::string path = "C:\\" + std::string(n - 3 - game.size() - 1, 'a') + game + "\\";
    InstallPathState s = StateWith("C:\\old\\");
    EXPECT_EQ(ComposeInstallPath(s, path.c_str(), game.c_str()), n == 258) << n;
  }
}

TEST(FormatDefaultPath, FitsOrRefuses) {
  char out[kPathSize];
  ASSERT_TRUE(FormatDefaultPath(out, "C:\\", "X"));
  EXPECT_STREQ(out, "C:\\Program Files\\X\\");
  ASSERT_TRUE(FormatDefaultPath(out, "C:\\", ""));
  EXPECT_STREQ(out, "C:\\Program Files\\\\");

  // 18 characters besides the name: 241 fit the 260-byte buffer, 242 do not.
  std::string longest(241, 'g');
  ASSERT_TRUE(FormatDefaultPath(out, "C:\\", longest.c_str()));
  EXPECT_EQ(strlen(out), 259u);
  strcpy(out, "untouched");
  EXPECT_FALSE(FormatDefaultPath(out, "C:\\", std::string(242, 'g').c_str()));
  EXPECT_STREQ(out, "untouched");
}

TEST(ApplyTypedPath, TypedTextDecidesPathAndValidity) {
  static const struct {
    const char* text;
    TypedPath result;
    const char* installPath;
    int freeKB;
    bool invalid;
  } cases[] = {
      {"C:\\Games", TypedPath::kAccepted, "C:\\Games\\Game\\", 1000, false},
      {"C:\\Games\\", TypedPath::kAccepted, "C:\\Games\\Game\\", 1000, false},
      {"D:\\Games\\Game", TypedPath::kAccepted, "D:\\Games\\Game\\", 2000, false},
      {"D:\\Games\\Game\\", TypedPath::kAccepted, "D:\\Games\\Game\\", 2000, false},
      {"D:", TypedPath::kAccepted, "D:\\Game\\", 2000, false},
      {"Q:\\Games", TypedPath::kInvalid, "C:\\old\\", 7, true},  // no such drive
      {"\\Games", TypedPath::kInvalid, "C:\\old\\", 7, true},    // no drive letter
      {"Games", TypedPath::kInvalid, "C:\\old\\", 7, true},
      {"", TypedPath::kInvalid, "C:\\old\\", 7, true},
  };
  for (const auto& c : cases) {
    InstallPathState s = StateWith("C:\\old\\");
    s.freeKB = 7;
    EXPECT_EQ(ApplyTypedPath(s, c.text, "Game", FakeFreeSpace), c.result) << c.text;
    EXPECT_STREQ(s.installPath, c.installPath) << c.text;
    EXPECT_EQ(s.freeKB, c.freeKB) << c.text;
    EXPECT_EQ(s.pathInvalid, c.invalid) << c.text;
  }
}

TEST(ApplyTypedPath, ValidTextClearsAnEarlierInvalidMark) {
  InstallPathState s = StateWith("C:\\old\\");
  EXPECT_EQ(ApplyTypedPath(s, "Q:\\x", "Game", FakeFreeSpace), TypedPath::kInvalid);
  EXPECT_TRUE(s.pathInvalid);
  EXPECT_EQ(ApplyTypedPath(s, "D:\\x", "Game", FakeFreeSpace), TypedPath::kAccepted);
  EXPECT_FALSE(s.pathInvalid);
  EXPECT_STREQ(s.installPath, "D:\\x\\Game\\");
}

TEST(ApplyTypedPath, OverLongTextGivesTheFieldBackTheInstallPath) {
  InstallPathState s = StateWith("C:\\old\\");
  s.pathInvalid = true;
  std::string typed = "C:\\" + std::string(257, 'a');  // 260 characters
  EXPECT_EQ(ApplyTypedPath(s, typed.c_str(), "Game", FakeFreeSpace), TypedPath::kTooLong);
  EXPECT_STREQ(s.installPath, "C:\\old\\");
  EXPECT_FALSE(s.pathInvalid);

  // 259 characters are checked; the composed result is too long and not taken.
  std::string shorter = "C:\\" + std::string(256, 'a');
  EXPECT_EQ(ApplyTypedPath(s, shorter.c_str(), "Game", FakeFreeSpace), TypedPath::kAccepted);
  EXPECT_STREQ(s.installPath, "C:\\old\\");
}

TEST(ApplyBrowsedPath, TakesQueryableFoldersAndClearsTheInvalidMark) {
  static const struct {
    const char* folder;
    bool taken;
    const char* installPath;
    int freeKB;
    bool invalid;
  } cases[] = {
      {"D:\\Games", true, "D:\\Games\\Game\\", 2000, false},
      {"D:\\", true, "D:\\Game\\", 2000, false},
      {"C:\\Games\\Game", true, "C:\\Games\\Game\\", 1000, false},
      {"", false, "C:\\old\\", 7, true},              // browser cancelled
      {"Q:\\Games", false, "C:\\old\\", 7, true},     // drive cannot be queried
  };
  for (const auto& c : cases) {
    InstallPathState s = StateWith("C:\\old\\");
    s.freeKB = 7;
    s.pathInvalid = true;  // left by earlier typing
    EXPECT_EQ(ApplyBrowsedPath(s, c.folder, "Game", FakeFreeSpace), c.taken) << c.folder;
    EXPECT_STREQ(s.installPath, c.installPath) << c.folder;
    EXPECT_EQ(s.freeKB, c.freeKB) << c.folder;
    EXPECT_EQ(s.pathInvalid, c.invalid) << c.folder;
  }
}

TEST(RestoreDefaultPath, ReturnsToTheStartingState) {
  InstallPathState s = StateWith("D:\\Games\\Game\\");
  s.freeKB = 2000;
  s.pathInvalid = true;
  RestoreDefaultPath(s, FakeFreeSpace);
  EXPECT_STREQ(s.installPath, "C:\\Program Files\\Game\\");
  EXPECT_EQ(s.freeKB, 1000);
  EXPECT_FALSE(s.pathInvalid);

  strcpy(s.defaultPath, "Q:\\Program Files\\Game\\");
  RestoreDefaultPath(s, FakeFreeSpace);
  EXPECT_EQ(s.freeKB, 0);  // as at start when the query fails
}
