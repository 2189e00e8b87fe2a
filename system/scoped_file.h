#pragma once
// FILE* owned once; platform-free.
#include <cstdio>

#include "system/scoped_handle.h"

struct FileTraits {
  using Handle = FILE*;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { fclose(h); }
};
using ScopedFile = ScopedHandle<FileTraits>;
