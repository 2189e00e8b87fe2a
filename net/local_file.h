#pragma once
// Opening a local file whose folder may not exist yet.
#include <string>

#include "system/scoped_file.h"

// fopen(path, mode); when that fails, creates every missing folder on the
// way to the file, outermost first, and tries once more.
ScopedFile OpenCreatingFolders(const std::string& path, const char* mode);

// Size of an open file in bytes, or -1.
long OpenFileSize(FILE* file);
