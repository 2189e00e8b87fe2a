#include "package/win32_package_disk.h"

#include <direct.h>
#include <windows.h>

#include <cstdio>

#include "system/scoped_file.h"
#include "system/scoped_win.h"

namespace {

class Win32Source final : public PackageSource {
 public:
  explicit Win32Source(HANDLE file) : file_(file) {}
  bool Size(uint64_t* size) override {
    LARGE_INTEGER value;
    if (!GetFileSizeEx(file_.get(), &value)) return false;
    *size = uint64_t(value.QuadPart);
    return true;
  }
  size_t Read(uint8_t* buffer, size_t n) override {
    DWORD request = n > 0xFFFFFFFFu ? 0xFFFFFFFFu : DWORD(n);
    DWORD got = 0;
    if (!ReadFile(file_.get(), buffer, request, &got, nullptr)) return 0;
    return got;
  }

 private:
  ScopedKernelHandle file_;
};

}  // namespace

std::unique_ptr<PackageSource> Win32PackageDisk::OpenForReading(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32Source>(file);
}

void Win32PackageDisk::MakeDirectory(const std::string& path) { _mkdir(path.c_str()); }

bool Win32PackageDisk::WriteWholeFile(const std::string& path, const uint8_t* data, uint32_t size) {
  // Asked first, not after a failed open: where the open would succeed anyway
  // (an administrator under some systems) the file must still end up writable.
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    SetFileAttributesA(path.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
  }
  ScopedFile file(fopen(path.c_str(), "wb"));
  if (!file) return false;
  if (size) fwrite(data, size, 1, file.get());
  return true;
}
