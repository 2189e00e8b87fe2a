#include "system/name_guard.h"

#include <string>
#include <vector>

#include "system/path_text.h"

namespace {

bool IsDotsAndSpaces(const std::string& part) {
  for (char c : part) {
    if (c != '.' && c != ' ') return false;
  }
  return true;
}

bool HasColon(const std::string& part) {
  // Byte scan is safe: GBK trail bytes start at 0x40, above ':'.
  return part.find(':') != std::string::npos;
}

}  // namespace

bool IsContainedName(const char* name) {
  if (!name || !*name || EndsInLoneLeadByte(name)) return false;
  for (const std::string& part : SplitPathComponents(name)) {
    if (part.empty() || IsDotsAndSpaces(part) || HasColon(part)) return false;
  }
  return true;
}

bool IsUsableKeyName(const char* name) {
  if (!name) return false;
  for (const char* p = name; *p; ++p) {
    if (*p != '\\') return true;
  }
  return false;
}

bool IsGameInstallDir(const char* setupDir, const char* gameName) {
  if (!setupDir || !gameName || !IsContainedName(gameName) || EndsInLoneLeadByte(setupDir)) return false;
  std::string dir = setupDir;
  if (!dir.empty() && IsPathSeparator(dir.back())) dir.pop_back();
  std::vector<std::string> parts = SplitPathComponents(dir);
  // parts[0] is "X:" for a drive path, or two empty parts then server and
  // share for a UNC path; the folders follow.
  size_t firstFolder;
  const char drive = FoldAsciiLetter(parts[0].empty() ? '\0' : parts[0][0]);
  if (parts[0].size() == 2 && drive >= 'a' && drive <= 'z' && parts[0][1] == ':' && parts.size() > 1) {
    firstFolder = 1;
  } else if (parts.size() > 4 && parts[0].empty() && parts[1].empty() && !parts[2].empty() && !parts[3].empty()) {
    firstFolder = 4;
  } else {
    return false;
  }
  for (size_t i = firstFolder; i < parts.size(); ++i) {
    if (parts[i].empty() || IsDotsAndSpaces(parts[i]) || HasColon(parts[i])) return false;
  }
  std::vector<std::string> game = SplitPathComponents(gameName);
  if (parts.size() - firstFolder < game.size()) return false;
  for (size_t i = 0; i < game.size(); ++i) {
    if (!SamePathPart(parts[parts.size() - game.size() + i], game[i])) return false;
  }
  return true;
}
