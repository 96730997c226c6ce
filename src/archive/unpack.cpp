#include "archive/unpack.h"
#include "archive/archiver.h"
#include "screen/cursor.h"
#include "screen/repaint.h"
#include "base/commands.h"
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "screen/screen.h"
#include "screen/screendc.h"
#include "ui/msgdlg.h"
#include "tree/pathhistory.h"
#include "tree/tree.h"
#include "fileops/delete.h"
#include "archive_ids.h"
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

static const char caption[] = "Kelpo - Unpack";
enum { COMMAND_BUFFER = 4096, OUTPUT_BUFFER = 1024, DESTINATION_MAX = 512 };

static const char *const missingLibraryText[ARC_LIBRARY_COUNT] = {
    "UNLHA32.DLLがｲﾝｽﾄｰﾙされていませんので\nLZHのUnpackは出来ません",
    "UNZIP32.DLLがｲﾝｽﾄｰﾙされていませんので\nZIPのUnpackは出来ません",
};
static const char *const busyText[ARC_LIBRARY_COUNT] = {"UNLHA32.DLL は使用中です", "UNZIP32.DLL は使用中です"};
static const char *const invalidText[ARC_LIBRARY_COUNT] = {"不正なLZHファイルです", "不正なZIPファイルです"};

static void ShellOpen(const char *path)
{
    ShellExecuteA(NULL, NULL, path, NULL, NULL, SW_SHOWNORMAL);
}
void (*OpenExtractedMember)(const char *path) = ShellOpen;

int ArchiveKindOfExtension(const char *shortExt)
{
    char ext[8];
    lstrcpynA(ext, shortExt, sizeof ext);
    UpperAscii(ext);
    if (!strcmp(ext, "LZH"))
        return 1;
    if (!strcmp(ext, "ZIP"))
        return 2;
    return 0;
}

static void ReportError(HWND owner, int library, int code)
{
    char text[32];
    FormatArchiverError(library, code, text);
    MessageDialog(owner, text, caption, 16);
}

bool CreateUnpackTemporary(char *directory, size_t size)
{
    char parent[PATH_BUFFER];
    if (!GetTempPathA(sizeof parent, parent) || size < MAX_PATH || !GetTempFileNameA(parent, "KLP", 0, directory))
        return false;
    DeleteFileA(directory);
    SECURITY_ATTRIBUTES security = {sizeof security, NULL, TRUE};
    return CreateDirectoryA(directory, &security) != 0;
}

void RemoveUnpackTemporary(const char *directory)
{
    SetCurrentDirectoryA(CurrentPath);
    DeleteConfirm = 0;
    AbortFlag = 0;
    DeleteTree(directory);
    AbortFlag = 0;
}

// Runs command through the freshly loaded library from the directory of the file list.
static int RunArchiverCommand(HWND owner, int library, const char *command)
{
    SetCurrentDirectoryA(CurrentPath);
    ReloadArchiver(library);
    char output[OUTPUT_BUFFER];
    output[0] = '\0';
    return ArcCommand(library, owner, command, output, sizeof output);
}

int ExtractMembers(HWND owner, int library, const char *archive, const char *destination, const char *temporary,
                   const MemberRecord *records, const BYTE *marks, int count)
{
    char response[PATH_BUFFER], shortResponse[PATH_BUFFER], target[PATH_BUFFER];
    snprintf(response, sizeof response, "%s\\$UNPACK.LST", temporary);
    FILE *file = fopen(response, "wb");
    if (!file)
        return UNPACK_NO_RESPONSE_FILE;
    if (!GetShortPathNameA(response, shortResponse, sizeof shortResponse))
        lstrcpynA(shortResponse, response, sizeof shortResponse);
    lstrcpynA(target, destination, sizeof target);
    AppendBackslash(target);
    fprintf(file, library == ARC_LZH ? "X -x1a1 \"%s\" \"%s\"\r\n" : "-x \"%s\" \"%s\"\r\n", archive, target);
    int marked = 0;
    for (int i = 0; i < count; i++)
        marked += !marks || marks[i];
    // Every member asked for: one wildcard. The libraries match each name against every member,
    // which grows with the square of the count, and a listing cut short or a name cut to the
    // record's field would miss members that the wildcard still finds.
    if (marked == count)
        fputs("\"*.*\"\r\n", file);
    else
        for (int i = 0; i < count; i++)
            if (marks[i])
                fprintf(file, "\"%s\"\r\n", records[i].name);
    int result = UNPACK_NO_RESPONSE_FILE;
    if (fclose(file) == 0) {
        char command[PATH_BUFFER + 2];
        snprintf(command, sizeof command, "@%s", shortResponse);
        result = RunArchiverCommand(owner, library, command);
    }
    DeleteFileA(response);
    return result;
}

// ---- destination dialog ----

static void OnDestinationInit(HWND dialog)
{
    CenterOnMainWindow(dialog);
    PushPathHistory(UnpackDestination);
    SendDlgItemMessageA(dialog, IDC_UNPACK_DEST_PATH, CB_LIMITTEXT, DESTINATION_MAX, 0);
    FillPathCombo(dialog);
    SendDlgItemMessageA(dialog, IDC_UNPACK_DEST_PATH, CB_SETCURSEL, 0, 0);
}

bool ReadDestinationCombo(HWND dialog, int id, const char *title, char *destination)
{
    char text[PATH_BUFFER];
    GetDlgItemTextA(dialog, id, text, DESTINATION_MAX + 1);
    ExpandDriveEntry(text);
    if (text[0] == '\0' || text[1] != ':') {
        MessageDialog(dialog, "正しいﾄﾞﾗｲﾌﾞ名を入力してください", title, 48);
        return false;
    }
    lstrcpynA(destination, text, DESTINATION_MAX + 1);
    PushPathHistory(destination);
    return true;
}

void BrowseDestinationCombo(HWND dialog, int id)
{
    char path[PATH_BUFFER];
    GetDlgItemTextA(dialog, id, path, DESTINATION_MAX + 1);
    if (OpenDirectoryTree(dialog, path))
        SetDlgItemTextA(dialog, id, path);
}

static INT_PTR CALLBACK DestinationProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnDestinationInit(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            if (ReadDestinationCombo(dialog, IDC_UNPACK_DEST_PATH, caption, UnpackDestination))
                EndDialog(dialog, 1);
        } else if (LOWORD(wParam) == IDC_UNPACK_DEST_TREE) {
            BrowseDestinationCombo(dialog, IDC_UNPACK_DEST_PATH);
        } else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

int RunUnpackDestination(HWND owner)
{
    return (int)DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_UNPACK_DEST), owner, DestinationProc, 0);
}

// ---- the listing dialog ----

static struct {
    int library;
    const char *archive;        // short form
    int count;
    HGLOBAL block;
    MemberRecord *records;
    BYTE *marks;
    int marked;
    int longestName;
    int charWidth, rowHeight, nameWidth;
    HBRUSH brush;
    char temporary[PATH_BUFFER];
    bool listedAll;
} unpack;

static void UpdateButtons(HWND dialog)
{
    EnableWindow(GetDlgItem(dialog, IDC_UNPACK_EXTRACT), unpack.marked > 0);
    EnableWindow(GetDlgItem(dialog, IDC_UNPACK_VIEW), unpack.marked == 0);
}

static void Recount()
{
    unpack.marked = 0;
    for (int i = 0; i < unpack.count; i++)
        unpack.marked += unpack.marks[i];
}

static int CurrentMember(HWND dialog)
{
    LRESULT item = SendDlgItemMessageA(dialog, IDC_UNPACK_LIST, LB_GETCURSEL, 0, 0);
    if (item == LB_ERR)
        return -1;
    return (int)SendDlgItemMessageA(dialog, IDC_UNPACK_LIST, LB_GETITEMDATA, item, 0);
}

static void ReleaseListing()
{
    if (unpack.temporary[0]) {
        RemoveUnpackTemporary(unpack.temporary);
        unpack.temporary[0] = '\0';
    }
    if (unpack.block) {
        GlobalUnlock(unpack.block);
        GlobalFree(unpack.block);
        unpack.block = NULL;
    }
    free(unpack.marks);
    unpack.marks = NULL;
    if (unpack.brush)
        DeleteObject(unpack.brush);
    unpack.brush = NULL;
}

static bool ListMembers(HWND dialog)
{
    HANDLE archive = ArcOpenArchive(unpack.library, dialog, unpack.archive, 1);
    if (!archive) {
        MessageDialog(dialog, "アーカイブをオープンできません", caption, 16);
        return false;
    }
    HWND list = GetDlgItem(dialog, IDC_UNPACK_LIST);
    SendMessageA(list, WM_SETFONT, (WPARAM)MainFont, 0);
    {
        WindowFontDC dc(list);
        SIZE size;
        GetTextExtentPoint32A(dc, "Mj", 2, &size);
        unpack.rowHeight = size.cy;
        unpack.charWidth = size.cx / 2;
    }
    SendMessageA(list, LB_SETITEMHEIGHT, 0, unpack.rowHeight);
    ShowHourglass();
    int listed = 0;
    int found = ArcFindFirst(unpack.library, archive, "*.*", &unpack.records[0]);
    while (found == 0 && listed < unpack.count) {
        unpack.marks[listed] = 0;
        int length = (int)strlen(unpack.records[listed].name);
        if (length > unpack.longestName)
            unpack.longestName = length;
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)listed);
        listed++;
        if (listed < unpack.count)
            found = ArcFindNext(unpack.library, archive, &unpack.records[listed]);
    }
    bool complete = unpack.library != ARC_ZIP || ZipListingComplete(archive);
    ArcCloseArchive(unpack.library, archive);
    HideHourglass();
    if (!complete)
        MessageDialog(dialog, "ZIPの一覧が長すぎるため\n一部のﾒﾝﾊﾞｰしか表示していません", caption, 48);
    unpack.count = listed;
    int extra = unpack.library == ARC_LZH ? 65 : 71;
    SendMessageA(list, LB_SETHORIZONTALEXTENT, (WPARAM)((unpack.longestName + extra) * unpack.charWidth), 0);
    unpack.nameWidth = (unpack.longestName + 1) * unpack.charWidth;
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    return true;
}

static bool OnListingInit(HWND dialog)
{
    static const ControlAdjust adjust[] = {
        {IDC_UNPACK_NAME, ADJUST_WIDEN},
        {IDC_UNPACK_LIST, ADJUST_WIDEN | ADJUST_HEIGHTEN},
        {IDC_UNPACK_LIBRARY, ADJUST_MOVE_DOWN},
        {IDC_UNPACK_VIEW, ADJUST_MOVE_RIGHT | ADJUST_MOVE_DOWN},
        {IDC_UNPACK_EXTRACT, ADJUST_MOVE_RIGHT | ADJUST_MOVE_DOWN},
        {IDCANCEL, ADJUST_MOVE_RIGHT | ADJUST_MOVE_DOWN},
    };
    StretchDialogToMain(dialog, sizeof adjust / sizeof adjust[0], adjust, CellHeight, TopOffset);
    PlaceAtGridRow(dialog, CellHeight, TopOffset);
    char version[32];
    FormatArchiverVersion(unpack.library, version);
    SetDlgItemTextA(dialog, IDC_UNPACK_LIBRARY, version);
    SetDlgItemTextA(dialog, IDC_UNPACK_NAME, CursorName);
    while (ArcGetRunning(unpack.library))
        if (MessageDialog(dialog, busyText[unpack.library], caption, 21) != IDRETRY)
            return false;
    if (!ArcCheckArchive(unpack.library, unpack.archive, 0)) {
        MessageDialog(dialog, invalidText[unpack.library], caption, 16);
        return false;
    }
    unpack.count = ArcGetFileCount(unpack.library, unpack.archive);
    if (unpack.count < 0)
        unpack.count = 0;
    unpack.block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, (SIZE_T)(unpack.count + 1) * sizeof(MemberRecord));
    unpack.records = unpack.block ? (MemberRecord *)GlobalLock(unpack.block) : NULL;
    unpack.marks = (BYTE *)calloc((size_t)unpack.count + 1, 1);
    if (!unpack.records || !unpack.marks) {
        MessageDialog(dialog, "解凍用のメモリを確保できません", caption, 16);
        return false;
    }
    if (!ListMembers(dialog))
        return false;
    if (!CreateUnpackTemporary(unpack.temporary, sizeof unpack.temporary)) {
        unpack.temporary[0] = '\0';
        MessageDialog(dialog, "一時ﾃﾞｨﾚｸﾄﾘを作成できません", caption, 16);
        return false;
    }
    unpack.brush = CreateSolidBrush(Settings.colors[CL_BACK]);
    unpack.marked = 0;
    UpdateButtons(dialog);
    return true;
}

void FormatMemberDetails(int library, const MemberRecord *m, char *details, size_t size)
{
    int year = (m->date >> 9) + 1980, month = m->date >> 5 & 15, day = m->date & 31;
    int hour = m->time >> 11, minute = m->time >> 5 & 63, second = (m->time & 31) * 2;
    snprintf(details, size,
             library == ARC_LZH ? "%9lu %9lu %3d.%01d%% %04d-%02d-%02d %2d:%02d:%02d %-4.4s %-5.5s %04lX"
                                : "%9lu %9lu %3d.%01d%% %04d-%02d-%02d %2d:%02d:%02d %-4.4s %-7.7s %08lX",
             (unsigned long)m->originalSize, (unsigned long)m->compressedSize, m->ratio / 10, m->ratio % 10, year,
             month, day, hour, minute, second, m->attribute, m->method, (unsigned long)m->crc);
}

static void DrawMember(const DRAWITEMSTRUCT *item)
{
    if (item->itemID == (UINT)-1)
        return;
    const MemberRecord &m = unpack.records[item->itemData];
    COLORREF back = Settings.colors[CL_BACK];
    COLORREF color = Settings.colors[CL_NORMAL];
    if (m.attribute[1] == 'S')
        color = Settings.colors[CL_SYSTEM];
    if (m.attribute[2] == 'H')
        color = Settings.colors[CL_HIDDEN];
    if (m.attribute[3] == 'R')
        color = Settings.colors[CL_RDONLY];
    HDC dc = item->hDC;
    bool focused = (item->itemState & ODS_FOCUS) != 0;
    bool selected = (item->itemState & ODS_SELECTED) != 0;
    RECT all = item->rcItem;
    FillRect(dc, &all, unpack.brush);
    RECT row = all;
    row.left += unpack.charWidth;
    {
        OwnedObject brush(dc, CreateSolidBrush(focused ? color : back));
        if (selected || focused) {
            OwnedObject pen(dc, CreatePen(PS_SOLID, 1, color));
            Rectangle(dc, row.left, row.top, row.right, row.bottom);
        } else {
            SelectedObject pen(dc, GetStockObject(NULL_PEN));
            Rectangle(dc, row.left, row.top, row.right + 1, row.bottom + 1);
        }
    }
    SelectedObject font(dc, MainFont);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, back);
    SetTextColor(dc, Settings.colors[CL_MARK]);
    TextOutA(dc, all.left, all.top, unpack.marks[item->itemData] ? "*" : " ", 1);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, focused ? back : color);
    TextOutA(dc, all.left + unpack.charWidth + 1, all.top, m.name, (int)strlen(m.name));
    char details[MEMBER_DETAILS_BUFFER];
    FormatMemberDetails(unpack.library, &m, details, sizeof details);
    TextOutA(dc, all.left + unpack.charWidth + unpack.nameWidth + 1, all.top, details, (int)strlen(details));
}

static int RunExtraction(HWND dialog, const char *command)
{
    ShowHourglass();
    int result = RunArchiverCommand(dialog, unpack.library, command);
    HideHourglass();
    return result;
}

static void ViewMember(HWND dialog)
{
    int member = CurrentMember(dialog);
    if (member < 0)
        return;
    const char *name = unpack.records[member].name;
    char directory[PATH_BUFFER], command[COMMAND_BUFFER];
    lstrcpynA(directory, unpack.temporary, sizeof directory);
    AppendBackslash(directory);
    snprintf(command, sizeof command, unpack.library == ARC_LZH ? "X \"%s\" \"%s\" \"%s\"" : "-x -o \"%s\" \"%s\" \"%s\"",
             unpack.archive, directory, name);
    if (RunExtraction(dialog, command) != 0)
        return;
    char path[PATH_BUFFER];
    snprintf(path, sizeof path, "%s%s", directory, name);
    OpenExtractedMember(path);
}

static void ExtractCurrent(HWND dialog)
{
    int member = CurrentMember(dialog);
    if (member < 0 || !RunUnpackDestination(dialog))
        return;
    char destination[PATH_BUFFER], command[COMMAND_BUFFER];
    lstrcpynA(destination, UnpackDestination, sizeof destination);
    AppendBackslash(destination);
    snprintf(command, sizeof command,
             unpack.library == ARC_LZH ? "X -x1a1r2 \"%s\" \"%s\" \"%s\"" : "-x \"%s\" \"%s\" \"%s\"", unpack.archive,
             destination, unpack.records[member].name);
    int result = RunExtraction(dialog, command);
    if (result != 0)
        ReportError(dialog, unpack.library, result);
}

static void ExtractMarked(HWND dialog)
{
    if (!RunUnpackDestination(dialog))
        return;
    ShowHourglass();
    int result = ExtractMembers(dialog, unpack.library, unpack.archive, UnpackDestination, unpack.temporary,
                                unpack.records, unpack.marks, unpack.count);
    HideHourglass();
    if (result == UNPACK_NO_RESPONSE_FILE) {
        MessageDialog(dialog, "解凍用ﾚｽﾎﾟﾝｽﾌｧｲﾙを作成できません", caption, 16);
    } else if (result == 0) {
        ReleaseListing();
        EndDialog(dialog, 1);
    } else {
        ReportError(dialog, unpack.library, result);
    }
}

static LRESULT OnListKey(HWND dialog, UINT key, int item)
{
    HWND list = GetDlgItem(dialog, IDC_UNPACK_LIST);
    if (item < 0 || unpack.count == 0)
        return -1;
    int member = (int)SendMessageA(list, LB_GETITEMDATA, item, 0);
    switch (key) {
    case VK_SPACE:
        unpack.marks[member] ^= 1;
        Recount();
        UpdateButtons(dialog);
        InvalidateRect(list, NULL, FALSE);
        if (item + 1 < unpack.count)
            SendMessageA(list, LB_SETCURSEL, item + 1, 0);
        return -2;
    case VK_HOME: {
        bool invert = IsShifted();
        BYTE value = unpack.marked < unpack.count ? 1 : 0;
        for (int i = 0; i < unpack.count; i++)
            unpack.marks[i] = invert ? (BYTE)(unpack.marks[i] ^ 1) : value;
        Recount();
        UpdateButtons(dialog);
        InvalidateRect(list, NULL, FALSE);
        return -2;
    }
    case 'U':
        ExtractCurrent(dialog);
        return -2;
    }
    return -1;
}

static INT_PTR CALLBACK ListingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        if (!OnListingInit(dialog)) {
            ReleaseListing();
            EndDialog(dialog, 0);
        }
        return TRUE;
    case WM_DRAWITEM:
        if (wParam == IDC_UNPACK_LIST)
            DrawMember((const DRAWITEMSTRUCT *)lParam);
        return TRUE;
    case WM_CTLCOLORLISTBOX:
        if (unpack.brush)
            return (INT_PTR)unpack.brush;
        return FALSE;
    case WM_VKEYTOITEM:
        if ((HWND)lParam == GetDlgItem(dialog, IDC_UNPACK_LIST))
            return OnListKey(dialog, LOWORD(wParam), (short)HIWORD(wParam));
        return -1;
    case WM_CHARTOITEM:
        return -2;      // the keys are taken as keys, not as a search by first letter
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (unpack.marked > 0)
                ExtractMarked(dialog);
            else
                ViewMember(dialog);
            return TRUE;
        case IDC_UNPACK_VIEW:
            ViewMember(dialog);
            return TRUE;
        case IDC_UNPACK_EXTRACT:
            ExtractMarked(dialog);
            return TRUE;
        case IDC_UNPACK_LIBRARY: {
            char buffer[PATH_BUFFER] = "";
            ArcConfigDialog(unpack.library, dialog, buffer, 1);
            return TRUE;
        }
        case IDC_UNPACK_LIST:
            if (HIWORD(wParam) == LBN_DBLCLK)
                ViewMember(dialog);
            return TRUE;
        case IDCANCEL:
            ReleaseListing();
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

int RunUnpackListing(HWND owner, const char *archive, int kind)
{
    char shortPath[PATH_BUFFER];
    if (!GetShortPathNameA(archive, shortPath, sizeof shortPath))
        lstrcpynA(shortPath, archive, sizeof shortPath);
    memset(&unpack, 0, sizeof unpack);
    unpack.library = kind == 1 ? ARC_LZH : ARC_ZIP;
    unpack.archive = shortPath;
    int result = (int)DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_UNPACK), owner, ListingProc, 0);
    ReleaseListing();
    return result;
}

// ---- the command ----

static void PumpPending()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (!TranslateAcceleratorA(g_mainWnd, g_accel, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

// Makes the library of kind usable; false (after saying so) when it cannot be loaded.
static bool EnsureLibrary(HWND hwnd, int library)
{
    if (ArchiverAvailable[library])
        return true;
    ArchiverAvailable[library] = LoadArchiver(library) != 0;
    if (!ArchiverAvailable[library])
        MessageDialog(hwnd, missingLibraryText[library], caption, 16);
    return ArchiverAvailable[library];
}

// The marked archives are taken before the destination is asked for: the folder may be read
// again meanwhile (a change seen by its watcher), which clears the marks.
struct MarkedArchive {
    std::string name;
    int kind;
};

static void UnpackMarked(HWND hwnd, int kinds)
{
    std::vector<MarkedArchive> archives;
    LockFileTable();
    for (int position = 0; position < EntryCount; position++) {
        const FileEntry *e = EntryAt(position);
        int kind = e->mark ? ArchiveKindOfExtension(e->shortExt) : 0;
        if (kind & kinds)
            archives.push_back({LongNameAt(position), kind});
    }
    UnlockFileTable();
    if (!RunUnpackDestination(hwnd))
        return;
    char destination[PATH_BUFFER], directory[PATH_BUFFER];
    lstrcpynA(destination, UnpackDestination, sizeof destination);
    AppendBackslash(destination);
    lstrcpynA(directory, CurrentPath, sizeof directory);
    AppendBackslash(directory);
    RememberCursorEntry();
    BusyFlag = 1;
    AbortFlag = 0;
    ShowHourglass();
    for (const MarkedArchive &archive : archives) {
        PumpPending();
        if (AbortFlag)
            break;
        int position = FindPositionByName(archive.name.c_str());
        if (position >= 0) {
            int perPage = PageSize();
            PageTop = position - position % perPage;
            CursorSlot = position - PageTop;
            RepaintGrid(hwnd);
            PumpPending();
        }
        int library = archive.kind == 1 ? ARC_LZH : ARC_ZIP;
        char command[COMMAND_BUFFER];
        snprintf(command, sizeof command, library == ARC_LZH ? "X -x1a1 \"%s%s\" \"%s\" *.*" : "-x \"%s%s\" \"%s\" *.*",
                 directory, archive.name.c_str(), destination);
        RunArchiverCommand(hwnd, library, command);
    }
    HideHourglass();
    BusyFlag = 0;
    ReloadRequest = 2;
    RepaintGrid(hwnd);
}

void UnpackCommand(HWND hwnd)
{
    if (ScreenMode != 0 || NoFiles)
        return;
    LockFileTable();
    const FileEntry *cursor = EntryAt(PageTop + CursorSlot);
    char name[PATH_BUFFER], path[PATH_BUFFER];
    lstrcpynA(name, LongNameAt(PageTop + CursorSlot), sizeof name);
    int kinds = 0;
    if (MarkedCount == 0) {
        kinds = ArchiveKindOfExtension(cursor->shortExt);
    } else {
        for (int position = 0; position < EntryCount; position++)
            if (EntryAt(position)->mark)
                kinds |= ArchiveKindOfExtension(EntryAt(position)->shortExt);
    }
    UnlockFileTable();
    lstrcpynA(path, CurrentPath, sizeof path);
    AppendBackslash(path);
    strncat(path, name, sizeof path - strlen(path) - 1);
    if (ExtArchiverPath[0]) {
        char command[COMMAND_BUFFER];
        if (!GetShortPathNameA(ExtArchiverPath, command, sizeof command))
            lstrcpynA(command, ExtArchiverPath, sizeof command);
        QuoteIfSpaced(path);
        strncat(command, " ", sizeof command - strlen(command) - 1);
        strncat(command, path, sizeof command - strlen(command) - 1);
        ShowHourglass();
        WinExec(command, SW_SHOWNORMAL);
        HideHourglass();
        return;
    }
    if (!UnpackDestination[0])
        lstrcpynA(UnpackDestination, CurrentPath, DESTINATION_MAX + 1);
    if (kinds == 0)
        return;
    if ((kinds & 1) && !EnsureLibrary(hwnd, ARC_LZH))
        kinds &= ~1;
    if ((kinds & 2) && !EnsureLibrary(hwnd, ARC_ZIP))
        kinds &= ~2;
    if (kinds == 0)
        return;
    if (MarkedCount == 0) {
        lstrcpynA(CursorName, name, PATH_BUFFER);
        if (RunUnpackListing(hwnd, path, kinds) == 1) {
            ReloadRequest = 2;
            RepaintGrid(hwnd);
        }
    } else {
        UnpackMarked(hwnd, kinds);
    }
}
