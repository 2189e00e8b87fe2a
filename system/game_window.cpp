#include "system/game_window.h"

#include <cstring>

namespace {

struct TitleSearch {
  const char* title;
  size_t most;
  std::vector<HWND> found;
};

BOOL CALLBACK MatchTitle(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<TitleSearch*>(param);
  // One byte more than a manifest value can hold, so a longer title that
  // starts with it does not match once cut.
  char text[262] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  if (std::strcmp(text, search->title) == 0) search->found.push_back(hwnd);
  return search->found.size() < search->most;
}

}  // namespace

std::vector<HWND> FindWindowsTitled(const char* title, size_t most) {
  TitleSearch search{title, most, {}};
  if (!title || !title[0] || most == 0) return search.found;
  EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
  return search.found;
}
