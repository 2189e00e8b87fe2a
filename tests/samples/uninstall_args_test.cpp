#include <gtest/gtest.h>

#include <string>

#include "samples/uninstaller/uninstall_args.h"

namespace {

TEST(UninstallArgs, CommandLines) {
  static const struct {
    const char* line;
    bool ok;
    const char* infoFile;
    bool silent;
    bool confirmed;
    unsigned long waitHandle;
  } cases[] = {
      // As the uninstall entry gives it, after the program.
      {"\"/U:C:\\Program Files\\游戏\\uninstall\\uninstall.ini\"", true, "C:\\Program Files\\游戏\\uninstall\\uninstall.ini",
       false, false, 0},
      {"/U:C:\\G\\uninstall\\uninstall.ini /S", true, "C:\\G\\uninstall\\uninstall.ini", true, false, 0},
      {"  \"/u:C:\\G\\u.ini\"\t/s  ", true, "C:\\G\\u.ini", true, false, 0},
      {"\"/U:C:\\G\\u.ini\" /Y /S /P:1234", true, "C:\\G\\u.ini", true, true, 1234},
      {"/U:\"C:\\a b\\u.ini\"", true, "C:\\a b\\u.ini", false, false, 0},
      {"", false, "", false, false, 0},
      {"/S", false, "", true, false, 0},
      {"/U:", false, "", false, false, 0},
      {"/U:a /U:b", false, "b", false, false, 0},
      {"/U:a /X", false, "a", false, false, 0},
      {"/U:a /S /P:", false, "a", true, false, 0},
      {"/U:a /P:12x", false, "a", false, false, 0},
      {"/U:a /P:0", false, "a", false, false, 0},
      {"/U:a /P:99999999999", false, "a", false, false, 0},
      {"C:\\G\\u.ini", false, "", false, false, 0},
  };
  for (const auto& c : cases) {
    UninstallArgs args;
    EXPECT_EQ(ParseUninstallArgs(c.line, &args), c.ok) << c.line;
    // /S counts even on a bad line: a silent run must not raise a box.
    EXPECT_EQ(args.silent, c.silent) << c.line;
    if (c.ok) {
      EXPECT_EQ(args.infoFile, c.infoFile) << c.line;
      EXPECT_EQ(args.confirmed, c.confirmed) << c.line;
      EXPECT_EQ(args.waitHandle, c.waitHandle) << c.line;
    }
  }
}

TEST(UninstallArgs, RestartLineParsesBackToTheSameRun) {
  for (bool silent : {false, true}) {
    UninstallArgs original;
    original.infoFile = "C:\\Program Files\\星海 传说\\uninstall\\uninstall.ini";
    original.silent = silent;
    UninstallArgs restarted;
    ASSERT_TRUE(ParseUninstallArgs(RestartArguments(original, 0x1a4), &restarted));
    EXPECT_EQ(restarted.infoFile, original.infoFile);
    EXPECT_EQ(restarted.silent, silent);
    EXPECT_TRUE(restarted.confirmed) << "the question is not asked twice";
    EXPECT_EQ(restarted.waitHandle, 0x1a4u);
  }
}

TEST(UninstallArgs, ArgumentsOfAnUninstallEntry) {
  EXPECT_EQ(CommandArguments("\"C:\\a b\\uninst.exe\" \"/U:C:\\a b\\u.ini\""), "\"/U:C:\\a b\\u.ini\"");
  EXPECT_EQ(CommandArguments("C:\\g\\uninst.exe /U:x"), "/U:x");
  EXPECT_EQ(CommandArguments("\"C:\\a b\\uninst.exe\""), "");
  EXPECT_EQ(CommandArguments("\"C:\\unterminated"), "");
  EXPECT_EQ(CommandArguments(""), "");
}

TEST(UninstallArgs, InfoFileOfAnInstallDirectory) {
  EXPECT_EQ(InfoFileOf("C:\\G\\"), "C:\\G\\uninstall\\uninstall.ini");
  EXPECT_EQ(InfoFileOf("C:\\G"), "C:\\G\\uninstall\\uninstall.ini");
  EXPECT_EQ(InfoFileOf("D:/G/"), "D:/G\\uninstall\\uninstall.ini");
  // "誠" ends in the byte of a backslash; it is no separator to drop.
  EXPECT_EQ(InfoFileOf("D:\\\xD5\x5C"), "D:\\\xD5\x5C\\uninstall\\uninstall.ini");
}

}  // namespace
