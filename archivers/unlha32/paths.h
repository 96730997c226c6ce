// Paths and member names in Shift-JIS: a backslash that is the second byte of a double-byte
// character is part of that character, never a separator.
#pragma once

#include <cstddef>
#include <string>

bool IsSeparatorAt(const std::string &s, size_t i);
bool EndsWithSeparator(const std::string &s);
std::string WithSeparator(const std::string &dir);
// The directory part of a path including its final separator, "" when there is none.
std::string DirectoryPart(const std::string &path);
std::string NamePart(const std::string &path);
// Upper-cases ASCII letters only, leaving double-byte characters alone.
std::string UpperAscii(std::string s);
