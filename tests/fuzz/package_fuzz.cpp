// Hostile packages against the reader, the index parser and the unpacking's
// decisions, all in memory. Two readings of each input: as a whole package file
// (mostly refused or deciphered to noise) and, to reach deep into the parser,
// as an already deciphered body whose first 4 bytes are the index length.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "package/package_extraction.h"
#include "package/package_index.h"
#include "package/package_reader.h"

namespace {

constexpr char kDestination[] = "C:\\Dest";

class NullProgress final : public ProgressSink {
 public:
  void Post(int value) override {
    if (value < 0 || value > 100) abort();
  }
  void Pause(unsigned) override {}
};

class Source final : public PackageSource {
 public:
  Source(const uint8_t* data, size_t size, size_t chunk) : data_(data), size_(size), chunk_(chunk) {}
  bool Size(uint64_t* size) override {
    *size = size_;
    return true;
  }
  size_t Read(uint8_t* buffer, size_t n) override {
    size_t take = n < chunk_ ? n : chunk_;
    if (take > size_ - position_) take = size_ - position_;
    memcpy(buffer, data_ + position_, take);
    position_ += take;
    return take;
  }

 private:
  const uint8_t* data_;
  size_t size_, chunk_, position_ = 0;
};

bool LeavesDestination(const std::string& path) {
  if (path.compare(0, sizeof kDestination - 1, kDestination) != 0) return true;
  std::string rest = path.substr(sizeof kDestination - 1);
  if (rest.find(':') != std::string::npos) return true;
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = rest.find_first_of("\\/", start);
    if (end == std::string::npos) end = rest.size();
    if (rest.compare(start, end - start, "..") == 0) return true;
    start = end + 1;
  }
  return false;
}

class CheckingDisk final : public PackageDisk {
 public:
  CheckingDisk(const uint8_t* data, size_t size, size_t chunk) : data_(data), size_(size), chunk_(chunk) {}
  std::unique_ptr<PackageSource> OpenForReading(const std::string&) override {
    return std::make_unique<Source>(data_, size_, chunk_);
  }
  void MakeDirectory(const std::string& path) override {
    if (LeavesDestination(path)) abort();
  }
  bool WriteWholeFile(const std::string& path, const uint8_t* data, uint32_t size) override {
    if (LeavesDestination(path)) abort();
    // Touch both ends so the sanitizer sees any read outside the body.
    if (size) sink_ ^= data[0] ^ data[size - 1];
    return true;
  }

 private:
  const uint8_t* data_;
  size_t size_, chunk_;
  volatile uint8_t sink_ = 0;
};

void CheckIndex(const LoadedPackage& package) {
  for (const auto& item : package.index) {
    if (item.second.offset > package.body.length || item.second.size > package.body.length - item.second.offset) abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  NullProgress progress;
  // As a package file, read in chunks of a size taken from the input.
  {
    size_t chunk = size ? 1 + data[size - 1] * 61 : 1;
    CheckingDisk disk(data, size, chunk);
    LoadedPackage package;
    package.body = ReadPackageFile(disk, "pkg", "908172", &package.indexLength, progress);
    if (package.body && package.body.length != size - 8) abort();
    ParsePackageIndex(package.indexLength, package.body.data.get(), package.body.length, &package.index);
    CheckIndex(package);
    ExtractLoadedPackage(package, kDestination, disk, progress);
  }
  // As a deciphered body, copied into a block of its own exact size.
  if (size >= 4) {
    LoadedPackage package;
    memcpy(&package.indexLength, data, 4);
    package.body.length = uint32_t(size - 4);
    package.body.data.reset(new uint8_t[size - 4 ? size - 4 : 1]);
    memcpy(package.body.data.get(), data + 4, size - 4);
    ParsePackageIndex(package.indexLength, package.body.data.get(), package.body.length, &package.index);
    CheckIndex(package);
    CheckingDisk disk(nullptr, 0, 1);
    ExtractLoadedPackage(package, kDestination, disk, progress);
  }
  return 0;
}
