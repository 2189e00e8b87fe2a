#pragma once
// Reads a whole package file into one block and deciphers it in place.
#include <cstdint>
#include <memory>
#include <string>

#include "package/package_disk.h"
#include "package/package_index.h"
#include "package/progress_sink.h"

struct PackageBody {
  std::unique_ptr<uint8_t[]> data;  // (file size - 8) bytes; null when none
  uint32_t length = 0;
  explicit operator bool() const { return data != nullptr; }
};

// The extraction's record of one package; releasing it frees index and body.
struct LoadedPackage {
  PackageBody body;
  uint32_t indexLength = 0;
  PackageIndex index;
};

// Progress 0..25 while reading and 25..50 while deciphering, each value posted
// once when it changes, then 25 and 50 at the ends of the phases. *indexLength
// is written only once the file is open and its size accepted. No body when the
// file is missing, its size is not 8 plus a multiple of 16 (or is 4 GiB or more),
// memory runs out, or a read ends early.
PackageBody ReadPackageFile(PackageDisk& disk, const std::string& path, const char* password, uint32_t* indexLength,
                            ProgressSink& progress);
