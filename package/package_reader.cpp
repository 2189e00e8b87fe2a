#include "package/package_reader.h"

#include <cstring>
#include <new>

#include "package/aes.h"
#include "package/package_file.h"
#include "package/package_key.h"

namespace {

constexpr unsigned kReadPauseMs = 20;

// Share of the body, in whole KiB once the body holds at least one.
uint32_t Percent(uint32_t done, uint32_t total) {
  if (total >= 1024) return (done / 1024) * 100 / (total / 1024);
  return done * 100 / total;
}

uint32_t DecipherValue(uint32_t block, uint32_t bodySize) { return Percent(block * 16, bodySize) / 4 + 25; }

bool ReadFully(PackageSource& source, uint8_t* buffer, size_t n) {
  size_t done = 0;
  while (done < n) {
    size_t got = source.Read(buffer + done, n - done);
    if (got == 0) return false;
    done += got;
  }
  return true;
}

}  // namespace

PackageBody ReadPackageFile(PackageDisk& disk, const std::string& path, const char* password, uint32_t* indexLength,
                            ProgressSink& progress) {
  std::unique_ptr<PackageSource> source = disk.OpenForReading(path);
  if (!source) return {};
  uint64_t fileSize = 0;
  // Packages of 4 GiB or more are outside the format; a wrapped size would mislead.
  if (!source->Size(&fileSize) || fileSize > 0xFFFFFFFFu) return {};
  uint32_t bodySize = uint32_t(fileSize) - PackageFile::kHeaderSize;  // wraps for short files, failing the test
  if (bodySize % PackageFile::kBlockSize != 0) return {};

  uint8_t header[PackageFile::kHeaderSize];
  if (!ReadFully(*source, header, sizeof header)) return {};
  PackageBody body;
  body.data.reset(new (std::nothrow) uint8_t[bodySize ? bodySize : 1]);
  if (!body.data) return {};
  body.length = bodySize;
  *indexLength = PackageFile::Le32(header);

  uint32_t last = 25;
  uint32_t total = 0;
  while (total < bodySize) {
    size_t got = source->Read(body.data.get() + total, bodySize - total);
    if (got == 0) break;
    total += uint32_t(got);
    uint32_t value = Percent(total, bodySize) / 4;
    if (value != last) {
      progress.Post(int(value));
      last = value;
      progress.Pause(kReadPauseMs);
    }
  }
  // A short file must not be deciphered and unpacked as if it were whole.
  if (total < bodySize) return {};
  progress.Post(25);

  uint8_t key[17] = {};
  DerivePackageKey(password, uint32_t(strlen(password)), key);
  AesContext context;
  AesSetDecryptKey(&context, key);

  const uint32_t blocks = bodySize / 16;
  uint8_t* data = body.data.get();
  for (uint32_t i = 0; i < blocks;) {
    AesDecryptBlock(&context, data + size_t(i) * 16, data + size_t(i) * 16);
    uint32_t value = DecipherValue(i, bodySize);
    if (value != last) {
      progress.Post(int(value));
      last = value;
      progress.Pause(kReadPauseMs);
    }
    // The blocks up to the next change of value post nothing: decipher them in one run.
    uint32_t low = i + 1, high = blocks;
    while (low < high) {
      uint32_t mid = low + (high - low) / 2;
      if (DecipherValue(mid, bodySize) == value) {
        low = mid + 1;
      } else {
        high = mid;
      }
    }
    AesDecryptBlocks(&context, data + size_t(i + 1) * 16, low - (i + 1));
    i = low;
  }
  progress.Post(50);
  return body;
}
