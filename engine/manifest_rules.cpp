#include "engine/manifest_rules.h"

#include <climits>

bool ManifestSizeKB(int sizeMB, int& sizeKB) {
  if (sizeMB < 0) return false;
  sizeKB = sizeMB > (INT_MAX >> 10) ? INT_MAX : sizeMB << 10;
  return true;
}
