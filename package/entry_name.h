#pragma once
// Which index keys may be unpacked. Windows splits a path at "\" and "/" alike,
// and the folders are made at every 0x5C byte, so the key is split byte-wise at
// both. A GBK trail byte 0x5C therefore ends a component here even where Windows
// would read it as half of a character: that split is the finer one, so each
// component Windows sees is a run of components checked here. ("/" is never a
// GBK trail byte.)
#include <string>

// True when the key names a plain file (or, ending in "\", folders) inside the
// destination: no "..", no component ending in "." or " ", no ":" anywhere (drive
// letters, alternate streams), no two leading separators, no device name such
// as CON, NUL, COM1 or AUX, with or without extension.
bool IsSafeEntryKey(const std::string& key);
