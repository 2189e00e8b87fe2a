#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "package/package_reader.h"
#include "tests/package/fake_disk.h"

namespace {

using Posts = std::vector<int>;

std::string Header(uint32_t indexLength, uint32_t reserved = 0) {
  std::string h;
  for (uint32_t v : {indexLength, reserved})
    for (int i = 0; i < 4; i++) h += char(v >> (8 * i));
  return h;
}

struct ReadResult {
  PackageBody body;
  uint32_t indexLength;
  Posts posts;
  std::vector<unsigned> pauses;
};

ReadResult Read(FakeDisk& disk, const std::string& path = "p.bin") {
  RecordingProgress progress;
  ReadResult r;
  r.indexLength = 0xDEADBEEF;
  r.body = ReadPackageFile(disk, path, "908172", &r.indexLength, progress);
  r.posts = progress.posts;
  r.pauses = progress.pauses;
  return r;
}

TEST(ReadPackageFile, RefusesFilesOfTheWrongSizeWithoutPosting) {
  for (size_t size : {0, 1, 7, 9, 15, 16, 23, 8 + 16 + 1, 8 + 32 + 15}) {
    FakeDisk disk;
    disk.files["p.bin"] = Header(0) + std::string(size > 8 ? size - 8 : 0, '\0');
    disk.files["p.bin"].resize(size);
    ReadResult r = Read(disk);
    EXPECT_FALSE(r.body) << size;
    EXPECT_EQ(r.indexLength, 0xDEADBEEF) << size;
    EXPECT_TRUE(r.posts.empty()) << size;
  }
  FakeDisk disk;
  ReadResult missing = Read(disk);
  EXPECT_FALSE(missing.body);
  EXPECT_EQ(missing.indexLength, 0xDEADBEEF);
  EXPECT_TRUE(missing.posts.empty());
}

TEST(ReadPackageFile, EightBytesGiveAnEmptyBody) {
  FakeDisk disk;
  disk.files["p.bin"] = Header(0, 0x12345678);
  ReadResult r = Read(disk);
  ASSERT_TRUE(r.body);
  EXPECT_EQ(r.body.length, 0u);
  EXPECT_EQ(r.indexLength, 0u);
  EXPECT_EQ(r.posts, (Posts{25, 50}));
  EXPECT_EQ(r.pauses, std::vector<unsigned>{});
}

TEST(ReadPackageFile, SixteenByteBodyPostsOnlyThePhaseEnds) {
  FakeDisk disk;
  disk.files["p.bin"] = Header(4, 0xFFFFFFFF) + std::string(16, '\x5A');
  ReadResult r = Read(disk);
  ASSERT_TRUE(r.body);
  EXPECT_EQ(r.indexLength, 4u);
  EXPECT_EQ(r.posts, (Posts{25, 50}));
}

TEST(ReadPackageFile, PercentagesAreInBytesBelowOneKibAndInWholeKibAbove) {
  struct Case {
    const char* what;
    uint32_t bodySize;
    size_t chunk;
    Posts expected;
  } cases[] = {
      // 1008 bytes in halves: reading gives 12 and 25; deciphering steps by bytes to 49.
      {"bytes", 1008, 504, {12, 25, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50}},
      // 2032 bytes are 1 whole KiB: half of it is still 0 KiB, and the block at
      // offset 1024 already counts as 100 percent, so deciphering reaches 50 itself.
      {"whole KiB", 2032, 1016, {0, 25, 25, 50, 50}},
      // One read of the whole body posts nothing while reading.
      {"single read", 4096, size_t(-1), {25, 31, 37, 43, 50}},
  };
  for (const Case& c : cases) {
    FakeDisk disk;
    disk.readChunk = c.chunk;
    disk.files["p.bin"] = Header(0) + std::string(c.bodySize, '\0');
    ReadResult r = Read(disk);
    ASSERT_TRUE(r.body) << c.what;
    EXPECT_EQ(r.posts, c.expected) << c.what;
    // Each changed value is followed by a 20 ms pause; the two phase ends are not.
    EXPECT_EQ(r.pauses, std::vector<unsigned>(c.expected.size() - 2, 20)) << c.what;
  }
}

TEST(ReadPackageFile, ShortReadGivesNoBodyAndEnds) {
  FakeDisk disk;
  disk.files["p.bin"] = Header(4) + std::string(40, '\0');
  disk.claimedSize = 8 + 64;  // the file shrank between the size query and the read
  disk.readChunk = 7;
  EXPECT_FALSE(Read(disk).body);

  disk.files["p.bin"] = Header(4).substr(0, 5);
  disk.claimedSize = 8 + 16;  // not even the header arrives
  ReadResult r = Read(disk);
  EXPECT_FALSE(r.body);
  EXPECT_EQ(r.indexLength, 0xDEADBEEF);
}

TEST(ReadPackageFile, RefusesFourGibibytesAndMore) {
  FakeDisk disk;
  disk.files["p.bin"] = Header(0);
  disk.claimedSize = (uint64_t(1) << 32) + 8;  // would wrap to an 8-byte file
  ReadResult r = Read(disk);
  EXPECT_FALSE(r.body);
  EXPECT_TRUE(r.posts.empty());
}

}  // namespace
