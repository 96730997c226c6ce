#include "filelist/pathutil.h"
#include <windows.h>
#include <string.h>
#include <stdio.h>

bool IsLeadByte(unsigned char c)
{
    return IsDBCSLeadByte(c) != 0;
}

int CharLength(const char *s)
{
    return (IsLeadByte((unsigned char)s[0]) && s[1] != '\0') ? 2 : 1;
}

static void ChangeAsciiCase(char *s, char from, char to)
{
    while (*s) {
        if (*s >= from && *s <= (char)(from + 25))
            *s = (char)(*s - from + to);
        s += CharLength(s);
    }
}

void UpperAscii(char *s) { ChangeAsciiCase(s, 'a', 'A'); }
void LowerAscii(char *s) { ChangeAsciiCase(s, 'A', 'a'); }

// Finds search in text starting only at character boundaries, so that the
// second byte of a double-byte character never starts a match.
static char *FindText(char *text, const char *search)
{
    size_t n = strlen(search);
    for (char *p = text; *p; p += CharLength(p))
        if (strncmp(p, search, n) == 0)
            return p;
    return NULL;
}

// Scanning resumes after each inserted replacement: a replacement that holds the
// searched text (a file name containing a macro token) must not be replaced again.
int ReplaceAll(char *buffer, const char *search, const char *replacement, size_t bufferSize)
{
    size_t searchLen = strlen(search), replLen = strlen(replacement);
    if (searchLen == 0)
        return 0;
    char *hit = FindText(buffer, search);
    if (!hit)
        return 0;
    while (hit) {
        size_t len = strlen(buffer);
        if (len - searchLen + replLen + 1 > bufferSize)
            break;
        memmove(hit + replLen, hit + searchLen, len - (hit - buffer) - searchLen + 1);
        memcpy(hit, replacement, replLen);
        hit = FindText(hit + replLen, search);
    }
    return 1;
}

void QuoteIfSpaced(char *s, size_t bufferSize)
{
    size_t len = strlen(s);
    if (!strchr(s, ' ') || len + 3 > bufferSize)
        return;
    memmove(s + 1, s, len);
    s[0] = '"';
    s[len + 1] = '"';
    s[len + 2] = '\0';
}

void Unquote(char *s)
{
    size_t len = strlen(s);
    if (len >= 2 && s[0] == '"' && s[len - 1] == '"') {
        memmove(s, s + 1, len - 2);
        s[len - 2] = '\0';
    }
}

int TrimTrailingSpaces(char *s)
{
    int keep = 0, i = 0;
    while (s[i]) {
        int w = CharLength(s + i);
        bool blank = (w == 1 && s[i] == ' ') ||
                     (w == 2 && (unsigned char)s[i] == 0x81 && (unsigned char)s[i + 1] == 0x40);
        i += w;
        if (!blank)
            keep = i;
    }
    s[keep] = '\0';
    return keep;
}

bool EndsWithBackslash(const char *path)
{
    const char *last = NULL;
    for (const char *p = path; *p; p += CharLength(p))
        last = p;
    return last && *last == '\\';
}

int AppendBackslash(char *path, size_t bufferSize)
{
    size_t len = strlen(path);
    if (!EndsWithBackslash(path) && len + 2 <= bufferSize) {
        path[len++] = '\\';
        path[len] = '\0';
    }
    return (int)len;
}

int StripBackslash(char *path)
{
    size_t len = strlen(path);
    // Too short to name a drive: nothing to make a root of, and no room was promised after it.
    if (len < 2)
        return (int)len;
    if (len < 4) {
        path[1] = ':';
        path[2] = '\\';
        path[3] = '\0';
        return 3;
    }
    if (EndsWithBackslash(path))
        path[--len] = '\0';
    return (int)len;
}

void ShortExtension(const char *shortName, char *out)
{
    out[0] = '\0';
    if (shortName[0] == '.')
        return;
    const char *dot = NULL;
    for (const char *p = shortName; *p; p += CharLength(p))
        if (*p == '.')
            dot = p;
    if (dot)
        strcpy(out, dot + 1);
}

// Cuts between whole characters: a double-byte character that would straddle the
// cut is left out entirely (its second byte may itself look like a lead byte).
void TruncateBytes(const char *source, char *destination, int width)
{
    if (width < 1) {
        destination[0] = '\0';
        return;
    }
    int i = 0;
    while (source[i]) {
        int w = CharLength(source + i);
        if (i + w > width)
            break;
        i += w;
    }
    memmove(destination, source, i);
    destination[i] = '\0';
}

void ShortenPath(const char *source, char *destination, int width)
{
    char work[PATH_BUFFER];
    lstrcpynA(work, source, sizeof work);
    if (work[0] == '\0') {
        destination[0] = '\0';
        return;
    }
    int len = StripBackslash(work);
    if (width < 5 || len <= width) {
        strcpy(destination, work);
        return;
    }
    int lastSep = 0;
    for (int i = 0; work[i]; i += CharLength(work + i))
        if (i >= 1 && work[i] == '\\')
            lastSep = i;
    char tail[PATH_BUFFER + 2];
    snprintf(tail, sizeof tail, "\x81\x63%s", work + lastSep);
    int tailLen = (int)strlen(tail);
    if (width >= tailLen) {
        TruncateBytes(work, destination, width - tailLen);
        strcat(destination, tail);
    } else {
        TruncateBytes(tail, destination, width - 2);
        strcat(destination, "\x81\x63");
    }
}

bool IsRootPath(const char *path)
{
    int start = (path[0] == '\\' && path[1] == '\\') ? 2 : 0;
    if ((int)strlen(path) < start)
        return false;
    for (const char *p = path + start; *p; p += CharLength(p))
        if (*p == '\\')
            return p[1] == '\0';
    return false;
}

bool IsDeviceName(const char *name)
{
    const char *last = name;
    for (const char *p = name; *p; p += CharLength(p))
        if (*p == '\\' || *p == '/' || *p == ':')
            last = p + 1;
    // The system drops blanks before the extension and blanks and dots at the end.
    size_t length = 0;
    while (last[length] && last[length] != '.')
        length++;
    while (length > 0 && last[length - 1] == ' ')
        length--;
    char base[8];
    if (length < 3 || length > 4)
        return false;
    memcpy(base, last, length);
    base[length] = '\0';
    UpperAscii(base);
    static const char *const devices[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char *device : devices)
        if (strcmp(base, device) == 0)
            return true;
    return length == 4 && (strncmp(base, "COM", 3) == 0 || strncmp(base, "LPT", 3) == 0) && base[3] >= '1' &&
           base[3] <= '9';
}

bool ValidatePath(char *path, char *shortPath)
{
    if (path[0] == '\0') {
        if (shortPath)
            shortPath[0] = '\0';
        return false;
    }
    if (path[1] == '\0' || path[2] != '\\') {
        path[1] = ':';
        path[2] = '\\';
        path[3] = '\0';
    }
    UpperAscii(path);
    if (path[0] < 'A' || path[0] > 'Z') {
        path[0] = '\0';
        if (shortPath)
            shortPath[0] = '\0';
        return false;
    }
    char work[PATH_BUFFER], shortWork[PATH_BUFFER];
    snprintf(work, sizeof work, "%c:", path[0]);
    strcpy(shortWork, work);
    const char *p = path + 3;
    while (*p) {
        const char *start = p;
        while (*p && *p != '\\')
            p += CharLength(p);
        size_t tokenLen = p - start;
        if (*p == '\\')
            p++;
        if (tokenLen == 0)
            continue;
        size_t workLen = strlen(work);
        // A wildcard would make the search report some other entry as the directory.
        bool wild = memchr(start, '*', tokenLen) || memchr(start, '?', tokenLen);
        WIN32_FIND_DATAA fd;
        HANDLE h = INVALID_HANDLE_VALUE;
        if (!wild && workLen + 1 + tokenLen < sizeof work) {
            char probe[PATH_BUFFER];
            snprintf(probe, sizeof probe, "%s\\%.*s", work, (int)tokenLen, start);
            h = FindFirstFileA(probe, &fd);
        }
        bool isDir = h != INVALID_HANDLE_VALUE && (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        if (h != INVALID_HANDLE_VALUE)
            FindClose(h);
        if (!isDir || workLen + 1 + strlen(fd.cFileName) >= sizeof work) {
            AppendBackslash(work);
            strcpy(path, work);
            if (shortPath) {
                AppendBackslash(shortWork);
                strcpy(shortPath, shortWork);
            }
            return strlen(work) == 3;
        }
        snprintf(work + workLen, sizeof work - workLen, "\\%s", fd.cFileName);
        size_t shortLen = strlen(shortWork);
        snprintf(shortWork + shortLen, sizeof shortWork - shortLen, "\\%s",
                 fd.cAlternateFileName[0] ? fd.cAlternateFileName : fd.cFileName);
    }
    AppendBackslash(work);
    strcpy(path, work);
    if (shortPath) {
        AppendBackslash(shortWork);
        strcpy(shortPath, shortWork);
    }
    return true;
}

void SplitPath(const char *path, char *directory, char *name, char *extension)
{
    char work[PATH_BUFFER];
    lstrcpynA(work, path, sizeof work);
    int sep = -1, dot = -1;
    for (int i = 0; work[i]; i += CharLength(work + i)) {
        if (work[i] == '\\' || work[i] == '/')
            sep = i;
        else if (work[i] == '.')
            dot = i;
    }
    if (dot < sep)
        dot = -1;
    if (directory) {
        directory[0] = '\0';
        if (sep >= 0)
            snprintf(directory, PATH_BUFFER, "%.*s%c", sep, work, work[sep]);
    }
    const char *base = work + sep + 1;
    if (dot >= 0)
        work[dot] = '\0';
    const char *after = dot >= 0 ? work + dot + 1 : "";
    bool shortExt = dot >= 0 && strlen(after) < 5;
    if (name) {
        if (dot >= 0 && !shortExt)
            snprintf(name, PATH_BUFFER, "%s.%s", base, after);
        else
            lstrcpynA(name, base, PATH_BUFFER);
    }
    if (extension) {
        extension[0] = '\0';
        if (shortExt)
            snprintf(extension, 8, ".%.4s", after);
    }
}
