#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "system/launch_text.h"
#include "system/name_guard.h"
#include "system/path_text.h"
#include "system/shortcut_paths.h"
#include "system/uninstall_entry.h"

namespace {

// "誠" in GBK is D5 5C: its second byte is a backslash.
const char kTrailBackslash[] = "\xD5\x5C";

std::string Hex(const std::string& s) {
  std::string hex;
  for (unsigned char c : s) {
    char b[3];
    snprintf(b, sizeof b, "%02x", c);
    hex += b;
  }
  return hex;
}

TEST(DirectoryPrefixes, CreatesEachLevelFromTheRoot) {
  const std::string trail = std::string("C:\\a\\") + kTrailBackslash + "b\\c";
  static const struct {
    std::string path;
    std::vector<std::string> prefixes;
  } cases[] = {
      {"C:\\a\\b", {"C:\\", "C:\\a\\", "C:\\a\\b\\"}},
      {"C:/a/b/", {"C:/", "C:/a/", "C:/a/b/", "C:/a/b/\\"}},
      {"C:\\a/b", {"C:\\", "C:\\a/", "C:\\a/b\\"}},
      // The backslash inside the double-byte character is no separator.
      {trail, {"C:\\", "C:\\a\\", std::string("C:\\a\\") + kTrailBackslash + "b\\", trail + "\\"}},
      {"name", {"name\\"}},
  };
  for (const auto& c : cases) EXPECT_EQ(DirectoryPrefixes(c.path), c.prefixes) << c.path;
}

TEST(DirectoryPrefixes, RefusesPathsThatDoNotFitWithTheAddedBackslash) {
  const std::string fits = "C:\\" + std::string(255, 'x');  // 258 bytes, 259 with the backslash
  EXPECT_EQ(DirectoryPrefixes(fits).size(), 2u);
  EXPECT_TRUE(DirectoryPrefixes(fits + "y").empty());
}

TEST(PathText, LastSeparatorAndCutStepOverDoubleByteCharacters) {
  EXPECT_EQ(LastSeparator(std::string("C:\\a\\") + kTrailBackslash), 4u);
  EXPECT_EQ(LastSeparator("C:\\a/b"), 4u);
  EXPECT_EQ(LastSeparator("abc"), std::string::npos);
  const std::string twoChars = "\xD5\x5C\xD5\x5C";
  EXPECT_EQ(CutGbk(twoChars, 3), "\xD5\x5C");
  EXPECT_EQ(CutGbk("ab" + twoChars, 3), "ab");
  EXPECT_EQ(CutGbk("abc", 10), "abc");
}

TEST(NameGuard, ContainedNamesStayInsideTheirFolder) {
  static const struct {
    const char* name;
    bool contained;
  } cases[] = {
      {nullptr, false},
      {"", false},
      {".", false},
      {"..", false},
      {"...", false},
      {". .", false},
      {"..\\Other", false},
      {"Game\\..\\..", false},
      {"Game/../../Other", false},
      {"\\Game", false},
      {"Game\\\\link", false},
      {"Game\\", false},
      {"C:\\Users", false},
      {"Game:stream", false},
      {"Game", true},
      {"Game\\Game", true},
      {"Game.v2\\..start", true},
      {"游戏\\游戏卸载", true},
      {"\xD5\x5C", true},
      {"Game\xD5", false},  // half a character: what follows would fuse with it
  };
  for (const auto& c : cases) EXPECT_EQ(IsContainedName(c.name), c.contained) << (c.name ? c.name : "(null)");
}

TEST(NameGuard, KeyNameMustNameAKeyOfItsOwn) {
  EXPECT_FALSE(IsUsableKeyName(nullptr));
  EXPECT_FALSE(IsUsableKeyName(""));
  EXPECT_FALSE(IsUsableKeyName("\\\\"));
  EXPECT_TRUE(IsUsableKeyName("Game"));
  EXPECT_TRUE(IsUsableKeyName("Corvel\\Game"));  // a deeper key, as given
}

TEST(NameGuard, InstallDirMustEndInTheGameFolder) {
  static const struct {
    const char* dir;
    const char* game;
    bool removable;
  } cases[] = {
      {"C:\\Program Files\\Game\\", "Game", true},
      {"C:\\Program Files\\Game", "Game", true},
      {"c:\\program files\\GAME\\", "game", true},
      {"D:/Games/Game/", "Game", true},
      {"D:\\Corvel\\Game\\", "Corvel\\Game", true},
      {"\\\\server\\share\\Game\\", "Game", true},
      {"D:\\游戏\\", "游戏", true},
      {"C:\\Game\\", "Game", true},
      {"C:\\", "Game", false},
      {"C:", "Game", false},
      {"", "Game", false},
      {nullptr, "Game", false},
      {"C:\\Program Files\\Game\\", "", false},
      {"C:\\Program Files\\Game\\", nullptr, false},
      {"C:\\Program Files\\Game\\", "..", false},
      {"C:\\Program Files\\", "Game", false},
      {"D:\\MyGame\\", "Game", false},  // a byte tail, not the game's folder
      {"C:\\Program Files\\Game\\..\\Game\\", "Game", false},
      {"C:\\Program Files\\\\Game\\", "Game", false},
      {"Game\\", "Game", false},
      {"\\Game\\", "Game", false},
      {"\\\\server\\Game\\", "Game", false},
      {"1:\\Game\\", "Game", false},
      // "丄" (81 41) and "乤" (81 61) differ only in a trail byte that is a letter.
      {"D:\\\x81\x41\\", "\x81\x61", false},
      {"D:\\\x81\x41\\", "\x81\x41", true},
      {"D:\\Games\\G\xC4", "G\xC4", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsGameInstallDir(c.dir, c.game), c.removable)
        << (c.dir ? c.dir : "(null)") << " / " << (c.game ? c.game : "(null)");
  }
}

TEST(PathText, PathWithinComparesWholeParts) {
  static const struct {
    std::string dir;
    std::string path;
    bool within;
  } cases[] = {
      {"C:\\Games\\Game", "C:\\Games\\Game\\uninstall\\uninst.exe", true},
      {"C:\\Games\\Game\\", "C:\\Games\\Game", true},
      {"c:/games/GAME", "C:\\Games\\Game\\x", true},
      {"C:\\Games\\Game", "C:\\Games\\Game2\\x", false},  // a sibling with a longer name
      {"C:\\Games\\Game", "C:\\Games", false},
      {"C:\\Games\\Game", "D:\\Games\\Game\\x", false},
      {"", "C:\\x", false},
      {"D:\\\x81\x41", "D:\\\x81\x61\\x", false},
      {std::string("D:\\") + kTrailBackslash, std::string("D:\\") + kTrailBackslash + "\\x", true},
      {"D:\\\xD5", std::string("D:\\") + kTrailBackslash + "x", false},
  };
  for (const auto& c : cases) EXPECT_EQ(PathWithin(c.dir, c.path), c.within) << c.dir << " / " << c.path;
}

TEST(LaunchText, FailureTextsByResult) {
  const char* program = "C:\\Program Files\\Game\\game.exe";
  static const struct {
    unsigned result;
    unsigned long lastError;
    std::string text;
  } cases[] = {
      {0, 8, "系统内存不够. 错误号:8"},
      {2, 2, "找不到C:\\Program Files\\Game\\game.exe文件. 错误号:2"},
      {3, 3, "路径错误. 错误号:3"},
      {11, 193, "C:\\Program Files\\Game\\game.exe文件不是有效运行程序. 错误号:193"},
      {5, 5, "未知错误. 错误号:5"},
      {31, 1, "未知错误. 错误号:1"},
  };
  for (const auto& c : cases) EXPECT_EQ(LaunchFailureText(c.result, program, c.lastError), c.text) << c.result;
  // The bytes the player sees are GBK.
  EXPECT_EQ(Hex(LaunchFailureText(3, program, 3)), "c2b7beb6b4edcef32e20b4edcef3bac53a33");
}

TEST(LaunchText, LongPathIsShortenedAndTheNumberKept) {
  for (std::string path : {std::string(300, 'x'), std::string(150, 'x') + std::string(100, '\xB0') + "\xB0"}) {
    for (unsigned result : {2u, 11u}) {
      const std::string text = LaunchFailureText(result, path.c_str(), 1234567);
      EXPECT_LT(text.size(), kErrorTextSize);
      EXPECT_GT(text.size(), kErrorTextSize - 10);
      EXPECT_EQ(text.substr(text.size() - 15), " 错误号:1234567");
      const std::string tail = result == 2 ? "文件." : "文件不是有效运行程序.";
      const size_t pathEnd = text.size() - 15 - tail.size();
      EXPECT_EQ(text.substr(pathEnd, tail.size()), tail);
      EXPECT_EQ(text.substr(pathEnd - 3, 3), "...");
      // No double-byte character is split before the ellipsis.
      size_t i = 0;
      while (i < pathEnd - 3) i += IsGbkLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
      EXPECT_EQ(i, pathEnd - 3);
    }
  }
}

TEST(LaunchText, ProgramPathIsQuoted) {
  EXPECT_EQ(QuotedProgramLine("C:\\Program Files\\Game\\game.exe"), "\"C:\\Program Files\\Game\\game.exe\"");
  EXPECT_EQ(QuotedProgramLine("\"C:\\Game\\game.exe\" -x"), "\"C:\\Game\\game.exe\" -x");
  EXPECT_EQ(QuotedProgramLine(nullptr), "\"\"");
}

TEST(UninstallEntry, SubkeyAndCommands) {
  std::string subkey;
  ASSERT_TRUE(UninstallSubkey("Corvel\\Game", &subkey));
  EXPECT_EQ(subkey, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvel\\Game");
  subkey = "untouched";
  for (const char* name : {static_cast<const char*>(nullptr), "", "\\"}) EXPECT_FALSE(UninstallSubkey(name, &subkey));
  EXPECT_FALSE(UninstallSubkey(std::string(1000, 'k').c_str(), &subkey));
  EXPECT_EQ(subkey, "untouched");

  EXPECT_EQ(UninstallCommand("C:\\G\\uninstall\\u.exe", "C:\\G\\uninstall\\uninstall.ini"),
            "\"C:\\G\\uninstall\\u.exe\" \"/U:C:\\G\\uninstall\\uninstall.ini\"");
  EXPECT_EQ(UninstallCommand("C:\\G\\uninstall\\u.exe", nullptr), "\"C:\\G\\uninstall\\u.exe\"");
  EXPECT_EQ(UninstallCommand("C:\\G\\u.exe", ""), "\"C:\\G\\u.exe\" \"/U:\"");
}

TEST(ShortcutPaths, LinkPathIsGuardedAndFitted) {
  std::string path;
  ASSERT_TRUE(ComposeLinkPath("C:\\Menu", "Game\\game", true, &path));
  EXPECT_EQ(path, "C:\\Menu\\Game\\game.lnk");
  ASSERT_TRUE(ComposeLinkPath("C:\\Menu", "Game", false, &path));
  EXPECT_EQ(path, "C:\\Menu\\Game");
  for (const char* name : {"", ".", "..", "..\\..\\Other", "Game\\..\\.."}) {
    EXPECT_FALSE(ComposeLinkPath("C:\\Menu", name, false, &path)) << name;
  }
  const std::string folder = "C:\\" + std::string(250, 'f');  // 253 bytes
  EXPECT_TRUE(ComposeLinkPath(folder, "12345", false, &path));  // 259
  EXPECT_FALSE(ComposeLinkPath(folder, "123456", false, &path));
  EXPECT_TRUE(ComposeLinkPath(folder, "1", true, &path));  // 259 with ".lnk"
  EXPECT_FALSE(ComposeLinkPath(folder, "12", true, &path));
}

TEST(ShortcutPaths, WorkingDirectoryIsTheTargetFolder) {
  static const struct {
    std::string target;
    std::string dir;
  } cases[] = {
      {"c:\\Games\\Game\\game.exe", "C:\\Games\\Game"},
      {"D:\\game.exe", "D:"},
      {"game.exe", ""},
      {"C:/Games/game.exe", ""},
      {std::string("C:\\") + kTrailBackslash + "\\game.exe", std::string("C:\\") + kTrailBackslash},
      {std::string("C:\\a\\") + kTrailBackslash + "x.exe", "C:\\a"},
  };
  for (const auto& c : cases) EXPECT_EQ(LinkWorkingDirectory(c.target), c.dir) << c.target;
}

}  // namespace
