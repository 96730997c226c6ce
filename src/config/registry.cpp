// The registry primitives: each call opens the program's key, reads or writes one value, and
// closes the key again; failures give the default or write nothing, never a report.
#include "config/registry.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { STRING_READ_LIMIT = 1024 };

void (*RegistryAccessHook)(const char *name, bool write);

static void KeyPath(char *path)
{
    sprintf(path, "Software\\%s\\%s", "Brevlock", "Kelpo");
}

static void NoteAccess(const char *name, bool write)
{
    if (RegistryAccessHook)
        RegistryAccessHook(name, write);
}

static bool QueryValue(const char *name, void *buffer, DWORD *size)
{
    NoteAccess(name, false);
    char path[64];
    KeyPath(path);
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    LONG result = RegQueryValueExA(key, name, NULL, NULL, (BYTE *)buffer, size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

static void SetValue(const char *name, DWORD type, const void *data, DWORD size)
{
    NoteAccess(name, true);
    char path[64];
    KeyPath(path);
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, type, (const BYTE *)data, size);
    RegCloseKey(key);
}

BYTE RegReadByte(const char *name, BYTE defaultValue)
{
    BYTE value;
    DWORD size = 1;
    return QueryValue(name, &value, &size) && size == 1 ? value : defaultValue;
}

WORD RegReadWord(const char *name, WORD defaultValue)
{
    BYTE value[2];
    DWORD size = 2;
    if (!QueryValue(name, value, &size) || size != 2)
        return defaultValue;
    return (WORD)(value[0] | value[1] << 8);
}

int RegReadString(const char *name, const char *defaultValue, char *out, int outSize)
{
    if (outSize <= 0)
        return 0;
    lstrcpynA(out, defaultValue, outSize);
    char stored[STRING_READ_LIMIT];
    DWORD capacity = outSize < STRING_READ_LIMIT ? (DWORD)outSize : (DWORD)STRING_READ_LIMIT;
    DWORD size = capacity;
    if (QueryValue(name, stored, &size)) {
        // Stored data need not end with a zero; text that leaves no room for one does not fit.
        if (size < capacity)
            stored[size] = '\0';
        if (size < capacity || stored[capacity - 1] == '\0')
            strcpy(out, stored);
    }
    return (int)strlen(out);
}

bool ParseColorText(const char *text, COLORREF *color)
{
    const char *first = strchr(text, ',');
    const char *second = first ? strchr(first + 1, ',') : NULL;
    if (!second)
        return false;
    long part[3] = {strtol(text, NULL, 10), strtol(first + 1, NULL, 10), strtol(second + 1, NULL, 10)};
    for (long p : part)
        if (p < 0 || p > 255)
            return false;
    *color = RGB(part[0], part[1], part[2]);
    return true;
}

COLORREF RegReadColor(const char *name, BYTE r, BYTE g, BYTE b)
{
    char text[64];
    RegReadString(name, " ", text, sizeof text);
    COLORREF color;
    return ParseColorText(text, &color) ? color : RGB(r, g, b);
}

void RegWriteByte(const char *name, BYTE value)
{
    SetValue(name, REG_BINARY, &value, 1);
}

void RegWriteWord(const char *name, WORD value)
{
    BYTE data[2] = {(BYTE)(value & 0xFF), (BYTE)(value >> 8)};
    SetValue(name, REG_BINARY, data, 2);
}

void RegWriteString(const char *name, const char *text)
{
    SetValue(name, REG_SZ, text, (DWORD)strlen(text) + 1);
}

void RegWriteColor(const char *name, COLORREF color)
{
    char text[32];
    sprintf(text, "%d,%d,%d", GetRValue(color), GetGValue(color), GetBValue(color));
    RegWriteString(name, text);
}

void RegDeleteSetting(const char *name)
{
    NoteAccess(name, true);
    char path[64];
    KeyPath(path);
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

// ---- The record ----

