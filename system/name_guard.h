#pragma once
// Which names an elevated delete may act on. Platform-free.

// A name relative to a special folder that stays inside it: not empty, no
// empty, "." or ".." part (nor one of only dots and spaces, which Windows
// trims to those), no drive or stream colon, no leading separator, and no
// half of a double-byte character at the end.
bool IsContainedName(const char* name);

// A registry key name below the Uninstall key that names a key of its own:
// not empty and not only backslashes (which would mean the Uninstall key).
bool IsUsableKeyName(const char* name);

// Whether `setupDir` may be removed as the installation of `gameName`: an
// absolute path below a drive root or share, without "." or ".." parts,
// whose last folders are `gameName` (ASCII case ignored, one trailing
// separator allowed). Existence and special folders are the caller's checks.
bool IsGameInstallDir(const char* setupDir, const char* gameName);
