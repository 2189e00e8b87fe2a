// The same unpacking core on the host's own file system, without pauses: shows
// what the installer's code costs apart from Wine. Prints seconds elapsed.
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "package/package_extraction.h"

namespace {

std::string Unix(std::string path) {
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

class FileSource final : public PackageSource {
 public:
  explicit FileSource(FILE* f) : f_(f) {}
  ~FileSource() override { fclose(f_); }
  bool Size(uint64_t* size) override {
    struct stat st;
    if (fstat(fileno(f_), &st) != 0) return false;
    *size = uint64_t(st.st_size);
    return true;
  }
  size_t Read(uint8_t* buffer, size_t n) override { return fread(buffer, 1, n, f_); }

 private:
  FILE* f_;
};

class PosixDisk final : public PackageDisk {
 public:
  std::unique_ptr<PackageSource> OpenForReading(const std::string& path) override {
    FILE* f = fopen(Unix(path).c_str(), "rb");
    if (f) setvbuf(f, nullptr, _IONBF, 0);
    return f ? std::make_unique<FileSource>(f) : nullptr;
  }
  void MakeDirectory(const std::string& path) override { mkdir(Unix(path).c_str(), 0755); }
  bool WriteWholeFile(const std::string& path, const uint8_t* data, uint32_t size) override {
    FILE* f = fopen(Unix(path).c_str(), "wb");
    if (!f) return false;
    if (size) fwrite(data, size, 1, f);
    fclose(f);
    return true;
  }
};

class NoPause final : public ProgressSink {
 public:
  void Post(int) override {}
  void Pause(unsigned) override {}
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  PosixDisk disk;
  NoPause progress;
  auto start = std::chrono::steady_clock::now();
  int result = UnpackPackage(argv[1], argv[2], disk, progress);
  auto end = std::chrono::steady_clock::now();
  printf("%.4f\n", std::chrono::duration<double>(end - start).count());
  return result;
}
