#include "ui/install_path.h"

#include <cstdio>
#include <cstring>

namespace {

bool EndsWithSeparator(const char* s, size_t n) { return n > 0 && (s[n - 1] == '\\' || s[n - 1] == '/'); }

}  // namespace

bool EndsWithName(const char* path, const char* name) {
  if (!path || !name) return false;
  size_t l = strlen(path);
  size_t n = strlen(name);
  if (l <= n) return false;
  size_t start = l - n;
  if (EndsWithSeparator(path, l)) --start;
  return memcmp(path + start, name, n) == 0;
}

bool ComposeInstallPath(InstallPathState& state, const char* path, const char* gameName) {
  size_t n = strlen(path);
  size_t g = strlen(gameName);
  if (EndsWithName(path, gameName)) {
    if (n >= 259) return false;
    snprintf(state.installPath, sizeof state.installPath, "%s", path);
    return true;
  }
  if (g + n + 1 >= 259) return false;
  snprintf(state.installPath, sizeof state.installPath, "%s%s\\", path, gameName);
  return true;
}

bool FormatDefaultPath(char (&out)[kPathSize], const char* drive, const char* gameName) {
  char composed[kPathSize];
  int n = snprintf(composed, sizeof composed, "%sProgram Files\\%s\\", drive, gameName);
  if (n < 0 || n >= kPathSize) return false;
  memcpy(out, composed, static_cast<size_t>(n) + 1);
  return true;
}

namespace {

// Copies `text` with a final backslash unless it already ends with a separator.
void WithSeparator(char (&out)[512], const char* text) {
  size_t n = strlen(text);
  if (n >= sizeof out - 1) n = sizeof out - 2;
  memcpy(out, text, n);
  if (!EndsWithSeparator(text, n)) out[n++] = '\\';
  out[n] = '\0';
}

}  // namespace

TypedPath ApplyTypedPath(InstallPathState& state, const char* text, const char* gameName, FreeSpaceQuery query) {
  if (strlen(text) >= 260) {
    // The field is put back to installPath, which was accepted earlier.
    state.pathInvalid = false;
    return TypedPath::kTooLong;
  }
  int free = query(text);
  if (free < 0) {
    state.pathInvalid = true;
    return TypedPath::kInvalid;
  }
  state.freeKB = free;
  state.pathInvalid = false;
  char path[512];
  WithSeparator(path, text);
  ComposeInstallPath(state, path, gameName);
  return TypedPath::kAccepted;
}

bool ApplyBrowsedPath(InstallPathState& state, const char* folder, const char* gameName, FreeSpaceQuery query) {
  if (!folder[0]) return false;
  int free = query(folder);
  if (free < 0) return false;
  state.freeKB = free;
  char path[512];
  WithSeparator(path, folder);
  ComposeInstallPath(state, path, gameName);
  state.pathInvalid = false;
  return true;
}

void RestoreDefaultPath(InstallPathState& state, FreeSpaceQuery query) {
  memcpy(state.installPath, state.defaultPath, sizeof state.installPath);
  int free = query(state.defaultPath);
  state.freeKB = free < 0 ? 0 : free;
  state.pathInvalid = false;
}
