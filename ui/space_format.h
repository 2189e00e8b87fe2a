#pragma once
// Space figures are KiB counts; the pages show them as whole KB, MB or GB.

struct SpaceFigure {
  int number;
  const char* unit;  // "KB", "MB" or "GB"
};

// Fractions are dropped: 1048575 KiB shows as 1023MB.
SpaceFigure FormatSpace(int kib);

// Free bytes as a KiB count that fits the signed 32-bit figures: drives with
// 2 TiB or more free would otherwise wrap into a negative "failed" value.
int FreeSpaceKibFromBytes(unsigned long long bytes);
