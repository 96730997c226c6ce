// Unpacking a whole archive of about 100 MiB (compressible text and random bytes in a few sizes,
// some subdirectories), once as an LZH archive and once as a ZIP archive: the unpack dialog's
// own path (temporary directory, "$UNPACK.LST" naming every member, the library reloaded, the
// temporary directory removed) against one bare "X" / "-x" call of the library's command entry
// on the same archive. Each into a fresh directory, three rounds in alternating order, best time
// of each; prints the ratio program / library (1.0 = no cost of its own). A third line extracts
// every ZIP member but one, so the response file names them all and the library has to pick each
// named member out of the archive, against the same whole-archive call.
//   tools/wine-run build/x64/bench_unpack.exe      (UNLHA32.DLL and UNZIP32.DLL beside it)
#include <windows.h>
#include <stdio.h>
#include <string>
#include <vector>
#include "archive/archiver.h"
#include "archive/unpack.h"
#include "benchutil.h"
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/pathutil.h"
#include "testutil.h"
#include "zip_writer.h"

namespace {

const int ROUNDS = 3;

enum Content { TEXT, RANDOM, MIXED };

// The files: count × size, text-like, random or alternating; ~100 MiB in all.
const struct {
    int count;
    DWORD size;
    Content content;
} groups[] = {
    {4, 10u << 20, TEXT}, {4, 8u << 20, RANDOM}, {16, 1u << 20, MIXED}, {160, 64u << 10, MIXED}, {400, 4u << 10, MIXED},
};

struct SourceFile {
    std::string name;  // relative, backslashes
    std::string data;
};

std::string MakeData(DWORD size, bool text, unsigned seed)
{
    static const char *const words[] = {"archive", "member", "directory", "unpack", "file",   "header",
                                        "listing", "cursor", "pack",      "dialog", "screen", "name"};
    std::string data;
    data.reserve(size);
    while (data.size() < size) {
        seed = seed * 1103515245u + 12345u;
        if (text) {
            data += words[(seed >> 16) % 12];
            data += (seed >> 8) % 9 == 0 ? "\r\n" : " ";
            if ((seed >> 12) % 5 == 0)
                data += std::to_string(seed >> 20) + " ";
        } else {
            data += (char)(seed >> 16);
        }
    }
    data.resize(size);
    return data;
}

std::vector<SourceFile> MakeFiles()
{
    std::vector<SourceFile> files;
    unsigned seed = 1;
    for (const auto &g : groups)
        for (int i = 0; i < g.count; i++) {
            int n = (int)files.size();
            char name[64];
            snprintf(name, sizeof name, n % 3 == 0 ? "d%d\\inner\\f%04d.dat" : "d%d\\f%04d.dat", n % 4, n);
            bool text = g.content == TEXT || (g.content == MIXED && i % 2 == 0);
            files.push_back({name, MakeData(g.size, text, seed++)});
        }
    return files;
}

bool WriteWhole(const std::string &path, const std::string &data)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(h, data.data(), (DWORD)data.size(), &written, NULL);
    CloseHandle(h);
    return ok && written == data.size();
}


// Files and bytes below directory.
void CountTree(const std::string &directory, int *files, unsigned long long *bytes)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CountTree(directory + "\\" + name, files, bytes);
        } else {
            (*files)++;
            *bytes += (unsigned long long)found.nFileSizeHigh << 32 | found.nFileSizeLow;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

std::vector<MemberRecord> ListMembers(int library, const std::string &archive)
{
    std::vector<MemberRecord> records;
    HANDLE handle = ArcOpenArchive(library, NULL, archive.c_str(), 1);
    if (!handle)
        return records;
    MemberRecord r;
    for (int found = ArcFindFirst(library, handle, "*.*", &r); found == 0; found = ArcFindNext(library, handle, &r))
        records.push_back(r);
    ArcCloseArchive(library, handle);
    return records;
}

// The unpack dialog's extraction of the marked members (all when marks is NULL), with its
// temporary directory.
double ThroughProgram(int library, const std::string &archive, const std::vector<MemberRecord> &records,
                      const BYTE *marks, const std::string &destination)
{
    char temporary[PATH_BUFFER];
    double start = Now();
    if (!CreateUnpackTemporary(temporary, sizeof temporary)) {
        printf("  no temporary directory\n");
        return 0;
    }
    int result = ExtractMembers(NULL, library, archive.c_str(), destination.c_str(), temporary, records.data(), marks,
                                (int)records.size());
    RemoveUnpackTemporary(temporary);
    double seconds = Now() - start;
    if (result != 0)
        printf("  the program's extraction failed: %X\n", result);
    return seconds;
}

double ThroughLibrary(int library, const std::string &archive, const std::string &destination)
{
    std::string command = (library == ARC_LZH ? "X -x1a1 \"" : "-x \"") + archive + "\" \"" + destination + "\\\" *.*";
    char output[1024];
    double start = Now();
    int result = ArcCommand(library, NULL, command.c_str(), output, sizeof output);
    double seconds = Now() - start;
    if (result != 0)
        printf("  the library's extraction failed: %X\n", result);
    return seconds;
}

bool SameTree(const std::string &directory, int files, unsigned long long bytes)
{
    int n = 0;
    unsigned long long b = 0;
    CountTree(directory, &n, &b);
    if (n == files && b == bytes)
        return true;
    printf("  %s holds %d files, %llu bytes (want %d, %llu)\n", directory.c_str(), n, b, files, bytes);
    return false;
}

// allButOne leaves the last file member unmarked: the program's tree then lacks that file.
void Measure(const char *title, int library, const std::string &archive, const std::string &work, int files,
             unsigned long long bytes, bool allButOne = false)
{
    char shortPath[PATH_BUFFER];
    if (!GetShortPathNameA(archive.c_str(), shortPath, sizeof shortPath))
        lstrcpynA(shortPath, archive.c_str(), sizeof shortPath);
    std::vector<MemberRecord> records = ListMembers(library, shortPath);
    std::vector<BYTE> marks(records.size(), 1);
    int programFiles = files;
    unsigned long long programBytes = bytes;
    if (allButOne) {
        for (size_t i = records.size(); i-- > 0;)
            if (records[i].attribute[0] != 'D') {
                marks[i] = 0;
                programFiles--;
                programBytes -= records[i].originalSize;
                break;
            }
    }
    printf("%s: %d members%s\n", title, (int)records.size(), allButOne ? ", all but one marked" : "");
    double bestProgram = 1e9, bestLibrary = 1e9;
    for (int round = 0; round < ROUNDS; round++) {
        std::string viaProgram = work + "\\program" + std::to_string(round);
        std::string viaLibrary = work + "\\library" + std::to_string(round);
        CreateDirectoryA(viaProgram.c_str(), NULL);
        CreateDirectoryA(viaLibrary.c_str(), NULL);
        double program, direct;
        if (round % 2 == 0) {
            program = ThroughProgram(library, shortPath, records, allButOne ? marks.data() : NULL, viaProgram);
            direct = ThroughLibrary(library, archive, viaLibrary);
        } else {
            direct = ThroughLibrary(library, archive, viaLibrary);
            program = ThroughProgram(library, shortPath, records, allButOne ? marks.data() : NULL, viaProgram);
        }
        printf("  round %d: program %.3f s, library %.3f s\n", round + 1, program, direct);
        if (SameTree(viaProgram, programFiles, programBytes) && SameTree(viaLibrary, files, bytes)) {
            bestProgram = program < bestProgram ? program : bestProgram;
            bestLibrary = direct < bestLibrary ? direct : bestLibrary;
        }
        RemoveTree(viaProgram);
        RemoveTree(viaLibrary);
    }
    if (bestLibrary < 1e9)
        printf("  ratio program / library (best of %d): %.3f\n", ROUNDS, bestProgram / bestLibrary);
}

}  // namespace

int main()
{
    if (!AllocateTables())
        return 1;
    SetDefaultSettings();
    LoadArchivers();
    if (!ArchiverAvailable[ARC_LZH] || !ArchiverAvailable[ARC_ZIP]) {
        printf("UNLHA32.DLL and UNZIP32.DLL must be beside the program\n");
        return 1;
    }
    TempDir work;
    lstrcpynA(CurrentPath, work.path.c_str(), PATH_BUFFER);
    std::string source = work.MakeDir("source");
    std::vector<SourceFile> files = MakeFiles();
    unsigned long long bytes = 0;
    std::vector<TestMember> members;
    for (const SourceFile &f : files) {
        std::string path = source + "\\" + f.name;
        CreateDirectoryA(path.substr(0, path.find('\\', source.size() + 1)).c_str(), NULL);
        CreateDirectoryA(path.substr(0, path.rfind('\\')).c_str(), NULL);
        if (!WriteWhole(path, f.data)) {
            printf("cannot write %s\n", path.c_str());
            return 1;
        }
        bytes += f.data.size();
        TestMember m;
        m.name = f.name;
        for (char &c : m.name)
            c = c == '\\' ? '/' : c;
        m.data = f.data;
        members.push_back(m);
    }
    printf("%d files, %.1f MiB\n", (int)files.size(), bytes / 1048576.0);

    std::string zip = work.Full("data.zip");
    if (!WriteWhole(zip, BuildZip(members))) {
        printf("cannot write %s\n", zip.c_str());
        return 1;
    }
    members.clear();
    std::string lzh = work.Full("data.lzh");
    SetCurrentDirectoryA(source.c_str());
    char output[1024];
    std::string pack = "A -x1a1r2 \"" + lzh + "\" \"d0\\*.*\" \"d1\\*.*\" \"d2\\*.*\" \"d3\\*.*\"";
    if (ArcCommand(ARC_LZH, NULL, pack.c_str(), output, sizeof output) != 0) {
        printf("packing the LZH archive failed: %s\n", output);
        return 1;
    }
    SetCurrentDirectoryA(work.path.c_str());
    RemoveTree(source);

    Measure("LZH", ARC_LZH, lzh, work.path, (int)files.size(), bytes);
    Measure("ZIP", ARC_ZIP, zip, work.path, (int)files.size(), bytes);
    Measure("ZIP", ARC_ZIP, zip, work.path, (int)files.size(), bytes, true);
    FreeArchivers();
    FreeTables();
    return 0;
}
