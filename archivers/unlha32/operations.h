// What "Unlha" does with a parsed command, and the Windows file plumbing it shares.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "command.h"
#include "paths.h"
#include "lha.h"

// Result codes of "Unlha" and the enumeration entries; 0 is success.
enum UnlhaError {
    kErrMethod = 0x8009,        // a member uses a method this library cannot decode
    kErrCrc = 0x800C,           // a member's data does not match its CRC
    kErrFileOpen = 0x800D,      // a file to read or write cannot be opened
    kErrNoMatch = 0x800F,       // no member or file matched the names given
    kErrExists = 0x8010,        // an existing file was kept
    kErrMakeDir = 0x8012,
    kErrWrite = 0x8013,
    kErrBrokenData = 0x8014,    // compressed data is malformed or cut short
    kErrBrokenHeader = 0x8017,
    kErrNotArchive = 0x8019,
    kErrRead = 0x801A,
    kErrCommand = 0x801C,       // the command line cannot be understood
    kErrMemory = 0x801E,
    kErrRunning = 0x801F,       // the library is already working
    kErrHandle = 0x8021,        // not an open archive handle
    kErrUnsafeName = 0x8026,    // a member name would leave the destination
    kErrTooLarge = 0x8027,      // a file of 4 GB or more cannot be stored
    kErrNoArchive = 0x8029,     // the archive does not exist
    kErrTempFile = 0x8025,
    kErrRemove = 0x802E,        // a moved file could not be deleted
};

// A short readable account of the work for the caller's output buffer; the first error
// recorded is the call's result.
struct Log {
    std::string text;
    int result = 0;
    void Line(const char *fmt, ...);
    void Fail(int code, const char *fmt, ...);
};

int ErrorForStatus(lha::Status s);

// A file opened with the Windows API, usable as the codec's input, output or source.
struct WinFile {
    HANDLE h = INVALID_HANDLE_VALUE;
    uint64_t size = 0;
    uint64_t pos = 0;
    bool failed = false;
    WinFile() = default;
    WinFile(const WinFile &) = delete;
    WinFile &operator=(const WinFile &) = delete;
    ~WinFile() { Close(); }
    std::string path;  // set by CreateUnique
    bool OpenRead(const std::string &path);
    bool Create(const std::string &path);
    // A new file in dir under a name no other file has, open for writing and for RenameTo:
    // one create, repeated only when another file took the name meanwhile.
    bool CreateUnique(const std::string &dir);
    // Gives the file made by CreateUnique the name target, replacing an existing file only when
    // replace is set; on failure GetLastError tells why (ERROR_ALREADY_EXISTS: target exists).
    bool RenameTo(const std::string &target, bool replace);
    // Closes and deletes the file made by CreateUnique.
    void Discard();
    void Close();
    bool Seek(uint64_t offset);
    bool Truncate(uint64_t offset);
    lha::Input AsInput();
    lha::Output AsOutput();
    lha::Source AsSource();
};

bool IsDirectory(const std::string &path);
bool Exists(const std::string &path);
// Creates every directory of rel below base; false when one cannot be made or is a file.
bool MakeDirectories(const std::string &base, const std::string &rel);
// Creates a directory and any missing parents.
bool MakePath(const std::string &path);
std::string FullPath(const std::string &path);
// A new, empty, uniquely named file in dir for writing before the final rename.
std::string TempFileIn(const std::string &dir);
// A new directory in dir for temporary files, "" when none can be made.
std::string MakeTempDirectory(const std::string &dir);
// Sets the modification time of a directory; false where the system cannot open directories.
bool SetDirectoryTime(const std::string &path, const FILETIME &ft);
// Renames tmp to target; an existing target is replaced only when replace is set.
bool PutInPlace(const std::string &tmp, const std::string &target, bool replace);

FILETIME UnixToFileTime(uint32_t t);
uint32_t FileTimeToUnix(const FILETIME &ft);
// The member's time stamp as UTC, from the Unix time when present, else the local MS-DOS time.
FILETIME MemberFileTime(const lha::Member &m);
void MemberDosTime(const lha::Member &m, WORD *date, WORD *time);

// Lists the archive; members that carry a UTF-16 name take it, converted to the system's
// code page, when it converts without loss.
lha::Status ListArchiveMembers(WinFile &f, std::vector<lha::Member> *members);
// The UTF-16 form of a name in the system's code page, empty when it is plain ASCII.
std::u16string WideName(const std::string &name);

int RunExtract(const UnlhaCommand &cmd, Log *log);
int RunList(const UnlhaCommand &cmd, Log *log);
int RunPack(const UnlhaCommand &cmd, Log *log);
