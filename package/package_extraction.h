#pragma once
// The unpacking itself, free of Windows: PackageUnpacker supplies the disk and
// the progress sink.
#include <string>

#include "package/package_disk.h"
#include "package/package_reader.h"
#include "package/progress_sink.h"

// The reader's path buffer holds 1023 bytes and its terminating zero.
constexpr size_t kMaxPackagePath = 1023;

// Writes every entry below destination in key order, progress 50..100.
// Returns 1, touching nothing, when the index is empty or any key is unsafe;
// otherwise 0, however many files could be written.
int ExtractLoadedPackage(const LoadedPackage& package, const std::string& destination, PackageDisk& disk,
                         ProgressSink& progress);

// Reads, deciphers and indexes JoinPath(destination, fileName), then extracts it.
int UnpackPackage(const std::string& fileName, const std::string& destination, PackageDisk& disk,
                  ProgressSink& progress);
