#include "engine/manifest_rules.h"

#include <gtest/gtest.h>

#include <climits>

TEST(ManifestSize, MegabytesToKilobytes) {
  static const struct {
    int mb;
    bool ok;
    int kb;
  } cases[] = {
      {-1, false, 0},  // also what a missing key reads as
      {-7, false, 0},
      {0, true, 0},
      {1, true, 1024},
      {2097151, true, 2147482624},
      {2097152, true, INT_MAX},  // would wrap to a negative count
      {INT_MAX, true, INT_MAX},
  };
  for (const auto& c : cases) {
    int kb = -99;
    ASSERT_EQ(ManifestSizeKB(c.mb, kb), c.ok) << c.mb;
    if (c.ok) {
      EXPECT_EQ(kb, c.kb) << c.mb;
    }
  }
}
