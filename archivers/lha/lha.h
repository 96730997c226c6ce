// LZH archive codec: header levels 0-3, methods -lh0-/-lz4-/-lhd-/-lh1-/-lh5-/-lh6-/-lh7-/-lzs-/-lz5-,
// and a level-2 / -lh5- writer. Portable C++: no operating-system headers, so the
// same code builds for the Windows library and natively for fuzzing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lha {

enum Status {
    kOk = 0,
    kEnd,              // end-of-archive mark or end of the file
    kBadHeader,        // header checksum, CRC or layout wrong
    kTruncated,        // the file ends inside a header or a member's data
    kBadData,          // compressed stream is malformed
    kCrcMismatch,      // decoded data does not match the stored CRC
    kUnsupportedMethod,
    kReadFailed,
    kWriteFailed,
};

const char *StatusText(Status s);

enum MethodId { kMethodUnknown, kMethodStored, kMethodDir, kMethodLh5, kMethodLh6, kMethodLh7, kMethodLzs, kMethodLz5, kMethodLh1 };

struct Member {
    std::string name;           // Shift-JIS, parts separated by '\\', directories without a trailing one
    std::u16string wide_name;   // the same name in UTF-16 when the archive carries one, else empty
    char method[6] = {0};       // as stored, e.g. "-lh5-"
    MethodId method_id = kMethodUnknown;
    bool is_dir = false;
    uint64_t packed_size = 0;   // bytes of compressed data (extended headers excluded)
    uint64_t original_size = 0;
    uint16_t crc = 0;
    bool has_crc = false;
    uint8_t attr = 0x20;        // MS-DOS attribute byte
    uint8_t level = 0;
    uint8_t os_id = 0;
    uint32_t dos_time = 0;      // MS-DOS date (high 16) and time (low 16), local time
    bool has_unix_time = false; // unix_time (UTC) is the authoritative stamp when set
    uint32_t unix_time = 0;
    uint64_t header_offset = 0;
    uint64_t header_size = 0;
    uint64_t data_offset = 0;
};

// Positional reader over an archive; read() must deliver all n bytes or fail.
struct Input {
    void *ctx;
    uint64_t size;
    bool (*read)(void *ctx, uint64_t offset, void *buf, size_t n);
};

struct Output {
    void *ctx;
    bool (*write)(void *ctx, const void *buf, size_t n);
};

// Sequential reader for the encoder: returns bytes read, 0 at the end, -1 on failure.
struct Source {
    void *ctx;
    long long (*pull)(void *ctx, void *buf, size_t n);
};

uint16_t Crc16(uint16_t crc, const void *data, size_t n);

bool IsSjisLead(uint8_t c);

// Converts the separators '/', '\\' and 0xFF to '\\', drops empty and "." parts and leading
// separators (a rooted name is read as relative), and cuts trailing dots and blanks off each
// part as Windows does. Parts of dots and blanks only are kept for UnsafeNameReason to refuse.
std::string NormalizeName(const std::string &raw);

// Offset of the first member header; skips a self-extracting stub. UINT64_MAX if none.
uint64_t FindFirstHeader(const Input &in);

// Parses the header at offset; *next receives the offset of the following header.
Status ReadHeader(const Input &in, uint64_t offset, Member *m, uint64_t *next);

// All members of the archive; kOk only when the end mark (or end of file) is reached cleanly.
Status ListMembers(const Input &in, std::vector<Member> *members);

// Decodes one member to out and checks its CRC.
Status ExtractMember(const Input &in, const Member &m, const Output &out);

// Refuses names that would leave the destination: "..", absolute or rooted paths, drive
// letters, device names, characters Windows cannot store. Empty on success, else the reason.
std::string UnsafeNameReason(const std::string &name);

// Case-insensitive (ASCII only) DOS wildcard match, Shift-JIS aware; "*.*" matches everything.
bool WildMatch(const char *pattern, const char *name);

// Level-2 header for m (name, method, sizes, CRC, unix_time, attr, is_dir). A wide_name is
// written as well, so that programs working in other code pages can restore the name.
std::vector<uint8_t> BuildLevel2Header(const Member &m);

struct EncodeResult {
    uint64_t original_size = 0;
    uint64_t packed_size = 0;
    uint16_t crc = 0;
};

// Compresses src with -lh5-; stops early (returning kOk with packed_size > limit) once the
// output exceeds limit, so the caller can store the member instead.
Status EncodeLh5(const Source &src, const Output &out, uint64_t limit, EncodeResult *res);

// Raw data copy for -lh0-: copies everything, computing the CRC.
Status StoreRaw(const Source &src, const Output &out, EncodeResult *res);

}  // namespace lha
