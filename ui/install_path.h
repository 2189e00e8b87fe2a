#pragma once
// Where the game goes: the default path, what the player types or browses,
// and the rule that appends the game's own folder.

constexpr int kPathSize = 260;

struct InstallPathState {
  char defaultPath[kPathSize] = {};
  // Always ends with a backslash; changes only to a composed or the default path.
  char installPath[kPathSize] = {};
  int freeKB = 0;
  // The field's text names a drive whose free space cannot be queried.
  bool pathInvalid = false;
};

// Free space of the drive named by a path's first two characters, in KiB; negative when it cannot be queried.
using FreeSpaceQuery = int (*)(const char* path);

// Byte-wise suffix test, ignoring one trailing separator: D:\MyGame\ ends with "Game".
bool EndsWithName(const char* path, const char* name);

// `path` ends with a separator. Takes it as is when it already ends with the
// game's name, else appends the name and a backslash; a result of 259
// characters or more is not taken. True when installPath was set.
bool ComposeInstallPath(InstallPathState& state, const char* path, const char* gameName);

// "<drive>Program Files\<game>\"; false when it does not fit the buffer.
bool FormatDefaultPath(char (&out)[kPathSize], const char* drive, const char* gameName);

enum class TypedPath {
  kTooLong,   // 260 characters or more: the field gets installPath back, a valid path
  kInvalid,   // drive cannot be queried: pathInvalid set, nothing else changes
  kAccepted,  // freeKB refreshed, pathInvalid cleared, installPath composed
};
TypedPath ApplyTypedPath(InstallPathState& state, const char* text, const char* gameName, FreeSpaceQuery query);

// A folder from the browser. False (nothing changed) when it is empty or its
// drive cannot be queried. Otherwise the field is to show installPath, which
// names a queryable drive, so pathInvalid is cleared.
bool ApplyBrowsedPath(InstallPathState& state, const char* folder, const char* gameName, FreeSpaceQuery query);

// Back to the state the window starts with: the default path, its drive's
// free space (0 when unknown) and a valid field.
void RestoreDefaultPath(InstallPathState& state, FreeSpaceQuery query);
