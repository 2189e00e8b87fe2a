#include "net/request_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(ProgressPercent, BytesUpToOneMebibyteThenKibibytes) {
  struct Case {
    uint32_t done, total, percent;
  } cases[] = {
      {0, 100, 0},
      {99, 100, 99},
      {100, 100, 100},
      {1048575, 1048576, 99},   // exactly 1 MiB still counts bytes
      {1048576, 1048576, 100},
      {1048576, 1048577, 100},  // one byte more: both in KiB, 1024 of 1024
      {1023, 1048577, 0},
      {2048, 2097152, 0},       // 2 of 2048 KiB
      {1073741824u, 2147483648u, 50},
      {4294967295u, 4294967295u, 100},  // KiB keeps the product in 32 bits
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProgressPercent(c.done, c.total), c.percent) << c.done << " of " << c.total;
  }
}

TEST(InternetErrorText, BothFormsOfEveryStep) {
  struct Case {
    InternetStep step;
    const char* text;
    long number;
    const char* expected;
  } cases[] = {
      {InternetStep::kOpen, nullptr, 87, "InternetOpen错误. 87."},
      {InternetStep::kOpenUrl, nullptr, 12029, "InternetOpenUrl 错误.\n网址:http://h/x.\n错误号:12029."},
      {InternetStep::kOpenUrl, "", 12029, "InternetOpenUrl 错误.\n网址:http://h/x.\n错误号:12029."},
      {InternetStep::kOpenUrl, "530 No.", 12015, "InternetOpenUrl 错误.\n网址:http://h/x.\n错误信息:530 No.."},
      {InternetStep::kReadFile, nullptr, 12030, "InternetReadFile 错误.\n 错误号:12030."},
      {InternetStep::kReadFile, "gone", 12030, "InternetReadFile 错误.\n 错误信息:gone."},
  };
  for (const Case& c : cases) {
    char out[261];
    memset(out, 'x', sizeof out);
    FormatInternetErrorText(out, sizeof out, c.step, "http://h/x", c.text, c.number);
    EXPECT_STREQ(out, c.expected);
  }
}

TEST(InternetErrorText, LongUrlAndResponseAreCutToTheBuffer) {
  std::string url = "http://h/" + std::string(600, 'u');
  std::string text(2000, 't');
  char out[262];
  out[261] = '#';  // guard behind the 261 bytes handed over
  FormatInternetErrorText(out, 261, InternetStep::kOpenUrl, url.c_str(), text.c_str(), 1);
  EXPECT_EQ(strlen(out), 260u);
  EXPECT_EQ(out[261], '#');
  EXPECT_EQ(std::string(out).rfind("InternetOpenUrl 错误.\n网址:http://h/uuu", 0), 0u);
}

TEST(FormatBounded, NeverLeavesHalfACharacter) {
  struct Case {
    size_t size;
    const char* text;
    const char* expected;
  } cases[] = {
      {6, "ab错误", "ab错"},   // the cut would keep the lead byte of 误
      {5, "ab错误", "ab错"},
      {4, "ab错误", "ab"},
      {1, "ab", ""},
      {8, "a\x95\\b", "a\x95\\b"},          // 0x5C as a trail byte is no character of its own
      {3, "a\x95\\b", "a"},
      {4, "\x95\\\x95\\", "\x95\\"},
  };
  for (const Case& c : cases) {
    char out[16];
    memset(out, 'x', sizeof out);
    size_t n = FormatBounded(out, c.size, "%s", c.text);
    EXPECT_STREQ(out, c.expected) << c.size;
    EXPECT_EQ(n, strlen(c.expected));
    EXPECT_EQ(out[c.size], 'x') << "wrote past the buffer";
  }
}

TEST(RequestText, UserAgentAndHeaderBlocks) {
  char agent[kAgentSize];
  FormatUserAgent(agent, sizeof agent, 123456);
  EXPECT_STREQ(agent, "Agent123456");
  FormatUserAgent(agent, sizeof agent, 0xFFFFFFFFu);  // a 32-bit long wraps after 24.8 days
  EXPECT_STREQ(agent, "Agent-1");

  EXPECT_EQ(strlen(kAcceptHeaders), 15u);
  const std::string common = "Accept: */*\r\n\r\nPragma: no-cache\r\n\r\nCache-Control: no-cache\r\n\r\n"
                             "Connection:Keep-Alive\r\n\r\n";
  EXPECT_EQ(DownloadHeaders(0), common + "Range: bytes=0-\r\n\r\n");
  EXPECT_EQ(DownloadHeaders(2147483647), common + "Range: bytes=2147483647-\r\n\r\n");

  char out[kLineSize], line[kLineSize];
  FormatProgressLines(42, out, sizeof out, line, sizeof line);
  EXPECT_STREQ(out, "cur progress 42\n");
  EXPECT_STREQ(line, "online_log cur progress 42\n");
}

TEST(LocalDownloadPath, DropsOneLeadingBackslash) {
  struct Case {
    const char* destination;
    const char* expected;
  } cases[] = {
      {"game.pkg", "C:\\Games\\X\\\\game.pkg"},
      {"\\game.pkg", "C:\\Games\\X\\\\game.pkg"},
      {"\\\\game.pkg", "C:\\Games\\X\\\\\\game.pkg"},
      {"data\\sub\\a.bin", "C:\\Games\\X\\\\data\\sub\\a.bin"},
      {"", "C:\\Games\\X\\\\"},
  };
  for (const Case& c : cases) EXPECT_EQ(LocalDownloadPath("C:\\Games\\X\\", c.destination), c.expected);
}

TEST(DirectoryLevels, OutermostFirstSkippingRootsAndDoubledSeparators) {
  using V = std::vector<std::string>;
  struct Case {
    const char* path;
    V levels;
  } cases[] = {
      {"C:\\f.bin", V{}},
      {"C:\\a\\b\\c\\f.bin", V{"C:\\a", "C:\\a\\b", "C:\\a\\b\\c"}},
      {"C:\\a\\\\b/f.bin", V{"C:\\a", "C:\\a\\\\b"}},
      {"Z:\\tmp\\游戏\\f", V{"Z:\\tmp", "Z:\\tmp\\游戏"}},
      {"C:\\a\x95\\\\f", V{"C:\\a\x95\\"}},  // the pair 95 5C is one character
      {"rel\\f", V{"rel"}},
  };
  for (const Case& c : cases) EXPECT_EQ(DirectoryLevels(c.path), c.levels) << c.path;
}

}  // namespace
