#pragma once
// Raw requests as the server logged them, with the parts that change from
// run to run (agent counter, port) put in a fixed form.
#include <cctype>
#include <string>

namespace nettest {

// "Agent<digits>" becomes "Agent#" and the server's host:port "HOST"; false
// when the agent is not "Agent" followed by digits only.
inline bool NormalizeRequest(std::string& raw, const std::string& hostPort) {
  const std::string key = "User-Agent: Agent";
  size_t at = raw.find(key);
  if (at == std::string::npos) return false;
  size_t digits = at + key.size();
  size_t end = digits;
  while (end < raw.size() && isdigit(static_cast<unsigned char>(raw[end]))) ++end;
  if (end == digits || raw.compare(end, 2, "\r\n") != 0) return false;
  raw.replace(digits, end - digits, "#");
  for (size_t p; (p = raw.find(hostPort)) != std::string::npos;) raw.replace(p, hostPort.size(), "HOST");
  return true;
}

inline std::string HostPort(const std::string& url) {
  size_t start = url.find("://");
  start = start == std::string::npos ? 0 : start + 3;
  size_t end = url.find('/', start);
  return url.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace nettest
