#include "ui/web_address.h"

#include <cctype>
#include <cstring>

namespace {

bool StartsWithNoCase(const char* text, const char* prefix) {
  for (; *prefix; ++text, ++prefix) {
    if (std::tolower(static_cast<unsigned char>(*text)) != *prefix) return false;
  }
  return true;
}

}  // namespace

bool IsWebAddress(const char* text) {
  if (!text) return false;
  const char* rest = nullptr;
  if (StartsWithNoCase(text, "http://")) {
    rest = text + 7;
  } else if (StartsWithNoCase(text, "https://")) {
    rest = text + 8;
  } else {
    return false;
  }
  // A host must follow.
  return *rest != '\0' && *rest != '/';
}
