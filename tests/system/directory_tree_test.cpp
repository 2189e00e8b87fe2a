#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "system/shortcuts.h"
#include "win_test_support.h"

namespace {

TEST(MakeDirectoryPath, CreatesMissingLevelsWithEitherSeparator) {
  TempFolder root("mkdir");
  static const struct {
    const char* relative;
    const char* deepest;
  } cases[] = {
      {"a\\b\\c", "a\\b\\c"},
      {"d/e/f/", "d\\e\\f"},
      {"g/h\\i", "g\\h\\i"},
      {"Program Files\\维特游戏\\", "Program Files\\维特游戏"},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(MakeDirectoryPath((root / c.relative).c_str()));
    EXPECT_TRUE(IsDirectory(root / c.deepest)) << c.relative;
  }
  // Existing levels are left as they are.
  WriteFile(root / "a\\b\\c\\keep.txt", "k");
  EXPECT_TRUE(MakeDirectoryPath((root / "a\\b\\c").c_str()));
  EXPECT_EQ(ReadFile(root / "a\\b\\c\\keep.txt"), "k");
}

TEST(MakeDirectoryPath, DoubleByteCharacterEndingInBackslashIsOneName) {
  TempFolder root("mkdir_gbk");
  // 誠 is D5 5C in GBK.
  EXPECT_TRUE(MakeDirectoryPath((root / "\xD5\x5C" "b\\c").c_str()));
  EXPECT_TRUE(IsDirectory(root / "\xD5\x5C" "b\\c"));
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((root / "*").c_str(), &entry);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  int folders = 0;
  do {
    if (strcmp(entry.cFileName, ".") && strcmp(entry.cFileName, "..")) {
      ++folders;
      EXPECT_STREQ(entry.cFileName, "\xD5\x5C" "b");
    }
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  EXPECT_EQ(folders, 1);
}

TEST(MakeDirectoryPath, OverlongPathCreatesNothing) {
  TempFolder root("mkdir_long");
  const std::string path = root / (std::string(20, 'p') + "\\" + std::string(MAX_PATH, 'q'));
  EXPECT_TRUE(MakeDirectoryPath(path.c_str()));
  EXPECT_FALSE(Exists(root / std::string(20, 'p')));
}

TEST(DeleteDirectoryTree, RemovesANestedTreeAndNothingBeside) {
  TempFolder root("rmtree");
  MakeDirectoryPath((root / "game\\data\\maps\\deep").c_str());
  MakeDirectoryPath((root / "game\\empty").c_str());
  MakeDirectoryPath((root / "gameSibling").c_str());
  for (const char* f : {"game\\a.txt", "game\\data\\b.bin", "game\\data\\maps\\c", "game\\data\\maps\\deep\\d",
                        "gameSibling\\keep.txt"}) {
    WriteFile(root / f, f);
  }
  DeleteDirectoryTree((root / "game\\").c_str());
  EXPECT_FALSE(Exists(root / "game"));
  EXPECT_EQ(ReadFile(root / "gameSibling\\keep.txt"), "gameSibling\\keep.txt");
  DeleteDirectoryTree((root / "game").c_str());  // absent: nothing to do
  DeleteDirectoryTree(nullptr);
}

#ifdef VANTREL_REPARSE_FIXTURE
// The fixture (made by the test setup from the host side): tree\ holds files
// and "link", a directory link to outside\; "toplink" links to outside\ too;
// drive V: has the folder vroot\ as its root.
TEST(DeleteDirectoryTree, DoesNotFollowDirectoryLinksOutOfTheTree) {
  const std::string fixture = HostPath(VANTREL_REPARSE_FIXTURE);
  const std::string link = fixture + "\\tree\\link";
  ASSERT_TRUE(Exists(fixture + "\\outside\\keep.txt"));
  const DWORD attributes = GetFileAttributesA(link.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(attributes & FILE_ATTRIBUTE_REPARSE_POINT) << "the link is not seen as a reparse point";

  DeleteDirectoryTree((fixture + "\\tree").c_str());
  EXPECT_FALSE(Exists(fixture + "\\tree\\sub"));
  // Wine cannot unlink a host link through either call, so "tree" itself may stay.
  DeleteDirectoryTree((fixture + "\\toplink").c_str());
  EXPECT_TRUE(Exists(fixture + "\\outside\\keep.txt"));
  EXPECT_TRUE(Exists(fixture + "\\outside\\more\\keep2.txt"));
}

TEST(DeleteDirectoryTree, EmptyPathIsNotTheDriveRoot) {
  // "" + "\*" would be the root of the current drive.
  const std::string keep = HostPath(VANTREL_REPARSE_FIXTURE) + "\\vroot\\keep.txt";
  ASSERT_TRUE(Exists(keep));
  char saved[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectoryA("V:\\"));
  DeleteDirectoryTree("");
  SetCurrentDirectoryA(saved);
  EXPECT_TRUE(Exists(keep));
}
#endif

}  // namespace
