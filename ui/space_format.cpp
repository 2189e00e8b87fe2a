#include "ui/space_format.h"

#include <climits>

SpaceFigure FormatSpace(int kib) {
  int mib = kib / 1024;
  if (mib / 1024 > 0) return {mib / 1024, "GB"};
  if (mib > 0) return {mib, "MB"};
  return {kib, "KB"};
}

int FreeSpaceKibFromBytes(unsigned long long bytes) {
  unsigned long long kib = bytes >> 10;
  return kib > static_cast<unsigned long long>(INT_MAX) ? INT_MAX : static_cast<int>(kib);
}
