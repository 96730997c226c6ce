// ZIP archive reader: directory, member data, the text listing and the extraction command.
// Portable C++; everything that touches the operating system is in zip_fs.h.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Result codes of the "UnZip" command entry; 0 is success.
enum ZipResult : int {
  ZIP_OK = 0,
  ZIP_E_USAGE = 0x8001,        // command line not understood
  ZIP_E_ARCHIVE_OPEN = 0x8002, // archive file cannot be opened or read
  ZIP_E_NOT_ZIP = 0x8003,      // no end-of-central-directory record
  ZIP_E_CORRUPT = 0x8004,      // broken or truncated headers
  ZIP_E_DATA = 0x8005,         // member data broken, truncated or CRC mismatch
  ZIP_E_METHOD = 0x8006,       // compression method not supported
  ZIP_E_ENCRYPTED = 0x8007,    // encrypted member
  ZIP_E_UNSAFE_NAME = 0x8008,  // member name would leave the destination or is not a valid name
  ZIP_E_EXISTS = 0x8009,       // existing file kept because overwriting was not asked for
  ZIP_E_WRITE = 0x800A,        // output file or directory cannot be created or written
  ZIP_E_NO_MATCH = 0x800B,     // a name given on the command line matches no member
  ZIP_E_RESPONSE = 0x800C,     // response file cannot be read
  ZIP_E_BUSY = 0x800D,         // another command is running in the library
  ZIP_E_MEMORY = 0x800E,
  ZIP_E_OVERLAP = 0x800F,      // members share bytes with each other or the central directory
};

struct ZipSource {
  void* ctx;
  uint64_t size;
  bool (*read)(void* ctx, uint64_t offset, void* buf, size_t len);  // all len bytes or false
};

struct ZipMember {
  std::string name;            // in the ANSI code page, '/' separated as stored
  std::string nameProblem;     // why the stored name has no form in the code page ('?' stands in)
  uint16_t madeBy = 0;
  uint16_t flags = 0;
  uint16_t method = 0;
  uint16_t dosTime = 0;
  uint16_t dosDate = 0;
  uint32_t crc = 0;
  uint32_t externalAttr = 0;
  uint64_t compSize = 0;
  uint64_t size = 0;
  uint64_t localOffset = 0;
  uint64_t dataOffset = 0;     // where the member data starts, from its local header
  uint64_t ntfsTime = 0;       // modification time of the NTFS extra field (UTC, 100 ns since 1601), 0 = none
  bool localOk = false;        // the local header was found where the directory points
  bool isDir = false;
  bool encrypted = false;
};

struct ZipArchive {
  std::vector<ZipMember> members;
  uint64_t base = 0;  // bytes of foreign data before the archive (self-extractor stubs)
  bool zip64 = false;
};

struct MemorySource {
  const uint8_t* data;
  size_t size;
};
ZipSource ZipMemorySource(MemorySource* mem);

// Reads the end record and the whole central directory; each central record is checked
// against its local header. log receives one line per problem found.
ZipResult ZipReadDirectory(const ZipSource& src, ZipArchive& arc, std::string* log);

// Decodes one member, handing the bytes to sink in order; fails on CRC or size mismatch.
// A false return of sink stops decoding with ZIP_E_WRITE.
typedef bool (*ZipSink)(void* ctx, const void* data, size_t len);
ZipResult ZipDecodeMember(const ZipSource& src, const ZipArchive& arc, const ZipMember& m,
                          ZipSink sink, void* sinkCtx);

std::string ZipMethodText(const ZipMember& m);   // at most 7 characters
std::string ZipAttributeText(const ZipMember& m);  // 4 characters: archive/dir, S, H, R
unsigned ZipRatioTenths(const ZipMember& m);    // space saved in tenths of a percent, 0..999
const char* ZipResultText(int code);

// The name as listed and as matched: '\' separators, control characters shown as '?',
// a leading '-' protected by ".\" (a line starting with '-' would read as a rule line).
std::string ZipListedName(const ZipMember& m);

// The listing of "-l": two header lines, one line per member whose fields sit at fixed
// columns counted back from the line feed, a rule line and a totals line starting with the
// member count. Lines end in a bare line feed. Members that do not fit in maxBytes - 1 bytes
// are left out and the totals line counts only the members listed.
std::string ZipFormatListing(const ZipArchive& arc, size_t maxBytes);

// Shift-JIS aware helpers. Every scan of a name steps over characters by ZipCharLen: a lead
// byte forms a character only with a following trail byte (0x40-0x7E, 0x80-0xFC).
bool ZipIsLeadByte(unsigned char c);
size_t ZipCharLen(const std::string& s, size_t i);
// Every byte forms a Shift-JIS character (no lone lead bytes, no undefined single bytes).
bool ZipIsShiftJis(const std::string& s);
// Well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool ZipIsUtf8(const std::string& s);
// The stored name in the ANSI code page: names flagged UTF-8 (or a matching Unicode path field)
// are converted; unflagged names are read as Shift-JIS, or as UTF-8 when they are valid UTF-8
// but not valid Shift-JIS. A flagged name that is no UTF-8 but whole Shift-JIS is read as
// Shift-JIS. problem is set when no faithful form exists. The reader flags all names of an
// archive whose unflagged names are all UTF-8 and not all Shift-JIS.
void ZipDecodeName(const std::string& raw, bool flaggedUtf8, const std::string* unicodePath, std::string& name,
                   std::string& problem);
// Ends in '/' or '\' that is not the trail byte of a double-byte character.
bool ZipEndsWithSeparator(const std::string& s);
// Splits a member name into path components after checking it is safe to create below a
// destination: not absolute, no drive, no "..", no characters or device names that Windows
// refuses or treats specially. why receives the reason on failure.
// Trailing dots and blanks of each component are dropped, as the Windows file system does.
bool ZipSafeComponents(const std::string& name, std::vector<std::string>& parts, std::string& why);
// The name is only "." components ("./", "."): it names the destination itself.
bool ZipNamesDestination(const std::string& name);
// Case-insensitive (ASCII) wildcard match with '*' and '?', '/' and '\' equal; a double-byte
// character is one character (its 0x5C trail byte no separator). Allocates nothing.
bool ZipWildMatch(const std::string& pattern, const std::string& name);
// The name with ASCII letters in lower case and '\' turned into '/': two names without wildcards
// match by ZipWildMatch exactly when their keys are equal ('/' is never a trail byte, so the key
// splits into the same characters as the name).
std::string ZipMatchKey(const std::string& name);

// Splits a command line into words: blanks separate, double quotes group, a backslash
// is an ordinary character.
std::vector<std::string> ZipSplitWords(const std::string& line);

// Runs one command of the "UnZip" entry: -l (list), -x (extract), -o (overwrite existing
// files), -n (skip existing files without an error), "@file" (response file).
// out receives the listing or the log, outLimit being the caller's buffer size.
int ZipRunCommand(const std::string& cmdline, std::string& out, size_t outLimit);

// Checks that the file is a ZIP archive whose directory and local headers are consistent.
bool ZipCheckArchiveFile(const std::string& path);

// Fuzzing and corpus replay: parse, list and decode everything in data without touching files.
// Returns the first error met, ZIP_OK when every member decoded.
int ZipFuzzOne(const uint8_t* data, size_t size);
