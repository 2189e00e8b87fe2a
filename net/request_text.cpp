#include "net/request_text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

const char kAcceptHeaders[] = "Accept: */*\r\n\r\n";

namespace {

bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

}  // namespace

uint32_t ProgressPercent(uint32_t done, uint32_t total) {
  if (total > 1048576u) {
    done /= 1024u;
    total /= 1024u;
  }
  return done * 100u / total;
}

void TrimSplitCharacter(char* text) {
  // A trail byte may look like anything, so walk pairs from the start.
  size_t i = 0;
  size_t n = strlen(text);
  while (i < n) {
    if (IsLeadByte(static_cast<unsigned char>(text[i]))) {
      if (i + 1 == n) {
        text[i] = '\0';
        return;
      }
      i += 2;
    } else {
      i += 1;
    }
  }
}

size_t FormatBounded(char* out, size_t size, const char* format, ...) {
  if (size == 0) return 0;
  va_list args;
  va_start(args, format);
  int n = vsnprintf(out, size, format, args);
  va_end(args);
  if (n < 0) {
    out[0] = '\0';
    return 0;
  }
  if (static_cast<size_t>(n) >= size) TrimSplitCharacter(out);
  return strlen(out);
}

void FormatUserAgent(char* out, size_t size, uint32_t milliseconds) {
  memset(out, 0, size);
  // %ld of a 32-bit long, as the system formats it.
  FormatBounded(out, size, "Agent%ld", static_cast<long>(static_cast<int32_t>(milliseconds)));
}

void FormatInternetErrorText(char* out, size_t size, InternetStep step, const char* url, const char* responseText,
                             long errorNumber) {
  bool text = responseText && responseText[0];
  if (!url) url = "";
  switch (step) {
    case InternetStep::kOpen:
      FormatBounded(out, size, "InternetOpen错误. %ld.", errorNumber);
      break;
    case InternetStep::kOpenUrl:
      if (text)
        FormatBounded(out, size, "InternetOpenUrl 错误.\n网址:%s.\n错误信息:%s.", url, responseText);
      else
        FormatBounded(out, size, "InternetOpenUrl 错误.\n网址:%s.\n错误号:%ld.", url, errorNumber);
      break;
    case InternetStep::kReadFile:
      if (text)
        FormatBounded(out, size, "InternetReadFile 错误.\n 错误信息:%s.", responseText);
      else
        FormatBounded(out, size, "InternetReadFile 错误.\n 错误号:%ld.", errorNumber);
      break;
  }
}

std::string DownloadHeaders(int32_t offset) {
  char range[kLineSize] = {};
  FormatBounded(range, sizeof range, "Range: bytes=%d-\r\n\r\n", static_cast<int>(offset));
  std::string block = kAcceptHeaders;
  block += "Pragma: no-cache\r\n\r\n";
  block += "Cache-Control: no-cache\r\n\r\n";
  block += "Connection:Keep-Alive\r\n\r\n";
  block += range;
  return block;
}

std::string LocalDownloadPath(const char* installDir, const char* destination) {
  if (destination[0] == '\\') ++destination;
  std::string path = installDir;
  path += '\\';
  path += destination;
  return path;
}

std::vector<std::string> DirectoryLevels(const std::string& filePath) {
  std::vector<std::string> levels;
  size_t i = 0;
  // A drive ("C:") or the two backslashes of a share are no level to create.
  if (filePath.size() >= 2 && filePath[1] == ':') i = 2;
  while (i < filePath.size() && (filePath[i] == '\\' || filePath[i] == '/')) ++i;
  bool afterSeparator = true;
  for (; i < filePath.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(filePath[i]);
    if (IsLeadByte(c)) {
      ++i;  // the trail byte may be 0x5C and is no separator
      afterSeparator = false;
      continue;
    }
    bool separator = c == '\\' || c == '/';
    if (separator && !afterSeparator) levels.push_back(filePath.substr(0, i));
    afterSeparator = separator;
  }
  return levels;
}

void FormatProgressLines(uint32_t percent, char* stdoutLine, size_t stdoutSize, char* debugLine, size_t debugSize) {
  memset(stdoutLine, 0, stdoutSize);
  memset(debugLine, 0, debugSize);
  FormatBounded(stdoutLine, stdoutSize, "cur progress %d\n", static_cast<int>(percent));
  FormatBounded(debugLine, debugSize, "online_log cur progress %d\n", static_cast<int>(percent));
}
