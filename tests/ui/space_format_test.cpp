#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "ui/space_format.h"

TEST(FormatSpace, WholeUnitsWithFractionsDropped) {
  static const struct {
    int kib;
    int number;
    const char* unit;
  } cases[] = {
      {0, 0, "KB"},          {1, 1, "KB"},          {1023, 1023, "KB"},     {1024, 1, "MB"},
      {16773, 16, "MB"},     {1048575, 1023, "MB"}, {1048576, 1, "GB"},     {5 * 1048576 + 1048575, 5, "GB"},
      {INT_MAX, 2047, "GB"}, {-5, -5, "KB"},
  };
  for (const auto& c : cases) {
    SpaceFigure f = FormatSpace(c.kib);
    EXPECT_EQ(f.number, c.number) << c.kib;
    EXPECT_EQ(std::string(f.unit), c.unit) << c.kib;
  }
}

TEST(FreeSpaceKibFromBytes, LargeDrivesStayPositive) {
  static const struct {
    unsigned long long bytes;
    int kib;
  } cases[] = {
      {0, 0},
      {1023, 0},
      {1024, 1},
      {(2ULL << 40) - 1024, INT_MAX},  // just under 2 TiB is the largest exact figure
      {2ULL << 40, INT_MAX},           // 2 TiB would wrap to INT_MIN
      {4ULL << 40, INT_MAX},           // 4 TiB would wrap to 0
      {~0ULL, INT_MAX},
  };
  for (const auto& c : cases) EXPECT_EQ(FreeSpaceKibFromBytes(c.bytes), c.kib) << c.bytes;
}
