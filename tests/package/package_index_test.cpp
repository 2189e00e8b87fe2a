#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "package/memory_reader.h"
#include "package/package_file.h"
#include "package/package_index.h"

namespace {

void PutLe(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; i++) s += char(v >> (8 * i));
}

struct Record {
  std::string name;  // written zero-terminated unless it fills the field
  uint32_t offset;
  uint32_t size;
};

// A deciphered body: count, records, then `tail` filler bytes.
std::string Body(int32_t count, const std::vector<Record>& records, size_t tail = 0) {
  std::string body;
  PutLe(body, uint32_t(count));
  for (const Record& r : records) {
    std::string field = r.name;
    field.resize(PackageFile::kNameField, '\0');
    body += field;
    PutLe(body, r.offset);
    PutLe(body, r.size);
  }
  body.append(tail, 'x');
  return body;
}

PackageIndex Parse(uint32_t indexLength, const std::string& body) {
  PackageIndex index;
  ParsePackageIndex(indexLength, reinterpret_cast<const uint8_t*>(body.data()), uint32_t(body.size()), &index);
  return index;
}

TEST(MemoryReader, NeverReadsPastItsBlock) {
  const uint8_t block[7] = {1, 2, 3, 4, 5, 6, 7};
  MemoryReader reader(block, 7, false);
  EXPECT_EQ(reader.ReadInt(), 0x04030201u);
  EXPECT_EQ(reader.position, 4u);
  EXPECT_EQ(reader.ReadInt(), 0u);  // three bytes left
  EXPECT_EQ(reader.position, 4u);
  EXPECT_EQ(reader.Take(4), nullptr);
  EXPECT_EQ(reader.Take(uint64_t(1) << 32), nullptr);  // must not wrap to a small count
  EXPECT_EQ(reader.Take(3), block + 4);
  EXPECT_EQ(reader.Take(0), block + 7);
  EXPECT_EQ(reader.position, 7u);
}

TEST(MemoryReader, FreesOnlyAnOwnedBlock) {
  uint8_t* owned = new uint8_t[8]();
  { MemoryReader reader(owned, 8, true); }  // the sanitizer reports a leak otherwise
  uint8_t borrowed[4] = {};
  MemoryReader reader(borrowed, 4, false);
  reader.Release();
  EXPECT_EQ(reader.data, nullptr);
}

TEST(ParsePackageIndex, RefusesIndexesThatDoNotFit) {
  const uint32_t one = 4 + PackageFile::kRecordSize;
  struct Case {
    const char* what;
    uint32_t indexLength;
    std::string body;
  } cases[] = {
      {"index length below 4", 3, Body(1, {{"g\\a", 0, 1}})},
      {"count 0", 4, Body(0, {}, 12)},
      {"negative count", one, Body(-1, {{"g\\a", 0, 1}})},
      {"one byte short", one - 1, Body(1, {{"g\\a", 0, 1}})},
      {"count whose records overflow 32 bits", one, Body(0x7FFFFFFF, {{"g\\a", 0, 1}})},
      {"two counted, one present: none kept", one, Body(2, {{"g\\a", 0, 1}})},
      {"index length past the body, records too", 2 * one, Body(2, {{"g\\a", 0, 1}})},
      {"name field without its zero byte", one, Body(1, {{std::string(260, 'n'), 0, 1}})},
      {"offset past the body", one, Body(1, {{"g\\a", one + 1, 0}})},
      {"size past the body", one, Body(1, {{"g\\a", 0, one + 1}})},
      {"offset plus size wraps", one, Body(1, {{"g\\a", 16, 0xFFFFFFF8u}})},
      {"one bad record among good ones", 4 + 2 * PackageFile::kRecordSize,
       Body(2, {{"g\\a", 0, 4}, {"g\\b", 0, 0xFFFFFFFFu}})},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(Parse(c.indexLength, c.body).empty()) << c.what;
  }
  PackageIndex index;
  ParsePackageIndex(0, nullptr, 0, &index);
  EXPECT_TRUE(index.empty());
}

TEST(ParsePackageIndex, AcceptsRecordsAtTheEdgesOfTheBody) {
  const uint32_t one = 4 + PackageFile::kRecordSize;
  std::string body = Body(1, {{"g\\end", one + 8, 0}}, 8);
  PackageIndex index = Parse(one, body);
  ASSERT_EQ(index.size(), 1u);
  EXPECT_EQ(index["g\\end"].offset, one + 8);  // empty entry right at the end of the body

  index = Parse(one, Body(1, {{"g\\all", 0, one + 8}}, 8));
  EXPECT_EQ(index["g\\all"].size, one + 8);

  // A name of 259 bytes fills the field with its zero byte last.
  std::string longName(259, 'n');
  index = Parse(one, Body(1, {{longName, 0, 0}}));
  EXPECT_EQ(index.count(longName), 1u);

  // An index length beyond the body is cut to the body; records that fit still count.
  index = Parse(0xFFFFFFFFu, Body(1, {{"g\\a", 0, 1}}));
  EXPECT_EQ(index.size(), 1u);
}

TEST(ParsePackageIndex, LowersAsciiLettersOnlyAndLaterRecordsWin) {
  const uint32_t three = 4 + 3 * PackageFile::kRecordSize;
  // GBK "\xB0\x41" keeps its lead byte and has its A-Z trail byte lowered, byte-wise.
  std::string body = Body(3, {{"GAME\\DATA\\MAP.DAT", 1, 2}, {"game\\data\\Map.dat", 3, 4}, {"Game\\\xB0\x41\xC4\xE3.txt", 5, 6}});
  PackageIndex index = Parse(three, body);
  ASSERT_EQ(index.size(), 2u);
  EXPECT_EQ(index["game\\data\\map.dat"].offset, 3u);
  EXPECT_EQ(index["game\\data\\map.dat"].size, 4u);
  EXPECT_EQ(index.count("game\\\xB0\x61\xC4\xE3.txt"), 1u);
  // Byte-wise order, bytes unsigned: the 0xB0 key sorts after "data".
  EXPECT_EQ(index.begin()->first, "game\\data\\map.dat");
}

}  // namespace
