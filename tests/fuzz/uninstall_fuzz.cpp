// The uninstaller's command line and the guards that decide what an elevated
// delete may touch, against arbitrary bytes. The first byte splits the input
// into two strings (a directory and a game name, or a command line).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "samples/uninstaller/uninstall_args.h"
#include "system/name_guard.h"
#include "system/path_text.h"

namespace {

void Check(bool condition) {
  if (!condition) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string all(reinterpret_cast<const char*>(data) + 1, size - 1);
  const size_t cut = all.empty() ? 0 : data[0] % (all.size() + 1);
  // Texts from an INI file or the registry end at their first NUL.
  const std::string first = all.substr(0, cut).c_str();
  const std::string second = all.substr(cut).c_str();

  UninstallArgs args;
  if (ParseUninstallArgs(all, &args)) {
    Check(!args.infoFile.empty());
    // What the restarted copy receives means the same run, confirmed.
    UninstallArgs again;
    Check(ParseUninstallArgs(RestartArguments(args, 7), &again));
    Check(again.infoFile == args.infoFile && again.silent == args.silent && again.confirmed && again.waitHandle == 7);
  }
  const std::string rest = CommandArguments(all);
  Check(rest.size() <= all.size());

  Check(PathWithin(first, first) == !first.empty());
  // Whatever lies below a path inside `first` is inside it as well.
  if (PathWithin(first, second) && !EndsInLoneLeadByte(second)) Check(PathWithin(first, second + "\\x"));
  if (IsGameInstallDir(first.c_str(), second.c_str())) {
    Check(IsContainedName(second.c_str()));
    Check(PathWithin(first, InfoFileOf(first)));
    // Never a drive root or share root: something above it stays.
    const std::vector<std::string> parts = SplitPathComponents(first);
    Check(parts.size() >= 2);
  }
  return 0;
}
