// The screen dump: the record written to the file named by KELPO_SCREEN_DUMP after each message.
#include "screen/screen.h"
#include "config/settings.h"
#include "base/globals.h"
#include <stdio.h>
#include <string.h>
#include <string>

static char lastDumpName[MAX_PATH];

static bool WriteWholeFile(const char *path, const std::string &content)
{
    char temporary[MAX_PATH + 8];
    snprintf(temporary, sizeof temporary, "%s.new", path);
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, content.data(), (DWORD)content.size(), &written, NULL);
    CloseHandle(file);
    // Replaced in one step, so a reader never sees a half-written screen.
    if (!ok || written != content.size() || !MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temporary);
        return false;
    }
    return true;
}

static void ColorField(char *out, int line, int column)
{
    COLORREF fg, bg;
    if (!ScreenCellColors(line, column, &fg, &bg)) {
        strcpy(out, "------/------");
        return;
    }
    snprintf(out, 14, "%02X%02X%02X/%02X%02X%02X", GetRValue(fg), GetGValue(fg), GetBValue(fg), GetRValue(bg),
             GetGValue(bg), GetBValue(bg));
}

void FlushScreenDump()
{
    char name[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("KELPO_SCREEN_DUMP", name, sizeof name);
    if (length == 0 || length >= sizeof name)
        return;
    if (!ScreenRecordChangedSinceDump() && strcmp(name, lastDumpName) == 0)
        return;
    int lines = ScreenRecordLines();
    std::string text, colors;
    text.reserve(lines * (SCREEN_COLUMNS + 2));
    colors.reserve(lines * SCREEN_COLUMNS * 14 + 2);
    for (int line = 0; line < lines; line++) {
        text += ScreenLineText(line);
        text += "\r\n";
        for (int c = 0; c < SCREEN_COLUMNS; c++) {
            char field[16];
            ColorField(field, line, c);
            if (c)
                colors += ' ';
            colors += field;
        }
        colors += "\r\n";
    }
    char colorName[MAX_PATH + 8];
    snprintf(colorName, sizeof colorName, "%s.color", name);
    bool ok = WriteWholeFile(colorName, colors);
    ok = WriteWholeFile(name, text) && ok;
    if (ok) {
        ScreenRecordDumped();
        strcpy(lastDumpName, name);
    }
}

