// Path and double-byte string operations. All text is in the system's multibyte
// code page: a lead byte starts a two-byte character whose second byte may be "\".
#pragma once
#include <stddef.h>

enum { PATH_BUFFER = 1024 };

bool IsLeadByte(unsigned char c);
int CharLength(const char *s);            // 1 or 2: the width of the character at s

void UpperAscii(char *s);
void LowerAscii(char *s);
int ReplaceAll(char *buffer, const char *search, const char *replacement, size_t bufferSize = PATH_BUFFER);
void QuoteIfSpaced(char *s, size_t bufferSize = PATH_BUFFER);
void Unquote(char *s);
int TrimTrailingSpaces(char *s);
int AppendBackslash(char *path, size_t bufferSize = PATH_BUFFER);
int StripBackslash(char *path);
bool EndsWithBackslash(const char *path);
void ShortExtension(const char *shortName, char *out);
void TruncateBytes(const char *source, char *destination, int width);
void ShortenPath(const char *source, char *destination, int width);
bool IsRootPath(const char *path);
// True when the last component of name is a device (CON, PRN, AUX, NUL, COM1-9, LPT1-9),
// with or without an extension: such a name opens the device instead of a file.
bool IsDeviceName(const char *name);
bool ValidatePath(char *path, char *shortPath);
void SplitPath(const char *path, char *directory, char *name, char *extension);
