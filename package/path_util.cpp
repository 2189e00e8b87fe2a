#include "package/path_util.h"

std::string JoinPath(std::string first, std::string second) {
  if (second.empty()) return first;
  size_t end = first.find_last_not_of('\\');
  first.erase(end == std::string::npos ? 0 : end + 1);
  size_t begin = second.find_first_not_of('\\');
  second.erase(0, begin == std::string::npos ? second.size() : begin);
  first += '\\';
  first += second;
  return first;
}

std::string StripFirstComponent(std::string path) {
  size_t slash = path.find('\\');
  if (slash == std::string::npos) return std::string();
  return path.substr(slash);
}
