#include <gtest/gtest.h>

#include <string>

#include "build_config.h"
#include "system/channel_config.h"
#include "win_test_support.h"

namespace {

std::string Profile(const std::string& file, const char* section, const char* key) {
  char value[512] = {};
  GetPrivateProfileStringA(section, key, "(missing)", value, sizeof value, file.c_str());
  return value;
}

std::string SectionNames(const std::string& file) {
  char names[1024] = {};
  DWORD n = GetPrivateProfileSectionNamesA(names, sizeof names, file.c_str());
  std::string list;
  for (DWORD i = 0; i < n; ++i) list += names[i] ? names[i] : '|';
  return list;
}

TEST(ChannelConfig, WritesTheThreeSectionsIntoTheInstallDirectory) {
  TempFolder dir("channel");
  const std::string installDir = dir.path() + "\\";
  WriteChannelConfig(installDir.c_str());
  const std::string file = dir / "wbConfig.ini";
  EXPECT_EQ(SectionNames(file), "WBID|WBURL|Area|");
  EXPECT_EQ(Profile(file, "WBID", "ID"), "1");
  EXPECT_EQ(Profile(file, "WBURL", "URL"), VANTREL_PORTAL_SERVER);
  EXPECT_EQ(Profile(file, "Area", "AreaID"), "18");

  WriteChannelConfig(installDir.c_str(), "http://portal.example:8080");
  EXPECT_EQ(Profile(file, "WBURL", "URL"), "http://portal.example:8080");
}

TEST(ChannelConfig, KeepsWhatElseTheFileHolds) {
  TempFolder dir("channel_keep");
  const std::string file = dir / "wbConfig.ini";
  WriteFile(file, "[Game]\r\nVolume=7\r\n[WBID]\r\nID=99\r\nName=x\r\n");
  WriteChannelConfig((dir.path() + "\\").c_str(), "http://p");
  EXPECT_EQ(Profile(file, "Game", "Volume"), "7");
  EXPECT_EQ(Profile(file, "WBID", "ID"), "1");
  EXPECT_EQ(Profile(file, "WBID", "Name"), "x");
  EXPECT_EQ(Profile(file, "Area", "AreaID"), "18");
}

TEST(ChannelConfig, MissingOrOverlongDirectoryIsLeftAlone) {
  TempFolder dir("channel_missing");
  const std::string missing = dir / "Program Files\\Game\\";
  WriteChannelConfig(missing.c_str(), "http://p");
  EXPECT_FALSE(Exists(dir / "Program Files"));
  // 246 bytes: the file path with its doubled separator would be 260, one too many.
  const std::string longDir = dir.path() + "\\" + std::string(246 - dir.path().size() - 1, 'd');
  ASSERT_TRUE(CreateDirectoryA(longDir.c_str(), nullptr));
  WriteChannelConfig((longDir + "\\").c_str(), "http://p");
  EXPECT_FALSE(Exists(longDir + "\\wbConfig.ini"));
}

}  // namespace
