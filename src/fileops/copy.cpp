#include "fileops/copy.h"
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/diskspace.h"
#include "fileops/copydlg.h"
#include "fileops/pump.h"
#include "screen/frame.h"
#include "screen/screen.h"
#include "screen/screendc.h"
#include "ui/msgdlg.h"
#include <stdio.h>
#include <string.h>

DWORD CopyMoveMode;
char CopyDestination[PATH_BUFFER];
BYTE SameDirectory;
BYTE SameNameMode = SAME_NAME_UNCHOSEN;
BYTE TreeAtOnce;
int DestExists;
int OverwriteFlag;
int ReplaceOnly;
int TreeIncomplete;
int ProcessedCount;
HGLOBAL ResultList;
int ResultCapacity;
const WIN32_FIND_DATAA *WalkEntry;
void (*PendingCursorDrawer)();

bool IsMoveCommand()
{
    return (CopyMoveMode & COPYMOVE_MOVE) != 0;
}

bool OnCurrentDrive(const char *path)
{
    return path[0] && CurrentPath[0] && path[1] == ':' && CurrentPath[1] == ':' &&
           (path[0] & 0xDF) == (CurrentPath[0] & 0xDF);
}

unsigned long long FoundSize(const WIN32_FIND_DATAA *found)
{
    return ((unsigned long long)found->nFileSizeHigh << 32) | found->nFileSizeLow;
}

bool JoinDestinationPath(const char *directory, const char *name, char *out)
{
    char base[PATH_BUFFER];
    lstrcpynA(base, directory, sizeof base);
    AppendBackslash(base);
    return snprintf(out, PATH_BUFFER, "%s%s", base, name) < PATH_BUFFER;
}

// Saves the thread's last error across clean-up calls that would overwrite it.
struct KeepLastError {
    DWORD code = GetLastError();
    ~KeepLastError() { SetLastError(code); }
};

// ---- progress on the screen ----

static char pendingStatus[128];
static bool statusPending;
static char pendingDetailsPath[PATH_BUFFER];
static WIN32_FIND_DATAA pendingDetails;
static bool detailsPending;
static DWORD lastProgress;
static bool progressDue = true;

void ResetCopyProgress()
{
    statusPending = detailsPending = false;
    progressDue = true;
}

static bool ProgressDue()
{
    DWORD now = GetTickCount();
    if (!progressDue && now - lastProgress < PROGRESS_INTERVAL_MS)
        return false;
    progressDue = false;
    lastProgress = now;
    return true;
}

void FlushCopyProgress()
{
    if (PendingCursorDrawer)
        PendingCursorDrawer();
    if (!g_mainWnd || !(statusPending || detailsPending)) {
        statusPending = detailsPending = false;
        return;
    }
    WindowFontDC screen(g_mainWnd);
    if (detailsPending)
        DrawOperationDetails(screen, pendingDetailsPath, &pendingDetails);
    if (statusPending)
        StatusLine(screen, pendingStatus);
    statusPending = detailsPending = false;
}

void ShowCopyStatus(const char *text)
{
    lstrcpynA(pendingStatus, text, sizeof pendingStatus);
    statusPending = true;
    if (ProgressDue())
        FlushCopyProgress();
}

static void ShowFileDetails(const char *directory, const WIN32_FIND_DATAA *found)
{
    lstrcpynA(pendingDetailsPath, directory, sizeof pendingDetailsPath);
    pendingDetails = *found;
    detailsPending = true;
    if (ProgressDue())
        FlushCopyProgress();
}

// ---- the result list ----

bool AllocateResultList()
{
    FreeResultList();
    ResultList = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, (SIZE_T)RESULT_FIRST_SLOTS * RESULT_SLOT_BYTES);
    ResultCapacity = ResultList ? RESULT_FIRST_SLOTS : 0;
    return ResultList != NULL;
}

void FreeResultList()
{
    if (ResultList)
        GlobalFree(ResultList);
    ResultList = NULL;
    ResultCapacity = 0;
}

void RecordResult(const char *source, int isDirectory)
{
    if (!ResultList || ProcessedCount >= RESULT_MAX_SLOTS)
        return;
    if (ProcessedCount >= ResultCapacity && ResultCapacity < RESULT_MAX_SLOTS) {
        int grown = ResultCapacity * 2;
        HGLOBAL block = GlobalReAlloc(ResultList, (SIZE_T)grown * RESULT_SLOT_BYTES, GMEM_MOVEABLE | GMEM_ZEROINIT);
        if (block) {
            ResultList = block;
            ResultCapacity = grown;
        }
    }
    if (ProcessedCount >= ResultCapacity)
        return;
    const char *relative = source;
    size_t base = strlen(CurrentPath);
    if (base && _strnicmp(source, CurrentPath, base) == 0) {
        relative = source + base;
        if (*relative == '\\')
            relative++;
    }
    char text[PATH_BUFFER + 2];
    snprintf(text, sizeof text, "%s%s", relative, isDirectory ? "\\" : "");
    char *slots = (char *)GlobalLock(ResultList);
    if (!slots)
        return;
    TruncateBytes(text, slots + (size_t)ProcessedCount * RESULT_SLOT_BYTES, RESULT_SLOT_BYTES - 1);
    GlobalUnlock(ResultList);
}

int ResultSlotsStored()
{
    return ProcessedCount < ResultCapacity ? ProcessedCount : ResultCapacity;
}

void ResultSlotText(int slot, char *text)
{
    text[0] = '\0';
    if (!ResultList || slot < 0 || slot >= ResultSlotsStored())
        return;
    const char *slots = (const char *)GlobalLock(ResultList);
    if (!slots)
        return;
    lstrcpynA(text, slots + (size_t)slot * RESULT_SLOT_BYTES, RESULT_SLOT_BYTES);
    GlobalUnlock(ResultList);
}

// ---- what is there ----

int FindFileInfo(const char *path, WIN32_FIND_DATAA *found)
{
    HANDLE search = FindFirstFileA(path, found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    return 1;
}

int PathKind(const char *path)
{
    char work[PATH_BUFFER];
    lstrcpynA(work, path, sizeof work);
    if (IsRootPath(work))
        return PATH_KIND_DIRECTORY;
    StripBackslash(work);
    WIN32_FIND_DATAA found;
    if (!FindFileInfo(work, &found))
        return PATH_KIND_NONE;
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? PATH_KIND_DIRECTORY : PATH_KIND_FILE;
}

static bool FileIdentity(const char *path, BY_HANDLE_FILE_INFORMATION *info)
{
    HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    BOOL ok = GetFileInformationByHandle(handle, info);
    CloseHandle(handle);
    return ok != FALSE;
}

bool SameFileObject(const char *a, const char *b)
{
    BY_HANDLE_FILE_INFORMATION first, second;
    if (!FileIdentity(a, &first) || !FileIdentity(b, &second))
        return false;
    return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber && first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow && (first.nFileIndexHigh || first.nFileIndexLow);
}

// ---- the decisions for one file ----

int CheckDestSpace(char *destination, unsigned long long size, const char *target)
{
    StripBackslash(destination);
    bool move = IsMoveCommand();
    bool withinDrive = move && OnCurrentDrive(destination);
    bool known = true;
    if (!withinDrive)
        known = QueryDiskSpace(destination, &DestinationDisk);

    char shortened[64], digits[32], grouped[48], text[160];
    ShortenPath(destination, shortened, 32);
    snprintf(digits, sizeof digits, "%llu", DestinationDisk.freeBytes);
    GroupThousands(digits, grouped);
    snprintf(text, sizeof text, move ? "移動先 %s の空き容量は %s バイト" : "コピー先 %s の空き容量は %s バイト",
             shortened, grouped);
    ShowCopyStatus(text);

    // A drive that reports no figures is not called full: the copy itself tells.
    if (!known || DestinationDisk.freeBytes >= size || withinDrive)
        return 1;
    WIN32_FIND_DATAA existing;
    if (FindFileInfo(target, &existing) && !(existing.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        unsigned long long cluster =
            (unsigned long long)DestinationDisk.bytesPerSector * DestinationDisk.sectorsPerCluster;
        unsigned long long held = FoundSize(&existing);
        if (cluster)
            held = (held + cluster - 1) / cluster * cluster;
        if (held >= size) {
            ReplaceOnly = 1;
            return 1;
        }
    }
    FlushCopyProgress();
    MessageDialog(g_mainWnd, move ? "移動先のﾃﾞｨｽｸがいっぱいです" : "ｺﾋﾟｰ先のﾃﾞｨｽｸがいっぱいです",
                  move ? "Kelpo - Move" : "Kelpo - Copy", 48);
    return 0;
}

static void RefuseOtherNameOnFullDisk()
{
    bool move = IsMoveCommand();
    char text[160];
    snprintf(text, sizeof text, "%s先のﾃﾞｨｽｸがいっぱいなので\n「名前を変えてｺﾋﾟｰ」は出来ません", move ? "移動" : "ｺﾋﾟｰ");
    MessageDialog(g_mainWnd, text, move ? "Kelpo - Move" : "Kelpo - Coly", 48);
}

// A name typed for the copy must name one entry of the destination directory.
static bool IsPlainName(const char *name)
{
    if (!name[0] || strcmp(name, ".") == 0 || strcmp(name, "..") == 0)
        return false;
    for (const char *p = name; *p; p += CharLength(p))
        if (strchr("\\/:*?\"<>|", *p) || (unsigned char)*p < 0x20)
            return false;
    return true;
}

// Asks for names until one is free in directory (ending in a backslash). 0 cancelled.
static int AskFreeName(const char *directory, const char *name, char *target)
{
    char shown[MAX_PATH], entered[MAX_PATH];
    lstrcpynA(shown, name, sizeof shown);
    for (;;) {
        entered[0] = '\0';
        if (!AskOtherName || !AskOtherName(g_mainWnd, shown, entered))
            return 0;
        char candidate[PATH_BUFFER];
        WIN32_FIND_DATAA found;
        if (!IsPlainName(entered) || !JoinDestinationPath(directory, entered, candidate)) {
            // A path, a wildcard or a name too long for the folder: said so, then asked again.
            bool move = IsMoveCommand();
            MessageDialog(g_mainWnd, "正しいﾌｧｲﾙ名を入力してください", move ? "Kelpo - Move" : "Kelpo - Coly", 48);
        } else if (!FindFileInfo(candidate, &found)) {
            strcpy(target, candidate);
            return 1;
        }
        lstrcpynA(shown, entered, sizeof shown);
    }
}

int ResolveSameName(char *destination, const char *name, const FILETIME *sourceTime,
                    unsigned long long sourceSize, char *target)
{
    AppendBackslash(destination);
    if (!JoinDestinationPath(destination, name, target)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        ShowLastError(g_mainWnd, "CopyMoveFile", destination, name);
        return 0;
    }
    ReplaceOnly = 0;
    char directory[PATH_BUFFER];
    strcpy(directory, destination);
    if (!CheckDestSpace(directory, sourceSize, target))
        return 0;

    // One look at the attributes settles the usual case of a free name; a search only when taken.
    WIN32_FIND_DATAA existing;
    DestExists = GetFileAttributesA(target) != INVALID_FILE_ATTRIBUTES && FindFileInfo(target, &existing);
    if (DestExists && SameNameMode == SAME_NAME_UNCHOSEN)
        FlushCopyProgress();
    while (DestExists && SameNameMode == SAME_NAME_UNCHOSEN) {
        if (!SameNameDialog(g_mainWnd, name)) {
            SameNameMode = SAME_NAME_UNCHOSEN;
            return 0;
        }
        if ((SameNameMode & 0x0F) == SAME_NAME_RENAME && ReplaceOnly) {
            RefuseOtherNameOnFullDisk();
            SameNameMode = SAME_NAME_UNCHOSEN;
        }
    }
    OverwriteFlag = DestExists;
    if (!DestExists)
        return 1;

    switch (SameNameMode & 0x0F) {
    case SAME_NAME_NEWER:
        DestExists = CompareFileTime(sourceTime, &existing.ftLastWriteTime) > 0 ? 0 : 1;
        return 1;
    case SAME_NAME_RENAME:
        // The file fits only in place of the old one, so it cannot go under a new name.
        if (ReplaceOnly) {
            RefuseOtherNameOnFullDisk();
            return 0;
        }
        if (!AskFreeName(destination, name, target))
            return 0;
        DestExists = 0;
        OverwriteFlag = 0;
        return 1;
    case SAME_NAME_OVERWRITE:
        DestExists = 0;
        return 1;
    default:
        DestExists = 1;
        return 1;
    }
}

// ---- copying ----

typedef BOOL(WINAPI *CopyFileExAProc)(LPCSTR, LPCSTR, LPPROGRESS_ROUTINE, LPVOID, LPBOOL, DWORD);

// Pumps during a long copy and stops it on Esc.
static DWORD CALLBACK CopyProgress(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD,
                                   HANDLE, HANDLE, LPVOID)
{
    PumpMessages();
    return AbortFlag ? PROGRESS_CANCEL : PROGRESS_CONTINUE;
}

// The system's copy (contents, times and attributes); with Esc checks where the system offers them.
static BOOL SystemCopy(const char *source, const char *target, BOOL failIfExists)
{
    static CopyFileExAProc copyEx;
    static bool looked;
    if (!looked) {
        looked = true;
        HMODULE kernel = GetModuleHandleA("kernel32.dll");
        if (kernel)
            copyEx = (CopyFileExAProc)(void *)GetProcAddress(kernel, "CopyFileExA");
    }
    if (!copyEx)
        return CopyFileA(source, target, failIfExists);
    BOOL ok = copyEx(source, target, CopyProgress, NULL, NULL, failIfExists ? COPY_FILE_FAIL_IF_EXISTS : 0);
    if (!ok && AbortFlag)
        SetLastError(ERROR_REQUEST_ABORTED);
    return ok;
}

static void RemovePartial(const char *path)
{
    KeepLastError keep;
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path);
}

BOOL ReplaceWithTemporary(const char *temporary, const char *target)
{
    if (MoveFileExA(temporary, target, MOVEFILE_REPLACE_EXISTING))
        return TRUE;
    if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
        return FALSE;
    return DeleteFileA(target) && MoveFileA(temporary, target);
}

BOOL CopyFileSafely(const char *source, const char *target, int targetExisted, int replaceInPlace)
{
    if (!targetExisted) {
        if (SystemCopy(source, target, TRUE))
            return TRUE;
        DWORD code = GetLastError();
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS)
            RemovePartial(target);
        return FALSE;
    }
    DWORD attributes = GetFileAttributesA(target);
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (replaceInPlace) {
        if (SystemCopy(source, target, FALSE))
            return TRUE;
        RemovePartial(target);
        return FALSE;
    }
    char directory[PATH_BUFFER], temporary[PATH_BUFFER];
    SplitPath(target, directory, NULL, NULL);
    if (!GetTempFileNameA(directory[0] ? directory : ".", "klp", 0, temporary))
        return FALSE;
    if (SystemCopy(source, temporary, FALSE) && ReplaceWithTemporary(temporary, target))
        return TRUE;
    RemovePartial(temporary);
    return FALSE;
}

// A move within one drive: a rename, over the old target when one is to be replaced.
static BOOL RenameOver(const char *source, const char *target, bool replace)
{
    if (!replace)
        return MoveFileA(source, target);
    DWORD attributes = GetFileAttributesA(target);
    SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
    if (ReplaceWithTemporary(source, target))
        return TRUE;
    KeepLastError keep;
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesA(target, attributes);
    return FALSE;
}

int CopyMoveFile(const char *source, const char *target, const char *destination, int isDirectory)
{
    if (IsMoveCommand() && OnCurrentDrive(destination)) {
        if (!RenameOver(source, target, OverwriteFlag && !isDirectory)) {
            DWORD code = GetLastError();
            FlushCopyProgress();
            SetLastError(code);
            ShowLastError(g_mainWnd, "MoveFile", source, target);
            return 0;
        }
    } else {
        if (!CopyFileSafely(source, target, OverwriteFlag, ReplaceOnly)) {
            DWORD code = GetLastError();
            if (!(AbortFlag && code == ERROR_REQUEST_ABORTED)) {
                FlushCopyProgress();
                SetLastError(code);
                ShowLastError(g_mainWnd, "CopyMoveFile", source, target);
            }
            return 0;
        }
        // A source that cannot be deleted (another program holds it open) is not moved: that is
        // said, and the source keeps its attributes; the copy stays.
        if (IsMoveCommand()) {
            DWORD attributes = GetFileAttributesA(source);
            SetFileAttributesA(source, FILE_ATTRIBUTE_NORMAL);
            if (!DeleteFileA(source)) {
                DWORD code = GetLastError();
                if (attributes != INVALID_FILE_ATTRIBUTES)
                    SetFileAttributesA(source, attributes);
                FlushCopyProgress();
                SetLastError(code);
                ShowLastError(g_mainWnd, "DeleteFile", source, NULL);
                return 0;
            }
        }
    }
    RecordResult(source, isDirectory);
    ProcessedCount++;
    return 1;
}

// ---- trees ----

static int WalkLevel(const char *directory, DWORD attributes, WalkEnterStep enter, WalkFileStep file,
                     WalkLeaveStep leave);

// Walks what directory (path, with room for PATH_BUFFER bytes) holds; path is as given afterwards.
static int WalkEntries(char *path, WalkEnterStep enter, WalkFileStep file, WalkLeaveStep leave)
{
    AppendBackslash(path);
    size_t base = strlen(path);
    char pattern[PATH_BUFFER + 4];
    snprintf(pattern, sizeof pattern, "%s*.*", path);
    int result = 1;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    // Only "nothing there" is an empty directory; a search the system refuses (no right to
    // list it, a path too long) would leave its files out of a copy that looks complete.
    if (search == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_NOT_FOUND &&
        GetLastError() != ERROR_NO_MORE_FILES) {
        DWORD code = GetLastError();
        FlushCopyProgress();
        SetLastError(code);
        ShowLastError(g_mainWnd, "FindFirstFile", pattern, NULL);
        result = 0;
    }
    if (search != INVALID_HANDLE_VALUE) {
        do {
            PumpMessages();
            if (AbortFlag) {
                result = 0;
                break;
            }
            // Only "." and "..": on a volume without 8.3 names ".git" is its own short name.
            if (strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0)
                continue;
            if (base + strlen(found.cFileName) >= PATH_BUFFER) {
                SetLastError(ERROR_FILENAME_EXCED_RANGE);
                ShowLastError(g_mainWnd, "FindNextFile", path, found.cFileName);
                result = 0;
                break;
            }
            strcpy(path + base, found.cFileName);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                result = WalkLevel(path, found.dwFileAttributes, enter, file, leave);
            } else if (file) {
                WalkEntry = &found;
                result = file(path, found.cFileName);
            }
            path[base] = '\0';
        } while (result && FindNextFileA(search, &found));
        FindClose(search);
    }
    StripBackslash(path);
    return result;
}

// A link to a directory (junction or symbolic link) is entered and left but never listed:
// deleting through it would delete the files it points to, and a link back up never ends.
static int WalkLevel(const char *directory, DWORD attributes, WalkEnterStep enter, WalkFileStep file,
                     WalkLeaveStep leave)
{
    char path[PATH_BUFFER];
    lstrcpynA(path, directory, sizeof path);
    if (enter) {
        PumpMessages();
        if (AbortFlag || !enter(path))
            return 0;
    }
    if (AbortFlag)
        return 0;
    bool link = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    int result = link ? 1 : WalkEntries(path, enter, file, leave);
    if (leave) {
        PumpMessages();
        if (AbortFlag || !leave(path, result))
            return 0;
    }
    return result;
}

int WalkTree(const char *directory, WalkEnterStep enter, WalkFileStep file, WalkLeaveStep leave)
{
    if (strlen(directory) < 4)
        return 0;
    return WalkLevel(directory, GetFileAttributesA(directory), enter, file, leave);
}

// The destination path of a path below CurrentPath.
static bool TargetOf(const char *source, char *target)
{
    size_t base = strlen(CurrentPath);
    const char *relative = source + base;
    if (*relative == '\\')
        relative++;
    return JoinDestinationPath(CopyDestination, relative, target);
}

// Depth of a path below CurrentPath: the directories a tree copy made itself get their time
// stamps again when the walk leaves them, after the files written into them changed them.
enum { MAX_TREE_DEPTH = PATH_BUFFER / 2 };
static BYTE madeAtDepth[MAX_TREE_DEPTH];

static int DepthOf(const char *path)
{
    int depth = 0;
    for (const char *p = path + strlen(CurrentPath); *p; p += CharLength(p))
        if (*p == '\\')
            depth++;
    return depth < MAX_TREE_DEPTH ? depth : MAX_TREE_DEPTH - 1;
}

static int CopyTreeEnter(const char *directory)
{
    char target[PATH_BUFFER];
    if (!TargetOf(directory, target))
        return 0;
    int depth = DepthOf(directory);
    madeAtDepth[depth] = PathKind(target) == PATH_KIND_NONE;
    return MakeDirChain(target, directory);
}

static int CopyTreeFile(const char *path, const char *name)
{
    char target[PATH_BUFFER], directory[PATH_BUFFER], source[PATH_BUFFER], finalTarget[PATH_BUFFER];
    if (!TargetOf(path, target)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        ShowLastError(g_mainWnd, "CopyMoveFile", path, CopyDestination);
        return 0;
    }
    SplitPath(target, directory, NULL, NULL);
    SplitPath(path, source, NULL, NULL);
    const WIN32_FIND_DATAA found = *WalkEntry;
    ShowFileDetails(source, &found);
    if (!ResolveSameName(directory, name, &found.ftLastWriteTime, FoundSize(&found), finalTarget) || DestExists ||
        (OverwriteFlag && SameFileObject(path, finalTarget))) {
        TreeIncomplete++;
        return 1;
    }
    return CopyMoveFile(path, finalTarget, directory, 0);
}

static int CopyTreeLeave(const char *directory, int)
{
    ShowCopyStatus("");
    int depth = DepthOf(directory);
    if (Settings.dirtime && madeAtDepth[depth]) {
        char target[PATH_BUFFER];
        WIN32_FIND_DATAA found;
        if (TargetOf(directory, target) && FindFileInfo(directory, &found))
            StampDirectory(target, &found.ftLastWriteTime);
    }
    return 1;
}

int CopyTree(const char *source)
{
    return WalkTree(source, CopyTreeEnter, CopyTreeFile, CopyTreeLeave);
}

int MakeDirChain(const char *target, const char *source)
{
    int kind = PathKind(target);
    if (kind == PATH_KIND_FILE) {
        FlushCopyProgress();
        MessageDialog(g_mainWnd, "Copy/Move先にｺﾋﾟｰ元のﾃﾞｨﾚｸﾄﾘ名と\n同名のﾌｧｲﾙがあります", "Kelpo - Copy/Move", 48);
        return 0;
    }
    if (kind == PATH_KIND_DIRECTORY)
        return 1;
    char targetParent[PATH_BUFFER], sourceParent[PATH_BUFFER];
    SplitPath(target, targetParent, NULL, NULL);
    SplitPath(source, sourceParent, NULL, NULL);
    StripBackslash(targetParent);
    StripBackslash(sourceParent);
    if (strlen(targetParent) >= 4 && !MakeDirChain(targetParent, sourceParent))
        return 0;
    return CreateDirLike(source, target);
}

BOOL StampDirectory(const char *directory, const FILETIME *time)
{
    HANDLE handle = CreateFileA(directory, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (handle == INVALID_HANDLE_VALUE)
        return FALSE;
    BOOL ok = SetFileTime(handle, time, NULL, time);
    CloseHandle(handle);
    return ok;
}

int CreateDirLike(const char *source, const char *target)
{
    WIN32_FIND_DATAA found;
    if (!FindFileInfo(source, &found))
        return 0;
    if (!CreateDirectoryA(target, NULL))
        return 0;
    // The time is set on the new directory itself; the system clock is never touched.
    if (Settings.dirtime)
        StampDirectory(target, &found.ftLastWriteTime);
    SetFileAttributesA(target, found.dwFileAttributes);
    return 1;
}
