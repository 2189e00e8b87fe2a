#include "engine/update_plan.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/worker_texts.h"

TEST(PlanAction, BitsAndMissingKeys) {
  static const struct {
    int action;
    const char* src;
    const char* dest;
    const char* cmd;
    bool download;
    bool command;
    const char* error;
  } cases[] = {
      {-1, "u", "d", "DEC", false, false, kErrListUnreadable},
      {0, "u", "d", "DEC", false, false, nullptr},
      {1, "", "", "DEC", false, true, nullptr},  // a command needs no download paths
      {1, "u", "d", "", false, true, kErrListEmptyCommand},
      {2, "u", "d", "", true, false, nullptr},  // a download needs no command
      {2, "", "d", "DEC", true, false, kErrListEmptyPaths},
      {2, "u", "", "DEC", true, false, kErrListEmptyPaths},
      {3, "u", "d", "DEC", true, true, nullptr},
      {3, "", "", "", true, true, kErrListEmptyCommand},  // the command's test comes first
      {3, "u", "d", "dec", true, true, nullptr},            // judged later, after the download
      {4, "", "", "", false, false, nullptr},               // neither bit: nothing to do
      {7, "u", "d", "DEC", true, true, nullptr},
      {-2, "", "d", "", true, false, kErrListEmptyPaths},  // only -1 means "missing"
  };
  for (const auto& c : cases) {
    ActionPlan plan = PlanAction(c.action, c.src, c.dest, c.cmd);
    SCOPED_TRACE("action " + std::to_string(c.action) + " src '" + c.src + "' dest '" + c.dest + "' cmd '" + c.cmd +
                 "'");
    EXPECT_EQ(plan.error, c.error);
    if (c.error) continue;
    EXPECT_EQ(plan.download, c.download);
    EXPECT_EQ(plan.command, c.command);
  }
}

// The destination is joined to the install directory: a hostile list must not
// make the installer write (and later unpack and delete) a file elsewhere.
TEST(PlanAction, DestinationStaysInsideInstallDirectory) {
  static const struct {
    const char* dest;
    bool safe;
  } cases[] = {
      {"game.pkg", true},          {"\\game.pkg", true},        {"sub\\game.pkg", true},
      {"..\\..\\x.pkg", false},    {"sub\\..\\..\\x.pkg", false}, {"../x.pkg", false},
      {"C:\\x.pkg", false},        {"\\\\server\\x.pkg", false},  {"game.pkg:stream", false},
      {"NUL", false},              {"sub\\", false},              {"\\", false},
      {"game.pkg.", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsSafeDestination(c.dest), c.safe) << c.dest;
    ActionPlan plan = PlanAction(3, "http://a/p", c.dest, "DEC");
    EXPECT_EQ(plan.error, c.safe ? nullptr : kErrListBadPath) << c.dest;
  }
}

TEST(PlanAction, OnlyUpperCaseDecIsKnown) {
  EXPECT_TRUE(IsKnownCommand("DEC"));
  for (const char* cmd : {"dec", "Dec", "DEC ", " DEC", "DECX", ""}) EXPECT_FALSE(IsKnownCommand(cmd)) << cmd;
}

TEST(UpdateListUrl, VersionKeyBeforeCatchAll) {
  EXPECT_STREQ(ChooseUpdateListUrl("http://a/1", "http://a/other"), "http://a/1");
  EXPECT_STREQ(ChooseUpdateListUrl("", "http://a/other"), "http://a/other");
  EXPECT_EQ(ChooseUpdateListUrl("", ""), nullptr);
}

TEST(PackageCheck, ParsesOptionalKeys) {
  const std::string lower(64, 'a');
  const std::string upper = "ABCDEF0123456789" "ABCDEF0123456789" "ABCDEF0123456789" "ABCDEF0123456789";
  static const struct {
    const char* size;
    std::string sha;
    bool ok;
    bool hasSize;
    uint64_t expectSize;
    std::string expectSha;
  } cases[] = {
      {"", "", true, false, 0, ""},
      {"0", "", true, true, 0, ""},
      {"4294967296", "", true, true, 4294967296ull, ""},  // packages beyond 4 GiB
      {"18446744073709551615", "", true, true, UINT64_MAX, ""},
      {"18446744073709551616", "", false, false, 0, ""},
      {"-1", "", false, false, 0, ""},
      {"12k", "", false, false, 0, ""},
      {"", lower, true, false, 0, lower},
      {"", upper, true, false, 0, "abcdef0123456789abcdef0123456789abcdef0123456789abcdef0123456789"},
      {"", lower.substr(1), false, false, 0, ""},
      {"", lower + "a", false, false, 0, ""},
      {"", lower.substr(1) + "g", false, false, 0, ""},
      {"7", lower, true, true, 7, lower},
  };
  for (const auto& c : cases) {
    PackageCheck check;
    SCOPED_TRACE(std::string("size '") + c.size + "' sha '" + c.sha + "'");
    ASSERT_EQ(ParsePackageCheck(c.size, c.sha.c_str(), check), c.ok);
    if (!c.ok) continue;
    EXPECT_EQ(check.hasSize, c.hasSize);
    EXPECT_EQ(check.size, c.expectSize);
    EXPECT_EQ(check.sha256, c.expectSha);
    EXPECT_EQ(check.any(), c.hasSize || !c.expectSha.empty());
  }
}

TEST(PackageCheck, EveryGivenPartMustMatch) {
  PackageCheck both;
  ASSERT_TRUE(ParsePackageCheck("10", std::string(64, 'b').c_str(), both));
  EXPECT_TRUE(PackageMatches(both, 10, std::string(64, 'b')));
  EXPECT_FALSE(PackageMatches(both, 11, std::string(64, 'b')));
  EXPECT_FALSE(PackageMatches(both, 10, std::string(64, 'c')));
  EXPECT_FALSE(PackageMatches(both, 10, ""));  // a hash that could not be computed

  PackageCheck sizeOnly;
  ASSERT_TRUE(ParsePackageCheck("10", "", sizeOnly));
  EXPECT_TRUE(PackageMatches(sizeOnly, 10, ""));
  EXPECT_FALSE(PackageMatches(sizeOnly, 9, ""));
}

TEST(PackageCheck, DigestHexIsLowerCase) {
  const unsigned char digest[] = {0x00, 0x0f, 0xa0, 0xff};
  EXPECT_EQ(DigestHex(digest, sizeof digest), "000fa0ff");
}
