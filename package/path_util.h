#pragma once
// Byte-wise path helpers; the separator is the single byte 0x5C.
#include <string>

std::string JoinPath(std::string first, std::string second);
std::string StripFirstComponent(std::string path);
