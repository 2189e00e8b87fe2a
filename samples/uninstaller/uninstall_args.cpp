#include "samples/uninstaller/uninstall_args.h"

#include <cstdlib>
#include <vector>

#include "system/path_text.h"

namespace {

// Splits at spaces and tabs outside double quotes; the quotes are dropped.
// Paths never hold a double quote, so no escaping is needed.
std::vector<std::string> SplitArguments(const std::string& line) {
  std::vector<std::string> out;
  std::string current;
  bool inQuotes = false;
  bool any = false;
  for (char c : line) {
    if (c == '"') {
      inQuotes = !inQuotes;
      any = true;
    } else if ((c == ' ' || c == '\t') && !inQuotes) {
      if (any) out.push_back(current);
      current.clear();
      any = false;
    } else {
      current += c;
      any = true;
    }
  }
  if (any) out.push_back(current);
  return out;
}

bool IsSwitch(const std::string& arg, char letter) {
  return arg.size() == 2 && arg[0] == '/' && (arg[1] == letter || arg[1] == letter + ('a' - 'A'));
}

// "/X:" with X in either case; the value follows.
bool HasValuePrefix(const std::string& arg, char letter) {
  return arg.size() >= 3 && arg[0] == '/' && (arg[1] == letter || arg[1] == letter + ('a' - 'A')) && arg[2] == ':';
}

std::string Quoted(const std::string& arg) { return "\"" + arg + "\""; }

}  // namespace

bool ParseUninstallArgs(const std::string& commandLine, UninstallArgs* args) {
  // Every argument is looked at, so that /S is known even when another
  // argument is wrong and the failure must not raise a box.
  *args = UninstallArgs();
  bool ok = true;
  bool haveInfo = false;
  for (const std::string& arg : SplitArguments(commandLine)) {
    if (HasValuePrefix(arg, 'U')) {
      if (haveInfo || arg.size() == 3) ok = false;
      args->infoFile = arg.substr(3);
      haveInfo = true;
    } else if (HasValuePrefix(arg, 'P')) {
      const std::string value = arg.substr(3);
      if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos || value.size() > 9) {
        ok = false;
      } else {
        args->waitHandle = std::strtoul(value.c_str(), nullptr, 10);
        if (args->waitHandle == 0) ok = false;
      }
    } else if (IsSwitch(arg, 'S')) {
      args->silent = true;
    } else if (IsSwitch(arg, 'Y')) {
      args->confirmed = true;
    } else {
      ok = false;
    }
  }
  return ok && haveInfo;
}

std::string CommandArguments(const std::string& command) {
  size_t i = command.find_first_not_of(" \t");
  if (i == std::string::npos) return std::string();
  size_t end = command[i] == '"' ? command.find('"', i + 1) : command.find_first_of(" \t", i);
  if (end == std::string::npos) return std::string();
  const size_t rest = command.find_first_not_of(" \t", end + 1);
  return rest == std::string::npos ? std::string() : command.substr(rest);
}

std::string RestartArguments(const UninstallArgs& args, unsigned long waitHandle) {
  std::string line = Quoted("/U:" + args.infoFile) + " /Y";
  if (args.silent) line += " /S";
  line += " /P:" + std::to_string(waitHandle);
  return line;
}

std::string InfoFileOf(const std::string& setupDir) {
  std::string dir = setupDir;
  // A trailing separator, unless it is the trail byte of the last character.
  if (!dir.empty() && LastSeparator(dir) == dir.size() - 1) dir.pop_back();
  return dir + "\\uninstall\\uninstall.ini";
}
