#pragma once
// The unpacking's file operations on Windows (ANSI paths, code page of the process).
#include "package/package_disk.h"

class Win32PackageDisk final : public PackageDisk {
 public:
  std::unique_ptr<PackageSource> OpenForReading(const std::string& path) override;
  void MakeDirectory(const std::string& path) override;
  bool WriteWholeFile(const std::string& path, const uint8_t* data, uint32_t size) override;
};
