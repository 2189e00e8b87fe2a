#include "system/path_text.h"

bool EndsInLoneLeadByte(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsGbkLeadByte(static_cast<unsigned char>(text[i]))) {
      if (i + 1 == text.size()) return true;
      ++i;
    }
  }
  return false;
}

size_t LastSeparator(const std::string& path) {
  size_t last = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    if (IsGbkLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
      ++i;
    } else if (IsPathSeparator(path[i])) {
      last = i;
    }
  }
  return last;
}

std::vector<std::string> SplitPathComponents(const std::string& path) {
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < path.size(); ++i) {
    if (IsGbkLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
      parts.back() += path[i];
      parts.back() += path[++i];
    } else if (IsPathSeparator(path[i])) {
      parts.emplace_back();
    } else {
      parts.back() += path[i];
    }
  }
  return parts;
}

std::vector<std::string> DirectoryPrefixes(const std::string& path) {
  std::vector<std::string> prefixes;
  const std::string copy = path + "\\";
  if (!FitsBuffer(copy)) return prefixes;
  for (size_t i = 0; i < copy.size(); ++i) {
    if (IsGbkLeadByte(static_cast<unsigned char>(copy[i])) && i + 1 < copy.size()) {
      ++i;
    } else if (IsPathSeparator(copy[i])) {
      prefixes.push_back(copy.substr(0, i + 1));
    }
  }
  return prefixes;
}

std::string CutGbk(const std::string& text, size_t maxBytes) {
  size_t end = 0;
  while (end < text.size()) {
    size_t width = IsGbkLeadByte(static_cast<unsigned char>(text[end])) && end + 1 < text.size() ? 2 : 1;
    if (end + width > maxBytes) break;
    end += width;
  }
  return text.substr(0, end);
}

namespace {

std::vector<std::string> PartsWithoutTrailingSeparator(const std::string& path) {
  std::vector<std::string> parts = SplitPathComponents(path);
  if (parts.size() > 1 && parts.back().empty()) parts.pop_back();
  return parts;
}

}  // namespace

bool SamePathPart(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (IsGbkLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (FoldAsciiLetter(a[i]) != FoldAsciiLetter(b[i])) {
      return false;
    }
  }
  return true;
}

bool PathWithin(const std::string& dir, const std::string& path) {
  if (dir.empty()) return false;
  const std::vector<std::string> outer = PartsWithoutTrailingSeparator(dir);
  const std::vector<std::string> inner = PartsWithoutTrailingSeparator(path);
  if (inner.size() < outer.size()) return false;
  for (size_t i = 0; i < outer.size(); ++i) {
    if (!SamePathPart(outer[i], inner[i])) return false;
  }
  return true;
}
