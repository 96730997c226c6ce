#include "info/infodlg.h"
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/diskspace.h"
#include "filelist/pathutil.h"
#include "screen/screen.h"
#include "screen/screendc.h"
#include "ui/msgdlg.h"
#include "info_ids.h"
#include <stdio.h>
#include <string.h>

static const char caption[] = "Kelpo - Information";

int CollectInfoDrives(InfoDrive *drives, int *selected)
{
    int count = 0;
    *selected = 0;
    DWORD present = GetLogicalDrives();
    char current = CurrentPath && CurrentPath[0] ? (char)(CurrentPath[0] & 0xDF) : 0;
    for (int letter = 0; letter < 26 && count < INFO_DRIVE_MAX; letter++) {
        if (!(present & (1u << letter)))
            continue;
        char root[4] = {(char)('A' + letter), ':', '\\', '\0'};
        UINT type = GetDriveTypeA(root);
        if (type < DRIVE_REMOVABLE)
            continue;
        InfoDrive *d = &drives[count];
        memset(d, 0, sizeof *d);
        DWORD maxComponent, flags;
        if (!GetVolumeInformationA(root, d->label, 20, &d->serial, &maxComponent, &flags, d->fileSystem, 20))
            continue;
        d->name[0] = root[0];
        d->name[1] = ':';
        d->type = (int)type - 2;
        d->valid = 1;
        if (type == DRIVE_REMOTE) {
            DWORD size = sizeof d->remoteName;
            if (WNetGetConnectionA(d->name, d->remoteName, &size) != NO_ERROR) {
                ShowLastError(NULL, "WNetGetConnection", d->name, NULL);
                d->remoteName[0] = '\0';
            }
        }
        if (root[0] == current)
            *selected = count;
        count++;
    }
    return count;
}

const char *InfoUnitName(int unit)
{
    static const char *const names[3] = {"MB", "KB", "ﾊﾞｲﾄ"};
    return names[unit >= 0 && unit < 3 ? unit : 2];
}

void FormatInfoSize(double bytes, int unit, char *out)
{
    static const double scale[3] = {9.5367431640625e-7, 0.0009765625, 1.0};
    char digits[48];
    snprintf(digits, sizeof digits, "%.0f", bytes * scale[unit >= 0 && unit < 3 ? unit : 2]);
    GroupThousands(digits, out);
}

void ProcessorName(DWORD type, char *out)
{
    static const struct {
        DWORD type;
        const char *name;
    } names[] = {
        {386, "Intel 80386"},  {486, "Intel i486"}, {586, "Intel Pentium"}, {686, "Intel Pentium Pro"},
        {2000, "MIPS R2000"}, {3000, "MIPS R3000"}, {4000, "MIPS R4000"}, {21064, "DEC Alpha 21064"},
    };
    for (const auto &n : names) {
        if (n.type == type) {
            strcpy(out, n.name);
            return;
        }
    }
    snprintf(out, 32, "Unknown(%ld)", (long)type);
}

void WindowsVersionText(const OSVERSIONINFOA *version, char *out)
{
    snprintf(out, 160, "%ld.%02ld.%03ld%s", (long)version->dwMajorVersion, (long)version->dwMinorVersion,
             (long)version->dwBuildNumber, version->szCSDVersion);
}

// GlobalMemoryStatus counts in 32 bits; the extended query, where the system has it, does not.
void PhysicalMemory(double *total, double *available, DWORD *load)
{
    struct StatusEx {
        DWORD length, load;
        unsigned long long totalPhys, availPhys, totalPageFile, availPageFile, totalVirtual, availVirtual,
            availExtendedVirtual;
    };
    typedef BOOL(WINAPI * StatusExCall)(StatusEx *);
    StatusExCall statusEx =
        (StatusExCall)(void (*)())GetProcAddress(GetModuleHandleA("KERNEL32.DLL"), "GlobalMemoryStatusEx");
    StatusEx ex = {};
    ex.length = sizeof ex;
    if (statusEx && statusEx(&ex)) {
        *total = (double)ex.totalPhys;
        *available = (double)ex.availPhys;
        *load = ex.load;
        return;
    }
    MEMORYSTATUS status = {};
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    *total = (double)status.dwTotalPhys;
    *available = (double)status.dwAvailPhys;
    *load = status.dwMemoryLoad;
}

// ---- the dialog ----

static InfoDrive drives[INFO_DRIVE_MAX];
static int driveCount, shownDrive, textHeight;

static void SetUnitLabels(HWND dialog)
{
    for (int id = IDC_INFO_UNIT_FIRST; id <= IDC_INFO_UNIT_LAST; id++)
        SetDlgItemTextA(dialog, id, InfoUnitName(Settings.infounit));
}

static void SetSize(HWND dialog, int id, double bytes)
{
    char text[64];
    FormatInfoSize(bytes, Settings.infounit, text);
    SetDlgItemTextA(dialog, id, text);
}

static void FillDriveFields(HWND dialog, int index)
{
    if (index < 0 || index >= driveCount)
        return;
    const InfoDrive *d = &drives[index];
    char root[4] = {d->name[0], ':', '\\', '\0'};
    DiskInfo disk;
    QueryDiskSpace(root, &disk);
    double cluster = (double)disk.bytesPerSector * disk.sectorsPerCluster;
    bool remote = d->type == DRIVE_REMOTE - 2;
    EnableWindow(GetDlgItem(dialog, IDC_INFO_REMOTE_CAPTION), remote);
    EnableWindow(GetDlgItem(dialog, IDC_INFO_REMOTE), remote);
    SetDlgItemTextA(dialog, IDC_INFO_REMOTE, remote ? d->remoteName : "ﾛｰｶﾙﾃﾞｨｽｸ");
    SendDlgItemMessageA(dialog, IDC_INFO_LABEL, EM_SETREADONLY, remote || d->type == DRIVE_CDROM - 2, 0);
    SetDlgItemTextA(dialog, IDC_INFO_LABEL, d->label);
    char text[64];
    snprintf(text, sizeof text, "%08lX", (unsigned long)d->serial);
    SetDlgItemTextA(dialog, IDC_INFO_SERIAL, text);
    SetDlgItemTextA(dialog, IDC_INFO_FILESYSTEM, d->fileSystem);
    // The exact byte counts: cluster products overflow no field and stay right above 4 GiB.
    double total = (double)disk.totalBytes, freeBytes = (double)disk.freeBytes;
    SetSize(dialog, IDC_INFO_TOTAL, total);
    SetSize(dialog, IDC_INFO_USED, total > freeBytes ? total - freeBytes : 0);
    SetSize(dialog, IDC_INFO_FREE, freeBytes);
    FormatCount(disk.bytesPerSector, text);
    SetDlgItemTextA(dialog, IDC_INFO_SECTOR, text);
    FormatCount((DWORD)cluster, text);
    SetDlgItemTextA(dialog, IDC_INFO_CLUSTER, text);
    double memoryTotal, memoryFree;
    DWORD load;
    PhysicalMemory(&memoryTotal, &memoryFree, &load);
    SetSize(dialog, IDC_INFO_MEMORY_TOTAL, memoryTotal);
    SetSize(dialog, IDC_INFO_MEMORY_FREE, memoryFree);
    snprintf(text, sizeof text, "%ld%%", (long)load);
    SetDlgItemTextA(dialog, IDC_INFO_MEMORY_LOAD, text);
    shownDrive = index;
}

// The label typed for the drive being left (or confirmed with OK) is applied after asking.
static void CheckLabelChange(HWND dialog)
{
    if (shownDrive < 0 || shownDrive >= driveCount)
        return;
    InfoDrive *d = &drives[shownDrive];
    // The whole field: a label longer than the typing limit (NTFS allows 32 characters) is shown
    // whole, and reading less of it would take it for an edit and cut it on Yes.
    char typed[sizeof d->label + 12];
    GetDlgItemTextA(dialog, IDC_INFO_LABEL, typed, sizeof typed);
    if (strcmp(typed, d->label) == 0)
        return;
    if (MessageDialog(dialog, "ﾎﾞﾘｭｰﾑﾗﾍﾞﾙが変更されています\nﾗﾍﾞﾙを変更しますか？", caption, 36) != IDYES)
        return;
    char root[4] = {d->name[0], ':', '\\', '\0'};
    if (SetVolumeLabelA(root, typed))
        lstrcpynA(d->label, typed, sizeof d->label);
    else
        ShowLastError(dialog, "ﾎﾞﾘｭｰﾑﾗﾍﾞﾙを変更できません", root, NULL);
}

static void FillSystemFields(HWND dialog)
{
    char text[256];
    DWORD size = sizeof text;
    text[0] = '\0';
    GetComputerNameA(text, &size);
    SetDlgItemTextA(dialog, IDC_INFO_COMPUTER, text);
    size = sizeof text;
    text[0] = '\0';
    GetUserNameA(text, &size);
    SetDlgItemTextA(dialog, IDC_INFO_USER, text);
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    ProcessorName(system.dwProcessorType, text);
    SetDlgItemTextA(dialog, IDC_INFO_CPU, text);
    snprintf(text, sizeof text, "%lu", (unsigned long)system.dwNumberOfProcessors);
    SetDlgItemTextA(dialog, IDC_INFO_CPU_COUNT, text);
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    WindowsVersionText(&version, text);
    SetDlgItemTextA(dialog, IDC_INFO_WINDOWS, text);
}

static void OnInfoInit(HWND dialog)
{
    CenterOnMainWindow(dialog);
    {
        WindowFontDC dc(GetDesktopWindow());
        textHeight = GetDeviceCaps(dc, LOGPIXELSY) * 10 / 72;
    }
    int selected = 0;
    driveCount = CollectInfoDrives(drives, &selected);
    HWND list = GetDlgItem(dialog, IDC_INFO_DRIVE);
    for (int i = 0; i < driveCount; i++) {
        int item = (int)SendMessageA(list, CB_ADDSTRING, 0, (LPARAM)drives[i].name);
        SendMessageA(list, CB_SETITEMDATA, item, i);
    }
    SendMessageA(list, CB_SETCURSEL, selected, 0);
    SendDlgItemMessageA(dialog, IDC_INFO_LABEL, EM_LIMITTEXT, 12, 0);
    int unit = Settings.infounit <= 2 ? Settings.infounit : 2;
    CheckRadioButton(dialog, IDC_INFO_UNIT_MB, IDC_INFO_UNIT_BYTES, IDC_INFO_UNIT_MB + unit);
    TabStopOnCheckedRadio(GetDlgItem(dialog, IDC_INFO_UNIT_MB + unit));
    SetUnitLabels(dialog);
    shownDrive = -1;
    FillDriveFields(dialog, selected);
    FillSystemFields(dialog);
}

static void OnDrawDriveItem(const DRAWITEMSTRUCT *item)
{
    if (item->itemID == (UINT)-1 || (int)item->itemData < 0 || (int)item->itemData >= driveCount)
        return;
    const InfoDrive *d = &drives[item->itemData];
    COLORREF text = DrawListItemBackground(item);
    int height = item->rcItem.bottom - item->rcItem.top;
    if (d->type >= 0 && d->type < 5 && TreeIcons[d->type])
        DrawIconEx(item->hDC, item->rcItem.left + 4, item->rcItem.top + (height - 10) / 2 - 3, TreeIcons[d->type], 16,
                   16, 0, NULL, DI_NORMAL);
    SetTextColor(item->hDC, text);
    SetBkMode(item->hDC, TRANSPARENT);
    TextOutA(item->hDC, item->rcItem.left + 32, item->rcItem.top + (height - textHeight) / 2, d->name,
             (int)strlen(d->name));
}

static void OnInfoCommand(HWND dialog, int id, int notification)
{
    switch (id) {
    case IDC_INFO_DRIVE:
        if (notification == CBN_SELCHANGE) {
            CheckLabelChange(dialog);
            int item = (int)SendDlgItemMessageA(dialog, IDC_INFO_DRIVE, CB_GETCURSEL, 0, 0);
            FillDriveFields(dialog, (int)SendDlgItemMessageA(dialog, IDC_INFO_DRIVE, CB_GETITEMDATA, item, 0));
        }
        break;
    case IDC_INFO_UNIT_MB:
    case IDC_INFO_UNIT_KB:
    case IDC_INFO_UNIT_BYTES:
        Settings.infounit = (BYTE)(id - IDC_INFO_UNIT_MB);
        TabStopOnCheckedRadio(GetDlgItem(dialog, id));
        SetUnitLabels(dialog);
        FillDriveFields(dialog, shownDrive);
        break;
    case IDOK:
        CheckLabelChange(dialog);
        EndDialog(dialog, 1);
        break;
    case IDCANCEL:
        EndDialog(dialog, 0);
        break;
    }
}

static INT_PTR CALLBACK InfoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInfoInit(dialog);
        return TRUE;
    case WM_MEASUREITEM:
        ((MEASUREITEMSTRUCT *)lParam)->itemHeight = 18;
        return TRUE;
    case WM_DRAWITEM:
        OnDrawDriveItem((const DRAWITEMSTRUCT *)lParam);
        return TRUE;
    case WM_COMMAND:
        OnInfoCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

int RunInfoDialog(HWND owner)
{
    HINSTANCE instance = ResourceInstance();
    return (int)DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_INFO), owner, InfoDialogProc, 0);
}

void InfoCommand(HWND hwnd)
{
    if (ScreenMode != 0)
        return;
    RunInfoDialog(hwnd);
}
