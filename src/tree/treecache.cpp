// The tree cache file: a signature, the node count and one record per node.
#include "tree/tree.h"
#include "base/globals.h"
#include "filelist/pathutil.h"
#include "ui/msgdlg.h"
#include <stdio.h>
#include <string.h>

static const char signature[] = "KelpoTreeData";
enum {
    SIGNATURE_BYTES = 20,
    HEADER_BYTES = SIGNATURE_BYTES + 4,
    RECORD_FIXED_BYTES = 12,                      // depth 2, attributes 4, mask 4, length 2
    FILE_MAX_BYTES = HEADER_BYTES + TREE_MAX_NODES * (RECORD_FIXED_BYTES + TREE_NAME_BYTES),
};

void TreeCacheName(int drive, char *path)
{
    path[0] = '\0';
    if (drive < 0 || drive >= DriveRecordCount)
        return;
    const DriveRecord *r = &DriveRecords[drive];
    if (r->kind != DRIVE_KIND_NETWORK && r->kind != DRIVE_KIND_CDROM) {
        snprintf(path, PATH_BUFFER, "%c:\\KLPTREE.DAT", r->name[0]);
        return;
    }
    // Network and CD-ROM drives keep their file beside the program, named after the volume.
    static const char hex[] = "0123456789ABCDEF";
    char base[16];
    snprintf(base, sizeof base, "%c%07lX", r->name[0], (unsigned long)(r->serial & 0x0FFFFFFF));
    for (int i = 0; i < 7 && r->label[i]; i++)
        base[1 + i] = hex[((unsigned char)base[1 + i] + (unsigned char)r->label[i]) & 15];
    char directory[PATH_BUFFER];
    lstrcpynA(directory, ProgramDir ? ProgramDir : "", sizeof directory);
    AppendBackslash(directory);
    snprintf(path, PATH_BUFFER, "%s%s.DAT", directory, base);
}

static void PutWord(BYTE *&out, WORD value)
{
    out[0] = (BYTE)value;
    out[1] = (BYTE)(value >> 8);
    out += 2;
}

static void PutLong(BYTE *&out, DWORD value)
{
    for (int i = 0; i < 4; i++)
        out[i] = (BYTE)(value >> (8 * i));
    out += 4;
}

static DWORD GetLong(const BYTE *in)
{
    return in[0] | (in[1] << 8) | (in[2] << 16) | ((DWORD)in[3] << 24);
}

// The temporary file beside the cache: same name, extension ".TMP".
static void TemporaryName(const char *path, char *temporary)
{
    lstrcpynA(temporary, path, PATH_BUFFER - 4);
    char *dot = strrchr(temporary, '.');
    char *slash = strrchr(temporary, '\\');
    if (dot && (!slash || dot > slash))
        *dot = '\0';
    strcat(temporary, ".TMP");
}

int SaveTreeFile(const char *path)
{
    if (!TreeNodes || TreeNodeCount < 1 || TreeNodeCount > TREE_MAX_NODES)
        return 0;
    BYTE *buffer = (BYTE *)LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, FILE_MAX_BYTES);
    if (!buffer)
        return 0;
    BYTE *out = buffer;
    memcpy(out, signature, sizeof signature);
    out += SIGNATURE_BYTES;
    PutLong(out, (DWORD)TreeNodeCount);
    for (int i = 0; i < TreeNodeCount; i++) {
        const TreeNode *node = &TreeNodes[i];
        size_t length = 0;
        while (length < TREE_NAME_BYTES - 1 && node->name[length])
            length++;
        PutWord(out, (WORD)node->depth);
        PutLong(out, node->attributes);
        PutLong(out, node->lineMask);
        PutWord(out, (WORD)(length + 1));
        memcpy(out, node->name, length);
        out[length] = '\0';
        out += length + 1;
    }
    DWORD size = (DWORD)(out - buffer);
    char temporary[PATH_BUFFER];
    TemporaryName(path, temporary);
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    int ok = 0;
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ok = WriteFile(file, buffer, size, &written, NULL) && written == size;
        ok = CloseHandle(file) && ok;
    }
    LocalFree(buffer);
    if (ok && !MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING)) {
        // Systems without MoveFileEx, or a read-only old file: clear it away, then rename.
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path);
        ok = MoveFileA(temporary, path);
    }
    if (!ok) {
        DeleteFileA(temporary);
        return 0;
    }
    SetFileAttributesA(path, FILE_ATTRIBUTE_HIDDEN);
    return 1;
}

// Checks and copies the records of a whole file image into the table.
static int ParseTreeFile(const BYTE *data, DWORD size)
{
    if (size < HEADER_BYTES || memcmp(data, signature, sizeof signature) != 0)
        return 0;
    DWORD count = GetLong(data + SIGNATURE_BYTES);
    if (count < 1 || count > TREE_MAX_NODES)
        return 0;
    DWORD at = HEADER_BYTES;
    int previousDepth = -1;
    for (DWORD i = 0; i < count; i++) {
        if (size - at < RECORD_FIXED_BYTES)
            return 0;
        const BYTE *in = data + at;
        int depth = (short)(in[0] | (in[1] << 8));
        DWORD length = in[10] | (in[11] << 8);
        at += RECORD_FIXED_BYTES;
        // The root alone has depth 0, and a node is at most one level below the one before.
        bool depthOk = i == 0 ? depth == 0 : depth >= 1 && depth <= previousDepth + 1;
        if (!depthOk || length < 1 || length > TREE_NAME_BYTES || size - at < length || data[at + length - 1] != 0)
            return 0;
        TreeNode *node = &TreeNodes[i];
        node->depth = depth;
        node->attributes = GetLong(in + 2);
        node->lineMask = GetLong(in + 6);
        memcpy(node->name, data + at, length);
        at += length;
        previousDepth = depth;
    }
    TreeNodeCount = (int)count;
    return 1;
}

int LoadTreeFile(const char *path)
{
    if (!TreeNodes)
        return 0;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    BYTE *buffer = (BYTE *)LocalAlloc(LMEM_FIXED, FILE_MAX_BYTES);
    DWORD size = 0;
    int ok = buffer && ReadFile(file, buffer, FILE_MAX_BYTES, &size, NULL);
    CloseHandle(file);
    if (ok)
        ok = ParseTreeFile(buffer, size);
    if (buffer)
        LocalFree(buffer);
    if (!ok)
        TreeNodeCount = 0;
    return ok;
}

int LoadTreeCache(int drive)
{
    if (drive < 0 || drive >= DriveRecordCount || !DriveRecords[drive].volumeValid)
        return 0;
    char path[PATH_BUFFER];
    TreeCacheName(drive, path);
    return LoadTreeFile(path);
}

void SaveTreeCache(HWND owner, int drive)
{
    if (drive < 0 || drive >= DriveRecordCount || !DriveRecords[drive].volumeValid)
        return;
    char path[PATH_BUFFER];
    TreeCacheName(drive, path);
    const DriveRecord *r = &DriveRecords[drive];
    if (r->kind == DRIVE_KIND_REMOVABLE && GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        char question[128];
        snprintf(question, sizeof question, "ﾄﾞﾗｲﾌﾞ %c: はﾘﾑｰﾊﾞﾌﾞﾙﾒﾃﾞｨｱです\nﾂﾘｰ情報を書き込みますか？", r->name[0]);
        if (MessageDialog(owner, question, "Kelpo - Tree Info Write", 36) == IDNO)
            return;
    }
    SaveTreeFile(path);
}
