#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "system/launch.h"
#include "win_test_support.h"

namespace {

// GBK bytes of the fixed parts of the failure texts.
const char kNotFound[] = "d5d2b2bbb5bd";                                          // 找不到
const char kFileDot[] = "cec4bcfe2e";                                             // 文件.
const char kNotProgram[] = "cec4bcfeb2bbcac7d3d0d0a7d4cbd0d0b3ccd0f22e";          // 文件不是有效运行程序.
const char kNumber[] = "20b4edcef3bac53a";                                        // " 错误号:"

class Launch : public ::testing::Test {
 protected:
  void SetUp() override { GetCurrentDirectoryA(MAX_PATH, savedDir_); }
  void TearDown() override {
    SetCurrentDirectoryA(savedDir_);
    SetEnvironmentVariableA("VANTREL_GAME_LOG", nullptr);
    SetEnvironmentVariableA("VANTREL_GAME_TITLE", nullptr);
  }
  char savedDir_[MAX_PATH] = {};
  TempFolder dir_{"launch"};
};

TEST_F(Launch, StartsTheGameInTheInstallDirectoryNotADecoy) {
  // Unquoted, "...\Program Files\..." would start "...\Program.exe" first.
  const std::string game = HostPath(VANTREL_SAMPLE_GAME);
  const std::string installDir = dir_ / "Program Files\\VtLaunch\\";
  const std::string program = installDir + "game.exe";
  ASSERT_TRUE(CreateDirectoryA((dir_ / "Program Files").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA(installDir.c_str(), nullptr));
  ASSERT_TRUE(CopyFileA(game.c_str(), program.c_str(), FALSE)) << game;
  ASSERT_TRUE(CopyFileA(game.c_str(), (dir_ / "Program.exe").c_str(), FALSE));
  const std::string log = dir_ / "game.log";
  SetEnvironmentVariableA("VANTREL_GAME_LOG", log.c_str());
  const std::string title = "VtLaunch " + std::to_string(GetCurrentProcessId());
  SetEnvironmentVariableA("VANTREL_GAME_TITLE", title.c_str());
  ASSERT_TRUE(SetCurrentDirectoryA(installDir.c_str()));

  InstallTask task;
  strcpy(task.errorText, "untouched");
  ASSERT_TRUE(LaunchGameProgram(task, program.c_str()));
  EXPECT_STREQ(task.errorText, "untouched");
  ASSERT_TRUE(WaitUntil([&] { return ReadFile(log).find("started") != std::string::npos; }, 20000));
  EXPECT_EQ(ReadFile(log), "started exe=" + program + " cwd=" + installDir.substr(0, installDir.size() - 1) + "\r\n");

  HWND window = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (window = FindWindowA(nullptr, title.c_str())) != nullptr; }, 10000));
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return ReadFile(log).find("closed") != std::string::npos; }, 10000));
}

TEST_F(Launch, FailuresGiveTheTextAndTheErrorNumber) {
  WriteFile(dir_ / "readme.exe", "this is text, not a program\r\n");
  static const struct {
    const char* relative;
    const char* head;
    const char* tail;
    const char* number;
  } cases[] = {
      {"missing.exe", kNotFound, kFileDot, "2"},
      {"readme.exe", "", kNotProgram, "193"},
  };
  for (const auto& c : cases) {
    const std::string program = dir_ / c.relative;
    InstallTask task;
    memset(task.errorText, 'x', sizeof task.errorText);
    EXPECT_FALSE(LaunchGameProgram(task, program.c_str())) << c.relative;
    const std::string expected =
        std::string(c.head) + Hex(program) + c.tail + kNumber + Hex(c.number);
    EXPECT_EQ(Hex(task.errorText), expected) << c.relative;
  }
}

TEST_F(Launch, OverlongCommandLineStaysInsideTheErrorText) {
  const std::string program = dir_ / (std::string(300, 'z') + ".exe");
  InstallTask task;
  memset(task.errorText, 'x', sizeof task.errorText);
  EXPECT_FALSE(LaunchGameProgram(task, program.c_str()));
  const size_t length = strnlen(task.errorText, sizeof task.errorText);
  ASSERT_LT(length, sizeof task.errorText);
  const std::string text(task.errorText, length);
  EXPECT_NE(text.find(" 错误号:"), std::string::npos) << text;
}

}  // namespace
