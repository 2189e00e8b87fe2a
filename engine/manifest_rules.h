#pragma once
// Checks on the setup manifest's values that need no Windows.
#include <cstddef>

// The default install path puts the game name below a fixed folder; a longer
// name cannot form a path the installer can use.
constexpr size_t kMaxGameNameLength = 241;

// size is in megabytes; false when it is negative (missing reads as -1).
// Sizes beyond what a 32-bit kilobyte count holds are pinned to its maximum
// rather than wrapping to a negative figure.
bool ManifestSizeKB(int sizeMB, int& sizeKB);
