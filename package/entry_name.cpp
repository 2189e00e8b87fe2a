#include "package/entry_name.h"

#include <cstring>

#include "package/path_util.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// CON, PRN, AUX, NUL, COM0-9, LPT0-9, CONIN$, CONOUT$, CLOCK$: Windows opens the
// device whatever follows the first dot, and ignores trailing spaces before it.
bool IsDeviceName(const std::string& component) {
  std::string base = component.substr(0, component.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) c = Lower(c);
  static const char* const kNames[] = {"con", "prn", "aux", "nul", "conin$", "conout$", "clock$"};
  for (const char* name : kNames) {
    if (base == name) return true;
  }
  if (base.size() == 4 && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0)) {
    return base[3] >= '0' && base[3] <= '9';
  }
  return false;
}

bool IsSafeComponent(const std::string& component) {
  if (component.empty()) return true;  // doubled or trailing separators name no new place
  char lastChar = component.back();
  if (lastChar == '.' || lastChar == ' ') return false;  // also "." and ".."
  return !IsDeviceName(component);
}

}  // namespace

bool IsSafeEntryKey(const std::string& key) {
  if (key.find(':') != std::string::npos) return false;
  if (key.size() >= 2 && IsSeparator(key[0]) && IsSeparator(key[1])) return false;
  // Only what follows the top-level folder reaches the disk.
  std::string relative = StripFirstComponent(key);
  size_t start = 0;
  while (start <= relative.size()) {
    size_t end = start;
    while (end < relative.size() && !IsSeparator(relative[end])) end++;
    if (!IsSafeComponent(relative.substr(start, end - start))) return false;
    start = end + 1;
  }
  return true;
}
