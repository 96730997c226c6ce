// Reads an archive held in memory the way the library does: every header, then every
// member decoded and CRC-checked into a counting sink. Shared by the fuzzer and the
// regression test that replays the saved inputs.
#pragma once

#include "lha.h"

#include <cstring>

namespace lha_fuzz {

struct Memory {
    const uint8_t *data;
    size_t size;
};

inline bool ReadMemory(void *ctx, uint64_t off, void *buf, size_t n)
{
    const Memory *m = (const Memory *)ctx;
    if (off > m->size || n > m->size - off) return false;
    memcpy(buf, m->data + off, n);
    return true;
}

inline bool CountBytes(void *ctx, const void *, size_t n)
{
    *(uint64_t *)ctx += n;
    return true;
}

// Members claiming more than this are skipped: a few header bytes can legitimately ask for
// gigabytes of output, which tells nothing new about the reader.
const uint64_t kMaxOutput = 1 << 24;

// Returns the number of members that decoded with a matching CRC.
inline int ReadAll(const uint8_t *data, size_t size)
{
    Memory mem{data, size};
    lha::Input in{&mem, size, ReadMemory};
    std::vector<lha::Member> members;
    lha::ListMembers(in, &members);
    int good = 0;
    for (const lha::Member &m : members) {
        lha::UnsafeNameReason(m.name);
        if (m.original_size > kMaxOutput) continue;
        uint64_t produced = 0;
        lha::Output out{&produced, CountBytes};
        if (lha::ExtractMember(in, m, out) == lha::kOk) {
            if (!m.is_dir && produced != m.original_size) __builtin_trap();
            good++;
        }
    }
    return good;
}

}  // namespace lha_fuzz
