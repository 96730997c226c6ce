// Decoder for the static-Huffman LZSS methods -lh5-, -lh6-, -lh7- and for stored members.
#include "lha.h"

#include <cstring>
#include <memory>

namespace lha {

namespace {

const int kNC = 510;   // 256 literals + match lengths 3..256
const int kNT = 19;    // code-length alphabet
const int kCBits = 9;
const int kTBits = 5;
const int kMaxLen = 16;
const uint16_t kLong = 0xFFFF;

struct BitReader {
    const Input *in;
    uint64_t pos, end;       // file range still to be buffered
    uint8_t buf[1 << 16];
    size_t bpos = 0, blen = 0;
    uint64_t acc = 0;        // bits aligned to the top
    int nbits = 0;
    uint64_t consumed = 0, total = 0;
    bool failed = false;

    void Refill()
    {
        while (nbits <= 56) {
            if (bpos == blen) {
                if (pos < end) {
                    size_t n = end - pos < sizeof buf ? (size_t)(end - pos) : sizeof buf;
                    if (!in->read(in->ctx, pos, buf, n)) {
                        failed = true;
                        n = 0;
                    }
                    pos += n;
                    blen = n;
                    bpos = 0;
                }
                if (bpos == blen) {
                    // Past the end zeros come in; the consumed count tells whether they were used.
                    nbits += 8;
                    continue;
                }
            }
            acc |= (uint64_t)buf[bpos++] << (56 - nbits);
            nbits += 8;
        }
    }
    unsigned Peek(int n) const { return n ? (unsigned)(acc >> (64 - n)) : 0; }
    void Skip(int n)
    {
        acc <<= n;
        nbits -= n;
        consumed += n;
    }
    unsigned Get(int n)
    {
        unsigned v = Peek(n);
        Skip(n);
        return v;
    }
};

struct Huffman {
    int tbits = 0;
    uint8_t len[kNC];
    uint16_t count[kMaxLen + 1], first[kMaxLen + 1], offs[kMaxLen + 1];
    uint16_t sorted[kNC];
    std::vector<uint16_t> table;

    void Constant(int sym)
    {
        table.assign((size_t)1 << tbits, (uint16_t)(sym << 5));
        memset(count, 0, sizeof count);
    }

    // Canonical codes in (length, symbol) order; an over-full set of lengths is rejected,
    // an incomplete one only fails when a missing code is actually met.
    bool Build(int nsym)
    {
        memset(count, 0, sizeof count);
        for (int i = 0; i < nsym; i++) count[len[i]]++;
        count[0] = 0;
        int left = 1;
        for (int l = 1; l <= kMaxLen; l++) {
            left = (left << 1) - count[l];
            if (left < 0) return false;
        }
        unsigned code = 0, idx = 0;
        for (int l = 1; l <= kMaxLen; l++) {
            first[l] = (uint16_t)code;
            offs[l] = (uint16_t)idx;
            code = (code + count[l]) << 1;
            idx += count[l];
        }
        uint16_t next[kMaxLen + 1];
        memcpy(next, offs, sizeof next);
        for (int i = 0; i < nsym; i++)
            if (len[i]) sorted[next[len[i]]++] = (uint16_t)i;
        table.assign((size_t)1 << tbits, kLong);
        for (int l = 1; l <= tbits; l++) {
            for (unsigned k = 0; k < count[l]; k++) {
                unsigned c = first[l] + k;
                unsigned sym = sorted[offs[l] + k];
                unsigned lo = c << (tbits - l), n = 1u << (tbits - l);
                for (unsigned j = 0; j < n; j++) table[lo + j] = (uint16_t)((sym << 5) | l);
            }
        }
        return true;
    }

    int Decode(BitReader &br) const
    {
        uint16_t e = table[br.Peek(tbits)];
        if (e != kLong) {
            br.Skip(e & 31);
            return e >> 5;
        }
        for (int l = tbits + 1; l <= kMaxLen; l++) {
            unsigned c = br.Peek(l) - first[l];
            if (c < count[l]) {
                br.Skip(l);
                return sorted[offs[l] + c];
            }
        }
        return -1;
    }
};

bool ReadPtLen(BitReader &br, Huffman &h, int nn, int nbit, int special)
{
    br.Refill();
    int n = (int)br.Get(nbit);
    if (n == 0) {
        int c = (int)br.Get(nbit);
        if (c >= nn) return false;
        memset(h.len, 0, sizeof h.len);
        h.Constant(c);
        return true;
    }
    if (n > nn) return false;
    int i = 0;
    while (i < n) {
        br.Refill();
        int c = (int)br.Peek(3);
        if (c == 7) {
            br.Skip(3);
            while (br.Peek(1)) {
                br.Skip(1);
                if (++c > kMaxLen) return false;
            }
            br.Skip(1);
        } else {
            br.Skip(3);
        }
        h.len[i++] = (uint8_t)c;
        if (i == special) {
            int z = (int)br.Get(2);
            while (z-- > 0 && i < nn) h.len[i++] = 0;
        }
    }
    while (i < nn) h.len[i++] = 0;
    return h.Build(nn);
}

bool ReadCLen(BitReader &br, Huffman &c, const Huffman &t)
{
    br.Refill();
    int n = (int)br.Get(kCBits);
    if (n == 0) {
        int sym = (int)br.Get(kCBits);
        if (sym >= kNC) return false;
        memset(c.len, 0, sizeof c.len);
        c.Constant(sym);
        return true;
    }
    if (n > kNC) return false;
    int i = 0;
    while (i < n) {
        br.Refill();
        int k = t.Decode(br);
        if (k < 0) return false;
        if (k <= 2) {
            int run = k == 0 ? 1 : k == 1 ? (int)br.Get(4) + 3 : (int)br.Get(kCBits) + 20;
            if (i + run > kNC) return false;
            while (run--) c.len[i++] = 0;
        } else {
            c.len[i++] = (uint8_t)(k - 2);
        }
    }
    while (i < kNC) c.len[i++] = 0;
    return c.Build(kNC);
}

const size_t kRing = 1 << 17;
const size_t kFlushAt = 1 << 16;

Status DecodeLzh(const Input &in, const Member &m, const Output &out, int dicbit)
{
    const int np = dicbit + 1, pbit = dicbit == 13 ? 4 : 5;
    std::unique_ptr<BitReader> br(new BitReader);
    br->in = &in;
    br->pos = m.data_offset;
    br->end = m.data_offset + m.packed_size;
    br->total = m.packed_size * 8;
    std::unique_ptr<Huffman> ct(new Huffman), pt(new Huffman), tt(new Huffman);
    ct->tbits = 12;
    pt->tbits = 8;
    tt->tbits = 8;
    // Old encoders could refer before the start, where the dictionary holds blanks.
    std::vector<uint8_t> ring(kRing, ' ');
    uint8_t *win = ring.data();
    const uint64_t mask = kRing - 1;
    uint64_t w = 0, flushed = 0, remaining = m.original_size;
    uint16_t crc = 0;
    unsigned blocksize = 0;

    auto flush = [&]() -> bool {
        while (flushed < w) {
            size_t at = (size_t)(flushed & mask);
            size_t n = (size_t)(w - flushed);
            if (at + n > kRing) n = kRing - at;
            crc = Crc16(crc, win + at, n);
            if (!out.write(out.ctx, win + at, n)) return false;
            flushed += n;
        }
        return true;
    };

    while (remaining > 0) {
        if (blocksize == 0) {
            br->Refill();
            blocksize = br->Get(16);
            if (blocksize == 0) blocksize = 0x10000;
            if (!ReadPtLen(*br, *tt, kNT, kTBits, 3) || !ReadCLen(*br, *ct, *tt) || !ReadPtLen(*br, *pt, np, pbit, -1))
                return br->failed ? kReadFailed : kBadData;
        }
        blocksize--;
        br->Refill();
        int c = ct->Decode(*br);
        if (c < 0) return kBadData;
        if (c < 256) {
            win[w & mask] = (uint8_t)c;
            w++;
            remaining--;
        } else {
            unsigned len = (unsigned)c - 253;
            int p = pt->Decode(*br);
            if (p < 0) return kBadData;
            unsigned dist = p;
            if (p > 1) dist = (1u << (p - 1)) + br->Get(p - 1);
            dist++;
            if (len > remaining) len = (unsigned)remaining;
            uint64_t src = w - dist;
            size_t d = (size_t)(w & mask), s = (size_t)(src & mask);
            if (d + len <= kRing && s + len <= kRing) {
                uint8_t *dp = win + d;
                const uint8_t *sp = win + s;
                if (dist >= len) memcpy(dp, sp, len);
                else for (unsigned i = 0; i < len; i++) dp[i] = sp[i];
            } else {
                for (unsigned i = 0; i < len; i++) win[(w + i) & mask] = win[(src + i) & mask];
            }
            w += len;
            remaining -= len;
        }
        if (br->consumed > br->total) return br->failed ? kReadFailed : kTruncated;
        if (w - flushed >= kFlushAt && !flush()) return kWriteFailed;
    }
    if (br->failed) return kReadFailed;
    if (!flush()) return kWriteFailed;
    if (m.has_crc && crc != m.crc) return kCrcMismatch;
    return kOk;
}

Status CopyStored(const Input &in, const Member &m, const Output &out)
{
    if (m.original_size != m.packed_size) return kBadHeader;
    std::vector<uint8_t> buf(1 << 16);
    uint64_t pos = m.data_offset, left = m.packed_size;
    uint16_t crc = 0;
    while (left) {
        size_t n = left < buf.size() ? (size_t)left : buf.size();
        if (!in.read(in.ctx, pos, buf.data(), n)) return kReadFailed;
        crc = Crc16(crc, buf.data(), n);
        if (!out.write(out.ctx, buf.data(), n)) return kWriteFailed;
        pos += n;
        left -= n;
    }
    if (m.has_crc && crc != m.crc) return kCrcMismatch;
    return kOk;
}

// The two LZSS methods of the older LArc archives: -lzs- (2 KB dictionary, bit-packed
// tokens) and -lz5- (4 KB, a flag byte before each eight tokens). Matches name an absolute
// position in a ring whose starting contents and write position are part of the format.
Status DecodeLarc(const Input &in, const Member &m, const Output &out, bool lz5)
{
    const size_t ring_size = lz5 ? 4096 : 2048;
    std::vector<uint8_t> ring(ring_size, ' ');
    size_t w;
    if (lz5) {
        for (int i = 0; i < 256; i++) memset(&ring[i * 13], i, 13);
        for (int i = 0; i < 256; i++) ring[3328 + i] = (uint8_t)i;
        for (int i = 0; i < 256; i++) ring[3584 + i] = (uint8_t)(255 - i);
        memset(&ring[3840], 0, 128);
        memset(&ring[4078], 0, 18);
        w = 4096 - 18;
    } else {
        w = 2048 - 17;
    }
    std::vector<uint8_t> inbuf(1 << 16), outbuf;
    outbuf.reserve(1 << 16);
    uint64_t pos = m.data_offset, end = m.data_offset + m.packed_size;
    size_t ip = 0, ilen = 0;
    bool short_input = false;
    auto byte = [&]() -> unsigned {
        if (ip == ilen) {
            size_t n = end - pos < inbuf.size() ? (size_t)(end - pos) : inbuf.size();
            if (n == 0 || !in.read(in.ctx, pos, inbuf.data(), n)) {
                short_input = true;
                return 0;
            }
            pos += n;
            ilen = n;
            ip = 0;
        }
        return inbuf[ip++];
    };
    unsigned bitbuf = 0;
    int bits = 0;
    auto bit = [&](int n) -> unsigned {
        unsigned v = 0;
        while (n--) {
            if (bits == 0) {
                bitbuf = byte();
                bits = 8;
            }
            v = (v << 1) | ((bitbuf >> --bits) & 1);
        }
        return v;
    };
    uint64_t remaining = m.original_size;
    uint16_t crc = 0;
    auto emit = [&](uint8_t c) -> bool {
        ring[w] = c;
        w = (w + 1) & (ring_size - 1);
        outbuf.push_back(c);
        remaining--;
        if (outbuf.size() < (1 << 16)) return true;
        crc = Crc16(crc, outbuf.data(), outbuf.size());
        bool ok = out.write(out.ctx, outbuf.data(), outbuf.size());
        outbuf.clear();
        return ok;
    };
    unsigned flags = 0, flag_count = 0;
    while (remaining > 0) {
        bool literal;
        if (lz5) {
            if (flag_count == 0) {
                flags = byte();
                flag_count = 8;
            }
            literal = flags & 1;
            flags >>= 1;
            flag_count--;
        } else {
            literal = bit(1) != 0;
        }
        if (literal) {
            uint8_t c = (uint8_t)(lz5 ? byte() : bit(8));
            if (short_input) return kTruncated;
            if (!emit(c)) return kWriteFailed;
            continue;
        }
        size_t from, len;
        if (lz5) {
            unsigned lo = byte(), hi = byte();
            from = lo | ((hi & 0xF0) << 4);
            len = (hi & 0x0F) + 3;
        } else {
            from = bit(11);
            len = bit(4) + 2;
        }
        if (short_input) return kTruncated;
        for (size_t k = 0; k < len && remaining > 0; k++)
            if (!emit(ring[(from + k) & (ring_size - 1)])) return kWriteFailed;
    }
    crc = Crc16(crc, outbuf.data(), outbuf.size());
    if (!out.write(out.ctx, outbuf.data(), outbuf.size())) return kWriteFailed;
    if (m.has_crc && crc != m.crc) return kCrcMismatch;
    return kOk;
}

// -lh1-: a 4 KB dictionary, lengths 3..60, literals and lengths coded with an adaptive
// Huffman tree, the upper six bits of a position with a fixed code and the lower six raw.
struct AdaptiveHuffman {
    static const int kSymbols = 314;
    static const int kNodes = 2 * kSymbols - 1;
    static const int kRoot = kNodes - 1;
    static const unsigned kMaxFreq = 0x8000;
    unsigned freq[kNodes + 1];
    int parent[kNodes + kSymbols];
    int son[kNodes];

    void Start()
    {
        for (int i = 0; i < kSymbols; i++) {
            freq[i] = 1;
            son[i] = i + kNodes;
            parent[i + kNodes] = i;
        }
        for (int i = 0, j = kSymbols; j <= kRoot; i += 2, j++) {
            freq[j] = freq[i] + freq[i + 1];
            son[j] = i;
            parent[i] = parent[i + 1] = j;
        }
        freq[kNodes] = 0xFFFF;  // a sentinel larger than any count
        parent[kRoot] = 0;
    }

    // Halves the counts and rebuilds the tree once the root count reaches the limit.
    void Rebuild()
    {
        int j = 0;
        for (int i = 0; i < kNodes; i++) {
            if (son[i] >= kNodes) {
                freq[j] = (freq[i] + 1) / 2;
                son[j] = son[i];
                j++;
            }
        }
        for (int i = 0, k, n = kSymbols; n < kNodes; i += 2, n++) {
            unsigned f = freq[i] + freq[i + 1];
            for (k = n - 1; f < freq[k]; k--) {
            }
            k++;
            memmove(&freq[k + 1], &freq[k], (n - k) * sizeof freq[0]);
            freq[k] = f;
            memmove(&son[k + 1], &son[k], (n - k) * sizeof son[0]);
            son[k] = i;
        }
        for (int i = 0; i < kNodes; i++) {
            int k = son[i];
            if (k >= kNodes) parent[k] = i;
            else parent[k] = parent[k + 1] = i;
        }
    }

    // Counts symbol c and swaps nodes so that counts stay ordered along the node list.
    void Update(int c)
    {
        if (freq[kRoot] == kMaxFreq) Rebuild();
        c = parent[c + kNodes];
        do {
            unsigned k = ++freq[c];
            int l = c + 1;
            if (k > freq[l]) {
                while (k > freq[++l]) {
                }
                l--;
                freq[c] = freq[l];
                freq[l] = k;
                int i = son[c];
                parent[i] = l;
                if (i < kNodes) parent[i + 1] = l;
                int j = son[l];
                son[l] = i;
                parent[j] = c;
                if (j < kNodes) parent[j + 1] = c;
                son[c] = j;
                c = l;
            }
        } while ((c = parent[c]) != 0);
    }
};

// Code lengths of the upper six position bits: 1 of 3 bits, 3 of 4, 8 of 5, 12 of 6, 24 of 7, 16 of 8.
int Lh1PositionLength(int upper)
{
    static const int first[] = {0, 1, 4, 12, 24, 48, 64};
    int len = 3;
    while (upper >= first[len - 2]) len++;
    return len;
}

Status DecodeLh1(const Input &in, const Member &m, const Output &out)
{
    std::unique_ptr<BitReader> br(new BitReader);
    br->in = &in;
    br->pos = m.data_offset;
    br->end = m.data_offset + m.packed_size;
    br->total = m.packed_size * 8;
    std::unique_ptr<AdaptiveHuffman> tree(new AdaptiveHuffman);
    tree->Start();
    // Upper position bits from the next eight bits of the stream: canonical codes in order.
    uint8_t upper_of[256], length_of[256];
    for (int s = 0, code = 0, prev = 3; s < 64; s++) {
        int len = Lh1PositionLength(s);
        code <<= len - prev;
        prev = len;
        for (int v = 0; v < (1 << (8 - len)); v++) {
            upper_of[(code << (8 - len)) | v] = (uint8_t)s;
            length_of[(code << (8 - len)) | v] = (uint8_t)len;
        }
        code++;
    }
    const size_t kSize = 4096;
    std::vector<uint8_t> ring(kSize, ' '), buf;
    buf.reserve(1 << 16);
    size_t r = kSize - 60;
    uint64_t remaining = m.original_size;
    uint16_t crc = 0;
    auto emit = [&](uint8_t c) -> bool {
        ring[r] = c;
        r = (r + 1) & (kSize - 1);
        buf.push_back(c);
        remaining--;
        if (buf.size() < (1 << 16)) return true;
        crc = Crc16(crc, buf.data(), buf.size());
        bool ok = out.write(out.ctx, buf.data(), buf.size());
        buf.clear();
        return ok;
    };
    while (remaining > 0) {
        br->Refill();
        int c = tree->son[AdaptiveHuffman::kRoot];
        while (c < AdaptiveHuffman::kNodes) c = tree->son[c + br->Get(1)];
        c -= AdaptiveHuffman::kNodes;
        tree->Update(c);
        if (c < 256) {
            if (!emit((uint8_t)c)) return kWriteFailed;
        } else {
            unsigned v = br->Peek(8);
            br->Skip(length_of[v]);
            unsigned dist = ((unsigned)upper_of[v] << 6 | br->Get(6)) + 1;
            size_t from = (r - dist) & (kSize - 1);
            for (int k = 0, len = c - 253; k < len && remaining > 0; k++)
                if (!emit(ring[(from + k) & (kSize - 1)])) return kWriteFailed;
        }
        if (br->consumed > br->total) return br->failed ? kReadFailed : kTruncated;
    }
    if (br->failed) return kReadFailed;
    crc = Crc16(crc, buf.data(), buf.size());
    if (!out.write(out.ctx, buf.data(), buf.size())) return kWriteFailed;
    if (m.has_crc && crc != m.crc) return kCrcMismatch;
    return kOk;
}

}  // namespace

Status ExtractMember(const Input &in, const Member &m, const Output &out)
{
    if (m.data_offset > in.size || m.packed_size > in.size - m.data_offset) return kTruncated;
    switch (m.method_id) {
    case kMethodDir: return kOk;
    case kMethodStored: return CopyStored(in, m, out);
    case kMethodLh5: return DecodeLzh(in, m, out, 13);
    case kMethodLh6: return DecodeLzh(in, m, out, 15);
    case kMethodLh7: return DecodeLzh(in, m, out, 16);
    case kMethodLh1: return DecodeLh1(in, m, out);
    case kMethodLzs: return DecodeLarc(in, m, out, false);
    case kMethodLz5: return DecodeLarc(in, m, out, true);
    default: return kUnsupportedMethod;
    }
}

}  // namespace lha
