// Copy and move: the command state and the decisions taken for every file — free space,
// names that already exist, what a path is — and the safe copy of files and directory trees.
// Everything here runs without a window; only the dialogs and reports it calls need one.
#pragma once
#include <windows.h>
#include "filelist/pathutil.h"

enum {
    COPYMOVE_MOVE = 1,          // CopyMoveMode bit: move instead of copy
    COPYMOVE_MARKED = 16,       // CopyMoveMode bit: marked entries exist

    SAME_NAME_NEWER = 0,        // copy only when the source is newer
    SAME_NAME_RENAME = 1,       // copy under another name
    SAME_NAME_OVERWRITE = 2,
    SAME_NAME_SKIP = 3,
    SAME_NAME_UNCHOSEN = 0xF0,  // not asked yet in this command

    RESULT_SLOT_BYTES = 300,
    RESULT_FIRST_SLOTS = 256,
    RESULT_MAX_SLOTS = 4096,

    PATH_KIND_FILE = -1,
    PATH_KIND_NONE = 0,
    PATH_KIND_DIRECTORY = 1,    // also a drive or share root
};

// The state of one Copy or Move command.
extern DWORD CopyMoveMode;
extern char CopyDestination[PATH_BUFFER];   // no trailing backslash except for a drive root
extern BYTE SameDirectory;                  // the destination is the listed directory
extern BYTE SameNameMode;
extern BYTE TreeAtOnce;                     // open the tree as soon as the destination dialog opens
extern int DestExists;       // the current file is not to be copied under its target name
extern int OverwriteFlag;    // the target name existed when the decision was taken
extern int ReplaceOnly;      // the file fits only because it replaces the existing target
extern int TreeIncomplete;   // files a tree copy left out (and 1 while a directory rename is pending)
extern int ProcessedCount;

bool IsMoveCommand();
// Whether path lies on the drive of CurrentPath (drive letters compared without case).
bool OnCurrentDrive(const char *path);

// Result list: fixed slots of RESULT_SLOT_BYTES in a movable block that doubles from
// RESULT_FIRST_SLOTS up to RESULT_MAX_SLOTS.
extern HGLOBAL ResultList;
extern int ResultCapacity;
bool AllocateResultList();
void FreeResultList();
// Stores source relative to CurrentPath (with "\" for a directory) in slot ProcessedCount.
void RecordResult(const char *source, int isDirectory);
int ResultSlotsStored();                     // min(ProcessedCount, capacity)
void ResultSlotText(int slot, char *text);   // text: RESULT_SLOT_BYTES bytes

// 1: the file of size bytes may be copied into destination (its trailing backslash is removed);
// 0: the disk is full (message shown). Sets ReplaceOnly when it fits only over target.
int CheckDestSpace(char *destination, unsigned long long size, const char *target);
// target := destination + name, settled by SameNameMode (asking once per command).
// 0: stop; 1: go on, and DestExists tells whether to skip the file.
int ResolveSameName(char *destination, const char *name, const FILETIME *sourceTime,
                    unsigned long long sourceSize, char *target);
// Copies or moves one file, or renames a directory (isDirectory 1, move within a drive),
// and records it. 1 done; 0 failed (reported, unless stopped by Esc).
int CopyMoveFile(const char *source, const char *target, const char *destination, int isDirectory);

// Copies source to target so that target never holds a truncated copy that looks complete.
// targetExisted: the old target is kept until the copy is whole (temporary name, then
// replace), unless replaceInPlace (there is room only in place of the old target). A read-only
// target is not replaced. Esc (AbortFlag) stops a long copy: ERROR_REQUEST_ABORTED.
BOOL CopyFileSafely(const char *source, const char *target, int targetExisted, int replaceInPlace);
// Moves temporary over target, replacing it; on systems without replacing moves, deletes first.
BOOL ReplaceWithTemporary(const char *temporary, const char *target);

// Walks directory (no trailing backslash) depth-first. Each step is optional; a step returning
// 0 stops the walk. A link to a directory is entered and left without walking what it points to. The file step may read WalkEntry, the find data of the file.
typedef int (*WalkEnterStep)(const char *directory);
typedef int (*WalkFileStep)(const char *path, const char *name);
typedef int (*WalkLeaveStep)(const char *directory, int complete);
extern const WIN32_FIND_DATAA *WalkEntry;
int WalkTree(const char *directory, WalkEnterStep enter, WalkFileStep file, WalkLeaveStep leave);

// Copies the tree source (below CurrentPath) into CopyDestination. 1 complete or files
// skipped (TreeIncomplete counts them); 0 stopped.
int CopyTree(const char *source);
int MakeDirChain(const char *target, const char *source);
// Creates target with source's attributes and, with dirtime, its time stamps.
int CreateDirLike(const char *source, const char *target);
// Sets a directory's creation and last-write time.
BOOL StampDirectory(const char *directory, const FILETIME *time);
int PathKind(const char *path);
int FindFileInfo(const char *path, WIN32_FIND_DATAA *found);
// Whether two paths name the same file or directory (through a link, another drive letter for
// the same place …); false when the system cannot tell.
bool SameFileObject(const char *a, const char *b);

// directory + "\\" + name (one backslash, also after a drive root); false when it does not fit.
bool JoinDestinationPath(const char *directory, const char *name, char *out);
unsigned long long FoundSize(const WIN32_FIND_DATAA *found);
// The copy engine's messages on the status line and the information block, drawn at most
// every PROGRESS_INTERVAL_MS; FlushCopyProgress draws what is still pending, the cursor of the
// command (through PendingCursorDrawer) included, before any question or report is shown.
extern void (*PendingCursorDrawer)();
enum { PROGRESS_INTERVAL_MS = 250 };
void ShowCopyStatus(const char *text);
void FlushCopyProgress();
void ResetCopyProgress();
