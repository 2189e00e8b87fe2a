#include "package/package_extraction.h"

#include <cstdint>

#include "package/entry_name.h"
#include "package/package_key.h"
#include "package/path_util.h"

namespace {

constexpr unsigned kWritePauseMs = 10;

}  // namespace

int ExtractLoadedPackage(const LoadedPackage& package, const std::string& destination, PackageDisk& disk,
                         ProgressSink& progress) {
  if (package.index.empty()) return 1;
  // Checked before anything is created: part of a tampered package is worse than none.
  for (const auto& item : package.index) {
    if (!IsSafeEntryKey(item.first)) return 1;
  }

  disk.MakeDirectory(destination);
  int last = 50;
  uint64_t written = 0;
  const uint64_t count = package.index.size();
  for (const auto& item : package.index) {
    std::string relative = StripFirstComponent(item.first);
    for (size_t i = 0; i < relative.size(); i++) {
      if (relative[i] == '\\') disk.MakeDirectory(JoinPath(destination, relative.substr(0, i)));
    }
    std::string target = JoinPath(destination, relative);
    // The parser has put offset and size inside the body.
    if (!disk.WriteWholeFile(target, package.body.data.get() + item.second.offset, item.second.size)) continue;
    int value = int(50 + (50 * written) / count);
    written++;
    if (value != last) {
      progress.Post(value);
      last = value;
      progress.Pause(kWritePauseMs);
    }
  }
  progress.Post(100);
  return 0;
}

int UnpackPackage(const std::string& fileName, const std::string& destination, PackageDisk& disk,
                  ProgressSink& progress) {
  std::string path = JoinPath(destination, fileName);
  if (path.size() > kMaxPackagePath) return 1;
  LoadedPackage package;
  package.body = ReadPackageFile(disk, path, kPackagePassword, &package.indexLength, progress);
  ParsePackageIndex(package.indexLength, package.body.data.get(), package.body.length, &package.index);
  return ExtractLoadedPackage(package, destination, disk, progress);
}
