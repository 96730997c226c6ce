#include "ui/msgdlg.h"
#include "ui_ids.h"
#include "filelist/pathutil.h"
#include <stdio.h>
#include <string.h>

MessageDialogState g_messageDialog;
int g_messageDialogFailBuffer;

struct MessageType {
    int buttonCount;
    int ids[3];
    const char *captions[3];
    bool escapeAllowed;
    int fallback;               // the result when the dialog cannot be shown
};

static const MessageType messageTypes[6] = {
    {1, {IDOK}, {"OK"}, false, IDOK},
    {2, {IDOK, IDCANCEL}, {"OK", "ｷｬﾝｾﾙ"}, true, IDCANCEL},
    {3, {IDABORT, IDRETRY, IDIGNORE}, {"中止", "再試行", "無視"}, false, IDRETRY},
    {3, {IDYES, IDNO, IDCANCEL}, {"はい", "いいえ", "ｷｬﾝｾﾙ"}, true, IDCANCEL},
    {2, {IDYES, IDNO}, {"はい", "いいえ"}, false, IDNO},
    {2, {IDRETRY, IDCANCEL}, {"再試行", "ｷｬﾝｾﾙ"}, true, IDCANCEL},
};

void DoubleLineFeeds(const char *text, char *buffer)
{
    TruncateBytes(text ? text : "", buffer, MESSAGE_BUFFER - 1);
    ReplaceAll(buffer, "\n", "@@", MESSAGE_BUFFER);
}

// Only bytes that start a character break lines: 0x40 is also the second byte of many
// double-byte characters.
int SplitMessageLines(char *text, char **lines)
{
    int count = 0;
    char *p = text;
    while (*p && count < MESSAGE_MAX_LINES) {
        while (*p == '@' || *p == '\n')
            p++;
        if (!*p)
            break;
        lines[count++] = p;
        while (*p && *p != '@' && *p != '\n')
            p += CharLength(p);
        if (*p)
            *p++ = '\0';
    }
    return count;
}

static HICON MessageIcon(UINT iconBits)
{
    switch (iconBits) {
    case MB_ICONHAND: return LoadIconA(NULL, (LPCSTR)IDI_HAND);
    case MB_ICONQUESTION: return LoadIconA(NULL, (LPCSTR)IDI_QUESTION);
    case MB_ICONEXCLAMATION: return LoadIconA(NULL, (LPCSTR)IDI_EXCLAMATION);
    case MB_ICONASTERISK: return LoadIconA(NULL, (LPCSTR)IDI_ASTERISK);
    }
    return NULL;
}

static void LayOutMessage(HWND dialog)
{
    MessageDialogState &s = g_messageDialog;
    const MessageType &type = messageTypes[s.type];
    SetWindowTextA(dialog, s.caption);

    HWND dummy = GetDlgItem(dialog, IDC_MESSAGE_DUMMY);
    s.font = (HFONT)SendMessageA(dummy, WM_GETFONT, 0, 0);
    s.textColor = GetSysColor(COLOR_WINDOWTEXT);
    RECT d;
    GetControlRect(dialog, IDC_MESSAGE_DUMMY, &d);
    int W = d.right - d.left, H = d.bottom - d.top, L = d.left, T = d.top, G = L / 2;

    strcpy(s.split, s.text);
    s.lineCount = SplitMessageLines(s.split, s.lines);

    HDC dc = GetDC(dialog);
    HGDIOBJ oldFont = SelectObject(dc, s.font);
    SIZE size;
    GetTextExtentPoint32A(dc, "亜", 2, &size);
    s.lineHeight = size.cy + 2;
    int textWidth = 0;
    for (int i = 0; i < s.lineCount; i++) {
        GetTextExtentPoint32A(dc, s.lines[i], (int)strlen(s.lines[i]), &size);
        if (size.cx > textWidth)
            textWidth = size.cx;
    }
    SelectObject(dc, oldFont);
    ReleaseDC(dialog, dc);

    RECT window, client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    int extraX = (window.right - window.left) - client.right;
    int extraY = (window.bottom - window.top) - client.bottom;

    int iconSpace = s.icon ? L + 32 : 0;
    // Three buttons need the room of three, whatever the type's number.
    int n = (s.type == 2 || s.type == 3 || s.type == 5) ? 3 : 2;
    int width = 2 * L + textWidth + iconSpace;
    int buttonsWidth = n * W + (n - 1) * G + 2 * L;
    if (buttonsWidth > width)
        width = buttonsWidth;
    int textHeight = s.lineHeight * s.lineCount;
    int height = 3 * T + H + textHeight;
    int iconHeight = 3 * T + H + (s.icon ? 32 : 0);
    if (iconHeight > height)
        height = iconHeight;
    s.client.cx = width;
    s.client.cy = height;

    int middle = (height - T - H) / 2;
    s.textOrigin.x = s.icon ? 2 * L + 32 : L;
    s.iconOrigin.x = L;
    s.iconOrigin.y = middle - 16;
    s.textOrigin.y = middle - textHeight / 2;
    if (s.textOrigin.y < T)
        s.textOrigin.y = T;

    SetWindowPos(dialog, NULL, 0, 0, width + extraX, height + extraY, SWP_NOMOVE | SWP_NOZORDER);
    CenterOnMainWindow(dialog);

    int y = height - T - H, c = width / 2;
    int xs[3];
    if (type.buttonCount == 1) {
        xs[0] = c - W / 2;
    } else if (type.buttonCount == 2) {
        xs[0] = c - G / 2 - W;
        xs[1] = c + G / 2;
    } else {
        xs[0] = c - W / 2 - G - W;
        xs[1] = c - W / 2;
        xs[2] = c + W / 2 + G;
    }
    HWND first = NULL;
    for (int i = 0; i < type.buttonCount; i++) {
        DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON | WS_GROUP : BS_PUSHBUTTON);
        HWND button = CreateWindowExA(0, "BUTTON", type.captions[i], style, xs[i], y, W, H, dialog,
                                      (HMENU)(INT_PTR)type.ids[i], ResourceInstance(), NULL);
        SendMessageA(button, WM_SETFONT, (WPARAM)s.font, FALSE);
        if (i == 0)
            first = button;
    }
    SendMessageA(dialog, DM_SETDEFID, type.ids[0], 0);
    SetFocus(first);
    s.escapeAllowed = type.escapeAllowed;
}

static void PaintMessage(HWND dialog)
{
    const MessageDialogState &s = g_messageDialog;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    if (s.icon)
        DrawIconEx(dc, s.iconOrigin.x, s.iconOrigin.y, s.icon, 32, 32, 0, NULL, DI_NORMAL);
    HGDIOBJ oldFont = SelectObject(dc, s.font);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc, s.textColor);
    for (int i = 0; i < s.lineCount; i++)
        TextOutA(dc, s.textOrigin.x, s.textOrigin.y + i * s.lineHeight, s.lines[i], (int)strlen(s.lines[i]));
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    EndPaint(dialog, &ps);
}

static INT_PTR CALLBACK MessageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        LayOutMessage(dialog);
        return FALSE;
    case WM_PAINT:
        PaintMessage(dialog);
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id < IDOK || id > IDNO)
            return FALSE;
        if (id == IDCANCEL && !g_messageDialog.escapeAllowed)
            return TRUE;
        g_messageDialog.result = id;
        EndDialog(dialog, id);
        return TRUE;
    }
    }
    return FALSE;
}

int MessageDialog(HWND owner, const char *text, const char *caption, UINT flags)
{
    MessageDialogState &s = g_messageDialog;
    memset(&s, 0, sizeof s);
    int failBuffer = g_messageDialogFailBuffer;
    g_messageDialogFailBuffer = 0;
    char *converted = failBuffer == 1 ? NULL : (char *)LocalAlloc(LPTR, MESSAGE_BUFFER);
    if (!converted)
        return MessageBoxA(owner, text, caption, flags);
    DoubleLineFeeds(text, converted);
    char *split = failBuffer == 2 ? NULL : (char *)LocalAlloc(LPTR, strlen(converted) + 1);
    if (!split) {
        LocalFree(converted);
        return MessageBoxA(owner, text, caption, flags);
    }

    s.text = converted;
    s.split = split;
    s.caption = caption ? caption : "";
    s.type = (flags & 0x0F) < 6 ? (int)(flags & 0x0F) : 0;
    s.icon = MessageIcon(flags & 0xF0);
    MessageBeep(flags & 0xF0);

    INT_PTR result = DialogBoxParamA(ResourceInstance(), MAKEINTRESOURCEA(IDD_MESSAGE), owner, MessageDialogProc, 0);
    if (result < IDOK || result > IDNO)
        result = messageTypes[s.type].fallback;
    s.result = (int)result;
    s.text = NULL;
    s.split = NULL;
    s.lineCount = 0;
    for (int i = 0; i < MESSAGE_MAX_LINES; i++)
        s.lines[i] = NULL;
    LocalFree(split);
    LocalFree(converted);
    return (int)result;
}

void FormatErrorSentence(DWORD code, char *sentence)
{
    sentence[0] = '\0';
    if (code & 0x20000000) {
        snprintf(sentence, ERROR_SENTENCE, "ERROR OWN APPLICATION = %lu", (unsigned long)code);
        return;
    }
    // Ids from IDS_ERROR_TEXT_LIMIT on hold the program's other texts, never an error's.
    UINT id = code & 0xFFFF;
    if (id >= IDS_ERROR_TEXT_LIMIT || LoadStringA(ResourceInstance(), id, sentence, ERROR_SENTENCE) <= 0)
        snprintf(sentence, ERROR_SENTENCE, "UNKNOWN ERROR = %lu", (unsigned long)code);
}

// A decimal field: leading blanks, digits, nothing but blanks after them. Returns -1 otherwise
// (an all-blank field is 0).
static long ParseCountField(const char *field, int size)
{
    int i = 0;
    while (i < size && field[i] == ' ')
        i++;
    long value = 0;
    while (i < size && field[i] >= '0' && field[i] <= '9')
        value = value * 10 + (field[i++] - '0');
    while (i < size && field[i] == ' ')
        i++;
    return i == size ? value : -1;
}

// The record's code: leading blanks, then digits up to the first other byte. -1 for none.
static long ParseCodeField(const char *field)
{
    int i = 0;
    while (i < 6 && field[i] == ' ')
        i++;
    if (i == 6 || field[i] < '0' || field[i] > '9')
        return -1;
    long value = 0;
    while (i < 6 && field[i] >= '0' && field[i] <= '9')
        value = value * 10 + (field[i++] - '0');
    return value;
}

TallyResult TallyError(const char *directory, DWORD code)
{
    if (!directory || !directory[0])
        return TALLY_NO_FILE;
    char path[PATH_BUFFER + 16];
    lstrcpynA(path, directory, PATH_BUFFER);
    AppendBackslash(path, PATH_BUFFER);
    strcat(path, "ERROR.DAT");

    // A read-only tally stays as it is, even for a user whose rights would allow the write.
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return TALLY_NO_FILE;
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return TALLY_NO_FILE;
    TallyResult result = TALLY_NO_RECORD;
    char record[TALLY_RECORD];
    DWORD position = 0, got;
    // A short piece at the end is not a record and is never written.
    while (ReadFile(file, record, TALLY_RECORD, &got, NULL) && got == TALLY_RECORD) {
        long recordCode = ParseCodeField(record);
        if (recordCode >= 0 && ((DWORD)recordCode == code || recordCode == TALLY_CATCH_ALL)) {
            long count = ParseCountField(record + 6, 4);
            if (count < 0) {
                result = TALLY_BAD_COUNT;
                break;
            }
            if (count < 9999)
                count++;
            char text[8];
            snprintf(text, sizeof text, "%4ld", count);
            DWORD written;
            LONG high = 0;
            if (SetFilePointer(file, (LONG)(position + 6), &high, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
                WriteFile(file, text, 4, &written, NULL) && written == 4)
                result = TALLY_COUNTED;
            break;
        }
        position += TALLY_RECORD;
    }
    CloseHandle(file);
    return result;
}

void ShowLastError(HWND owner, const char *operation, const char *path1, const char *path2)
{
    DWORD code = GetLastError();
    char sentence[ERROR_SENTENCE];
    FormatErrorSentence(code, sentence);
    TallyError(ProgramDir, code);

    char *message = (char *)LocalAlloc(LPTR, MESSAGE_BUFFER);
    if (!message) {
        MessageBoxA(owner ? owner : g_mainWnd, sentence, "Kelpo - Error", MB_ICONHAND);
        return;
    }
    strcpy(message, sentence);
    const char *parts[3] = {operation, path1, path2};
    for (const char *part : parts) {
        if (!part)
            continue;
        size_t used = strlen(message);
        if (used + 2 >= MESSAGE_BUFFER)
            break;
        message[used] = '\n';
        TruncateBytes(part, message + used + 1, (int)(MESSAGE_BUFFER - used - 2));
    }
    MessageDialog(owner ? owner : g_mainWnd, message, "Kelpo - Error", MB_ICONHAND);
    LocalFree(message);
}
