#pragma once
// The request conventions and texts shared by the three HTTP operations.
// Platform-free: everything here is pure formatting and arithmetic.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE.
constexpr uint32_t kRequestFlags = 0x84000100u;
// HTTP_QUERY_FLAG_NUMBER with HTTP_QUERY_CONTENT_LENGTH and HTTP_QUERY_STATUS_CODE.
constexpr uint32_t kQueryContentLength = 0x20000005u;
constexpr uint32_t kQueryStatusCode = 0x20000013u;

constexpr size_t kReadBlockSize = 65536;
constexpr size_t kAgentSize = 64;
constexpr size_t kResponseTextSize = 1000;
constexpr size_t kLineSize = 260;

// Each header line of this program ends in a blank line.
extern const char kAcceptHeaders[];  // "Accept: */*\r\n\r\n"

// Percentage of done in total; above 1 MiB both are taken in KiB first so the
// product stays in 32 bits. total must not be 0.
uint32_t ProgressPercent(uint32_t done, uint32_t total);

// snprintf into out[size] that never overruns and never leaves half of a
// double-byte character at the cut. Returns the length written.
size_t FormatBounded(char* out, size_t size, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

// Drops a trailing lead byte whose second byte was cut off.
void TrimSplitCharacter(char* text);

// "Agent" followed by the millisecond counter, in a 64-byte buffer.
void FormatUserAgent(char* out, size_t size, uint32_t milliseconds);

enum class InternetStep { kOpen, kOpenUrl, kReadFile };

// The failure text of a step: the response text form when responseText is
// non-empty, else the error number form.
void FormatInternetErrorText(char* out, size_t size, InternetStep step, const char* url, const char* responseText,
                             long errorNumber);

// The resumable download's header block, with the range from offset on.
std::string DownloadHeaders(int32_t offset);

// installDir + "\" + destination, one leading backslash of destination dropped.
std::string LocalDownloadPath(const char* installDir, const char* destination);

// The directories that lead to filePath's folder, outermost first, so they
// can be created level by level ("C:\a\b\f" gives "C:\a", "C:\a\b").
std::vector<std::string> DirectoryLevels(const std::string& filePath);

// "cur progress %d\n" and "online_log cur progress %d\n".
void FormatProgressLines(uint32_t percent, char* stdoutLine, size_t stdoutSize, char* debugLine, size_t debugSize);
