#pragma once
// An in-memory disk and a progress recorder for the platform-free unpacking.
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "package/package_disk.h"
#include "package/progress_sink.h"

class RecordingProgress final : public ProgressSink {
 public:
  void Post(int value) override { posts.push_back(value); }
  void Pause(unsigned milliseconds) override { pauses.push_back(milliseconds); }
  std::vector<int> posts;
  std::vector<unsigned> pauses;
};

// Serves `bytes` in reads of at most `chunk` bytes; `size` may claim more than there is.
class MemorySource final : public PackageSource {
 public:
  MemorySource(std::string bytes, size_t chunk, uint64_t size) : bytes_(std::move(bytes)), chunk_(chunk), size_(size) {}
  bool Size(uint64_t* size) override {
    *size = size_;
    return true;
  }
  size_t Read(uint8_t* buffer, size_t n) override {
    size_t take = std::min({n, chunk_, bytes_.size() - position_});
    memcpy(buffer, bytes_.data() + position_, take);
    position_ += take;
    return take;
  }

 private:
  std::string bytes_;
  size_t chunk_;
  uint64_t size_;
  size_t position_ = 0;
};

// Files and folders by path; a file can only be written where its folder exists.
class FakeDisk final : public PackageDisk {
 public:
  std::unique_ptr<PackageSource> OpenForReading(const std::string& path) override {
    opened.push_back(path);
    auto it = files.find(path);
    if (it == files.end()) return nullptr;
    uint64_t size = claimedSize ? claimedSize : it->second.size();
    return std::make_unique<MemorySource>(it->second, readChunk, size);
  }
  void MakeDirectory(const std::string& path) override {
    madeDirectories.push_back(path);
    std::string dir = path;
    while (dir.size() > 1 && dir.back() == '\\') dir.pop_back();
    directories.insert(dir);
  }
  bool WriteWholeFile(const std::string& path, const uint8_t* data, uint32_t size) override {
    size_t slash = path.rfind('\\');
    if (path.empty() || path.back() == '\\' || directories.count(path) ||
        slash == std::string::npos || !directories.count(path.substr(0, slash))) {
      return false;
    }
    files[path] = std::string(reinterpret_cast<const char*>(data), size);
    written.push_back(path);
    return true;
  }

  std::map<std::string, std::string> files;
  std::set<std::string> directories;
  std::vector<std::string> opened, madeDirectories, written;
  size_t readChunk = size_t(-1);
  uint64_t claimedSize = 0;  // when set, what Size() reports instead of the real length
};
