#pragma once
// The file operations the unpacking needs, so that its decisions run (and are
// tested) without Windows. Paths are byte strings with "\" separators.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class PackageSource {
 public:
  virtual ~PackageSource() = default;
  // The file's full size in bytes.
  virtual bool Size(uint64_t* size) = 0;
  // Up to n bytes at the current position; 0 at the end or on failure.
  virtual size_t Read(uint8_t* buffer, size_t n) = 0;
};

class PackageDisk {
 public:
  // An existing file, opened for reading while others may read it too; nullptr when it cannot be.
  virtual std::unique_ptr<PackageSource> OpenForReading(const std::string& path) = 0;
  // One level; failure (an existing directory, say) is ignored.
  virtual void MakeDirectory(const std::string& path) = 0;
  // Creates or truncates the file and writes the bytes in one request; false
  // when the file cannot be opened. An existing read-only file loses that
  // attribute (only that one) and is overwritten. Write errors go unreported.
  virtual bool WriteWholeFile(const std::string& path, const uint8_t* data, uint32_t size) = 0;

 protected:
  ~PackageDisk() = default;
};
