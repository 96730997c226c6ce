#include "screen/screen.h"
#include "config/settings.h"
#include "filelist/pathutil.h"
#include <stdio.h>
#include <string.h>

const char *FormatFileTime(const FILETIME *time)
{
    static char text[32];
    FILETIME local;
    SYSTEMTIME parts;
    WORD dosDate, dosTime;
    // DOS dates run from 1980 to 2107; outside them the conversion is refused here
    // rather than trusting the system to refuse it.
    if (!FileTimeToLocalFileTime(time, &local) || !FileTimeToSystemTime(&local, &parts) || parts.wYear < 1980 ||
        parts.wYear > 2107 || !FileTimeToDosDateTime(&local, &dosDate, &dosTime)) {
        strcpy(text, "0000-00-00  0:00:00");
        return text;
    }
    snprintf(text, sizeof text, "%4d-%02d-%02d %2d:%02d:%02d", (dosDate >> 9) + 1980, (dosDate >> 5) & 15,
             dosDate & 31, dosTime >> 11, (dosTime >> 5) & 63, (dosTime & 31) * 2);
    return text;
}

void FormatLongName(char *destination, const char *longName, int width)
{
    char name[PATH_BUFFER], extension[16];
    SplitPath(longName, NULL, name, extension);
    int nameLength = (int)strlen(name), extensionLength = (int)strlen(extension);
    if (nameLength > width - extensionLength) {
        char cut[PATH_BUFFER];
        TruncateBytes(name, cut, width - extensionLength - 2);
        snprintf(destination, width + 1, "%s\x81\x63%s", cut, extension);
    } else if (Settings.lnamepos && longName[0] != '.' && nameLength <= 8 && extension[0]) {
        snprintf(destination, width + 1, "%-8.8s%s", name, extension);
    } else {
        lstrcpynA(destination, longName, width + 1);
    }
}

void PadSize(char *nameAndResult, const char *exactSize, const char *shortSize, int width)
{
    int n = (int)strlen(nameAndResult);
    const char *size = n + (int)strlen(exactSize) < width ? exactSize : shortSize;
    int room = width - n - 1;
    if (room < 0)
        room = 0;
    char result[PATH_BUFFER];
    snprintf(result, sizeof result, "%s %*.*s", nameAndResult, room, room, size);
    strcpy(nameAndResult, result);
}

void GroupThousands(const char *source, char *destination)
{
    char digits[128];
    lstrcpynA(digits, source, sizeof digits);
    const char *p = digits;
    char *out = destination;
    if (*p == '-')
        *out++ = *p++;
    int count = (int)strlen(p);
    for (int i = 0; i < count; i++) {
        if (i > 0 && (count - i) % 3 == 0)
            *out++ = ',';
        *out++ = p[i];
    }
    *out = '\0';
}

void FormatCount(DWORD value, char *destination)
{
    char digits[16];
    snprintf(digits, sizeof digits, "%lu", (unsigned long)value);
    GroupThousands(digits, destination);
}

char *MultiplyToDecimal(DWORD a, DWORD b, char *destination)
{
    // Digits least significant first.
    int x[10], y[10], product[20] = {0};
    int xs = 0, ys = 0;
    do {
        x[xs++] = a % 10;
        a /= 10;
    } while (a);
    do {
        y[ys++] = b % 10;
        b /= 10;
    } while (b);
    for (int i = 0; i < xs; i++) {
        int carry = 0;
        for (int j = 0; j < ys; j++) {
            int v = product[i + j] + x[i] * y[j] + carry;
            product[i + j] = v % 10;
            carry = v / 10;
        }
        for (int k = i + ys; carry; k++) {
            int v = product[k] + carry;
            product[k] = v % 10;
            carry = v / 10;
        }
    }
    int top = 19;
    while (top > 0 && product[top] == 0)
        top--;
    char *out = destination;
    for (int i = top; i >= 0; i--)
        *out++ = (char)('0' + product[i]);
    *out = '\0';
    return destination;
}
