#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "package/entry_name.h"
#include "package/package_extraction.h"
#include "package/path_util.h"
#include "tests/package/fake_disk.h"

namespace {

using Posts = std::vector<int>;
using Strings = std::vector<std::string>;

TEST(PathUtil, JoinPathAndStripFirstComponent) {
  struct Join {
    const char* first;
    const char* second;
    const char* result;
  } joins[] = {
      {"C:\\Games\\X\\", "\\bin", "C:\\Games\\X\\bin"},
      {"C:\\Games\\X\\\\", "bin\\a.exe", "C:\\Games\\X\\bin\\a.exe"},
      {"C:\\Games\\X\\", "", "C:\\Games\\X\\"},
      {"C:", "a", "C:\\a"},
      {"", "a", "\\a"},
      {"C:\\Games", "\\\\", "C:\\Games\\"},
      {"\\\\", "\\\\a\\", "\\a\\"},
      {"", "", ""},
      // A GBK trail byte 0x5C is stripped like any other backslash: the functions are byte-wise.
      {"D:\\\xD3\x5C", "x", "D:\\\xD3\\x"},
  };
  for (const Join& j : joins) EXPECT_EQ(JoinPath(j.first, j.second), j.result) << j.first << " + " << j.second;

  struct Strip {
    const char* path;
    const char* result;
  } strips[] = {
      {"game\\bin\\a.exe", "\\bin\\a.exe"}, {"game", ""}, {"\\bin", "\\bin"}, {"", ""}, {"game\\", "\\"},
      {"a/b\\c", "\\c"},
  };
  for (const Strip& s : strips) EXPECT_EQ(StripFirstComponent(s.path), s.result) << s.path;
}

TEST(EntryName, RefusesNamesThatLeaveTheDestination) {
  const char* hostile[] = {
      "game\\..\\evil.dll",
      "game\\a\\..\\..\\evil.dll",
      "game\\a/../../evil.dll",  // Windows takes "/" as a separator too
      "game\\..",
      "game\\.\\a",
      "game\\c:\\windows\\evil.dll",
      "game\\a.txt:stream",
      "game\\a.txt::$data",
      "c:\\evil.dll",
      "\\\\server\\share\\evil.dll",
      "//server/share\\evil.dll",
      "\\/server\\evil.dll",
      "game\\con",
      "game\\NUL",
      "game\\sub\\aux.txt",
      "game\\com1.log",
      "game\\lpt9",
      "game\\prn .txt",
      "game\\conout$",
      "game\\dir.\\a",
      "game\\a.txt.",
      "game\\a.txt ",
      "game\\dir \\a",
  };
  for (const char* name : hostile) EXPECT_FALSE(IsSafeEntryKey(name)) << name;

  const char* fine[] = {
      "game\\bin\\a.exe",
      "game",
      "game\\",
      "game\\maps\\",
      "game\\a\\\\b.txt",
      "game\\..a\\b..c.txt",
      "game\\.config",
      "game\\console.txt",
      "game\\com10",
      "game\\nul2",
      "game\\aux_data\\x",
      // The top-level folder never reaches the disk.
      "..\\a.txt",
      "game.\\a.txt",
      // GBK names, one of them with the trail byte 0x5C.
      "game\\\xD3\xCE\xCF\xB7\\\xCA\xFD\xBE\xDD.dat",
      "game\\\xB1\x5C\\a.txt",
  };
  for (const char* name : fine) EXPECT_TRUE(IsSafeEntryKey(name)) << name;
}

LoadedPackage Package(const std::vector<std::pair<std::string, std::string>>& entries) {
  LoadedPackage package;
  std::string body;
  for (const auto& e : entries) {
    package.index[e.first] = PackageEntry{uint32_t(body.size()), uint32_t(e.second.size())};
    body += e.second;
  }
  package.body.data.reset(new uint8_t[body.size() + 1]);
  package.body.length = uint32_t(body.size());
  std::copy(body.begin(), body.end(), package.body.data.get());
  return package;
}

struct Extraction {
  int result;
  Posts posts;
  std::vector<unsigned> pauses;
};

Extraction Extract(FakeDisk& disk, const LoadedPackage& package, const std::string& destination = "C:\\Games\\X\\") {
  RecordingProgress progress;
  int result = ExtractLoadedPackage(package, destination, disk, progress);
  return {result, progress.posts, progress.pauses};
}

TEST(ExtractLoadedPackage, CreatesParentsFirstAndWritesUnderTheKey) {
  FakeDisk disk;
  Extraction e = Extract(disk, Package({{"game\\bin\\a.exe", "MZ"}}));
  EXPECT_EQ(e.result, 0);
  EXPECT_EQ(disk.madeDirectories, (Strings{"C:\\Games\\X\\", "C:\\Games\\X\\", "C:\\Games\\X\\bin"}));
  EXPECT_EQ(disk.written, Strings{"C:\\Games\\X\\bin\\a.exe"});
  EXPECT_EQ(disk.files["C:\\Games\\X\\bin\\a.exe"], "MZ");
  EXPECT_EQ(e.posts, Posts{100});  // one entry: 50 equals the start and is not posted
}

TEST(ExtractLoadedPackage, ProgressStepsOnlyForWrittenFiles) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::string>> entries;
    Posts posts;
    Strings written;
  } cases[] = {
      {"four files",
       {{"g\\a", "1"}, {"g\\b", "22"}, {"g\\c", ""}, {"g\\d\\e", "4444"}},
       {62, 75, 87, 100},
       {"D\\a", "D\\b", "D\\c", "D\\d\\e"}},
      // No backslash: the target is the destination itself; a trailing one: folders only.
      {"names without a file",
       {{"g", "x"}, {"g\\f\\", ""}, {"g\\z", "z"}},
       {100},
       {"D\\z"}},
  };
  for (const Case& c : cases) {
    FakeDisk disk;
    Extraction e = Extract(disk, Package(c.entries), "D");
    EXPECT_EQ(e.result, 0) << c.what;
    EXPECT_EQ(e.posts, c.posts) << c.what;
    EXPECT_EQ(e.pauses, std::vector<unsigned>(c.posts.size() - 1, 10)) << c.what;
    EXPECT_EQ(disk.written, c.written) << c.what;
  }
  FakeDisk disk;
  Extract(disk, Package({{"g\\f\\", ""}}), "D");
  EXPECT_EQ(disk.directories.count("D\\f"), 1u);
}

// Read-only targets are the Windows disk's part; the Wine test covers them.
TEST(ExtractLoadedPackage, OverwritesExistingFilesAndWritesEmptyOnes) {
  FakeDisk disk;
  disk.files["D\\cfg.ini"] = "old contents";
  Extraction e = Extract(disk, Package({{"g\\cfg.ini", "new"}, {"g\\empty", ""}}), "D");
  EXPECT_EQ(e.result, 0);
  EXPECT_EQ(disk.files["D\\cfg.ini"], "new");
  ASSERT_EQ(disk.files.count("D\\empty"), 1u);
  EXPECT_EQ(disk.files["D\\empty"], "");
}

TEST(ExtractLoadedPackage, RefusesEmptyOrHostilePackagesBeforeTouchingTheDisk) {
  FakeDisk disk;
  LoadedPackage empty;
  Extraction e = Extract(disk, empty);
  EXPECT_EQ(e.result, 1);
  EXPECT_TRUE(e.posts.empty());

  // One bad name among good ones: nothing at all is created.
  e = Extract(disk, Package({{"game\\a.txt", "a"}, {"game\\..\\..\\evil.dll", "MZ"}, {"game\\z.txt", "z"}}));
  EXPECT_EQ(e.result, 1);
  EXPECT_TRUE(e.posts.empty());
  EXPECT_TRUE(disk.madeDirectories.empty());
  EXPECT_TRUE(disk.written.empty());
}

// Made by tests/package/package_writer.py (enciphered by openssl): Game\Readme.TXT,
// Game\Data\Map.bin (bytes 0..39) and an empty Game\Empty.dat.
const unsigned char kFixture[] = {
#include "tests/package/fixture_package.inc"
};

TEST(UnpackPackage, UnpacksAPackageEncipheredElsewhere) {
  FakeDisk disk;
  disk.files["C:\\G\\pkg.dat"] = std::string(reinterpret_cast<const char*>(kFixture), sizeof kFixture);
  RecordingProgress progress;
  EXPECT_EQ(UnpackPackage("pkg.dat", "C:\\G\\", disk, progress), 0);
  EXPECT_EQ(disk.opened, Strings{"C:\\G\\pkg.dat"});
  EXPECT_EQ(disk.files["C:\\G\\readme.txt"], "hello, package\n");
  std::string map;
  for (int i = 0; i < 40; i++) map += char(i);
  EXPECT_EQ(disk.files["C:\\G\\data\\map.bin"], map);
  EXPECT_EQ(disk.files.count("C:\\G\\empty.dat"), 1u);
  EXPECT_EQ(disk.written, (Strings{"C:\\G\\data\\map.bin", "C:\\G\\empty.dat", "C:\\G\\readme.txt"}));
  // 872-byte body, deciphered in bytes; then three files.
  ASSERT_GE(progress.posts.size(), 5u);
  EXPECT_EQ(progress.posts.front(), 25);
  Posts tail(progress.posts.end() - 3, progress.posts.end());
  EXPECT_EQ(tail, (Posts{66, 83, 100}));
  EXPECT_EQ(progress.posts[progress.posts.size() - 4], 50);
}

TEST(UnpackPackage, RefusesWhatCannotBeRead) {
  struct Case {
    const char* what;
    std::string fileName;
    std::string contents;
  } cases[] = {
      {"missing file", "none.dat", ""},
      {"truncated", "pkg.dat", std::string(reinterpret_cast<const char*>(kFixture), sizeof kFixture - 16)},
      {"wrong key stream", "pkg.dat", std::string(8, '\0') + std::string(32, '\x33')},
      // Too long for the reader's 1023-byte path buffer.
      {"long path", std::string(1020, 'p'), "x"},
  };
  for (const Case& c : cases) {
    FakeDisk disk;
    if (!c.contents.empty()) disk.files[JoinPath("C:\\G", c.fileName)] = c.contents;
    RecordingProgress progress;
    EXPECT_EQ(UnpackPackage(c.fileName, "C:\\G", disk, progress), 1) << c.what;
    EXPECT_TRUE(disk.madeDirectories.empty()) << c.what;
    EXPECT_TRUE(disk.written.empty()) << c.what;
    EXPECT_EQ(std::count(progress.posts.begin(), progress.posts.end(), 100), 0) << c.what;
  }
  // 1023 bytes exactly still fit.
  FakeDisk disk;
  std::string name(1023 - 5, 'p');
  disk.files["C:\\G\\" + name] = std::string(reinterpret_cast<const char*>(kFixture), sizeof kFixture);
  RecordingProgress progress;
  EXPECT_EQ(UnpackPackage(name, "C:\\G", disk, progress), 0);
}

}  // namespace
