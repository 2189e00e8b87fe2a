#pragma once
// The command line and failure texts of the game launch. Platform-free.
#include <cstddef>
#include <string>

constexpr size_t kErrorTextSize = 261;

// The program path as a command line: quoted, so that a path with spaces
// (under "Program Files") cannot resolve to another program. A line that
// already starts with a quote is taken as it is.
std::string QuotedProgramLine(const char* programPath);

// The failure text for a launch result below 32: the result's first text
// (with `programPath` in it where it names the file), then " 错误号:" and
// `lastError`. Always fits `kErrorTextSize` with its NUL: an over-long path
// is shortened, never the error number.
std::string LaunchFailureText(unsigned result, const char* programPath, unsigned long lastError);
