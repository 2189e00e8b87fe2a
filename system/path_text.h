#pragma once
// Byte-level path text for GBK strings: separators, fitting into the fixed
// buffers of the Windows ANSI calls. Platform-free.
#include <cstddef>
#include <string>
#include <vector>

// Room for a path in the ANSI file calls: MAX_PATH including the NUL.
constexpr size_t kPathBufferSize = 260;

// A GBK lead byte starts a two-byte character whose second byte may be
// 0x5C or 0x2F, so a byte scan must step over it.
inline bool IsGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
inline bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }
inline char FoldAsciiLetter(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The last byte starts a double-byte character that is missing its second
// byte: not text, and anything appended would fuse with it.
bool EndsInLoneLeadByte(const std::string& text);

// Offset of the last backslash or slash that is a character of its own, or npos.
size_t LastSeparator(const std::string& path);

// The parts of `path` between separators, in order (empty parts included).
std::vector<std::string> SplitPathComponents(const std::string& path);

// True when `text` fits a buffer of `bufferSize` bytes with its NUL.
inline bool FitsBuffer(const std::string& text, size_t bufferSize = kPathBufferSize) {
  return text.size() < bufferSize;
}

// Every prefix of `path` + "\" that ends at a separator, shortest first: the
// directories to create from the root downward. Empty when path + "\" does
// not fit a path buffer.
std::vector<std::string> DirectoryPrefixes(const std::string& path);

// Two path parts name the same file: ASCII letters compared without case,
// the trail byte of a double-byte character compared exactly (its value may
// fall in the ASCII letter range).
bool SamePathPart(const std::string& a, const std::string& b);

// `path` is `dir` or lies below it, comparing whole parts as SamePathPart
// does; a trailing separator on either is ignored. An empty `dir` contains
// nothing.
bool PathWithin(const std::string& dir, const std::string& path);

// `text` cut to at most `maxBytes` bytes without splitting a GBK character.
std::string CutGbk(const std::string& text, size_t maxBytes);
