#pragma once
// Top-level windows of a running game, found by their exact title.
#include <windows.h>

#include <cstddef>
#include <vector>

// At most `most` windows whose title is `title`, in z-order. An empty title
// finds nothing: it would match every untitled window.
std::vector<HWND> FindWindowsTitled(const char* title, size_t most);
