// The Windows unpacker on a real disk under a GBK-named folder, reporting
// through the host seam as the install worker's window expects.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/host.h"
#include "app/install_task.h"
#include "package/package_unpacker.h"

namespace {

const unsigned char kFixture[] = {
#include "tests/package/fixture_package.inc"
};

struct Message {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

class RecordingHost final : public Host {
 public:
  void Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
    posts.push_back({hwnd, message, wParam, lParam});
  }
  int ShowMessageBox(HWND, const char*, const char*, UINT) override {
    boxes++;
    return IDOK;
  }
  void DebugString(const char*) override {}
  void WriteStdout(const char*) override {}
  std::vector<Message> posts;
  int boxes = 0;
};

std::string ReadFileBytes(const std::string& path) {
  std::string data;
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return "<missing>";
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) data.append(buffer, n);
  fclose(f);
  return data;
}

class PackageUnpackerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    root_ = std::string(temp) + "vantrel-unpacker-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(root_.c_str(), nullptr);
    destination_ = root_ + "\\游戏目录\\";
  }
  void TearDown() override {
    std::string command = "cmd /c rd /s /q \"" + root_ + "\" >nul 2>nul";
    system(command.c_str());
  }
  void WritePackage(const std::string& path, size_t cut = 0) {
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fwrite(kFixture, sizeof kFixture - cut, 1, f);
    fclose(f);
  }
  std::string root_, destination_;
};

TEST_F(PackageUnpackerTest, PostsProgressToItsWindowAndWritesTheFiles) {
  CreateDirectoryA(destination_.c_str(), nullptr);
  WritePackage(destination_ + "game.pkg");
  // An existing read-only file is overwritten and left writable.
  std::string readme = destination_ + "readme.txt";
  WritePackage(readme);
  SetFileAttributesA(readme.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);

  RecordingHost host;
  PackageUnpacker unpacker;
  unpacker.host = &host;
  unpacker.progressWindow = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
  EXPECT_EQ(unpacker.ExtractPackage("game.pkg", destination_), 0);

  EXPECT_EQ(ReadFileBytes(readme), "hello, package\n");
  DWORD attributes = GetFileAttributesA(readme.c_str());
  EXPECT_EQ(attributes & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(ReadFileBytes(destination_ + "data\\map.bin").size(), 40u);
  EXPECT_EQ(ReadFileBytes(destination_ + "empty.dat"), "");

  ASSERT_FALSE(host.posts.empty());
  std::vector<int> values;
  for (const Message& m : host.posts) {
    EXPECT_EQ(m.hwnd, unpacker.progressWindow);
    EXPECT_EQ(m.message, WM_INSTALL_PROGRESS);
    EXPECT_EQ(m.wParam, 0u);
    values.push_back(int(m.lParam));
  }
  EXPECT_EQ(values.front(), 25);
  EXPECT_EQ(std::vector<int>(values.end() - 4, values.end()), (std::vector<int>{50, 66, 83, 100}));
  EXPECT_EQ(host.boxes, 0);
}

TEST_F(PackageUnpackerTest, RefusesMissingAndTruncatedPackages) {
  RecordingHost host;
  PackageUnpacker unpacker;
  unpacker.host = &host;
  EXPECT_EQ(unpacker.ExtractPackage("none.pkg", destination_), 1);
  EXPECT_TRUE(host.posts.empty());
  EXPECT_EQ(GetFileAttributesA(destination_.c_str()), INVALID_FILE_ATTRIBUTES);  // not created

  std::string package = root_ + "\\cut.pkg";
  WritePackage(package, 16);
  EXPECT_EQ(unpacker.ExtractPackage("..\\cut.pkg", destination_), 1);
  EXPECT_EQ(GetFileAttributesA(destination_.c_str()), INVALID_FILE_ATTRIBUTES);
  for (const Message& m : host.posts) EXPECT_NE(m.lParam, 100);
}

}  // namespace
