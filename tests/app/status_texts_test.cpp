#include <gtest/gtest.h>

#include <cstring>

#include "app/install_task.h"

// The table is shown on page 2 byte for byte; the GBK encoding of the
// source literals must survive the build.
TEST(StatusTexts, AreGbkBytes) {
  static const struct {
    int code;
    const char* gbkHex;
  } cases[] = {
      {STATUS_ERROR, "b4edcef3a3acc7ebd6d8d0c2cfc2d4d8"},
      {STATUS_NONE, ""},
      {STATUS_DOWNLOADING, "d5fdd4dacfc2d4d8"},
      {STATUS_COMPLETE, "b0b2d7b0cdeab3c9"},
  };
  for (const auto& c : cases) {
    std::string hex;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(StatusTexts[c.code]); *p; ++p) {
      char b[3];
      snprintf(b, sizeof b, "%02x", *p);
      hex += b;
    }
    EXPECT_EQ(hex, c.gbkHex) << "status " << c.code;
  }
}

TEST(StatusTexts, AnsiCodePageIs936) { EXPECT_EQ(GetACP(), 936u); }
