// -lh5- encoder: hash-chain LZSS with one step of lazy matching, and per block the
// optimal Huffman codes (lengths limited to 16 bits) in the format the decoder reads.
#include "lha.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace lha {

namespace {

const int kDicBits = 13;
const int kDicSize = 1 << kDicBits;
const int kMaxMatch = 256;
const int kMinMatch = 3;
const int kNC = 510;
const int kNT = 19;
const int kNP = kDicBits + 1;
const int kCBits = 9;
const int kTBits = 5;
const int kPBits = 4;
const int kMaxLen = 16;
const int kHashBits = 15;
const int kBufSize = 1 << 18;
const int kBlockSymbols = 8192;  // smaller blocks follow changing data better than they cost in trees
const int kMaxChain = 256;
const int kGoodLength = 32;   // a match this long is not worth a lazy look with a full chain
const int kNiceLength = 128;  // stop searching once a match this long is found

struct BitWriter {
    const Output *out;
    std::vector<uint8_t> bytes;
    uint64_t acc = 0;
    int nbits = 0;
    uint64_t written = 0;
    bool failed = false;

    void Put(int n, unsigned v)
    {
        acc = (acc << n) | v;
        nbits += n;
        while (nbits >= 8) {
            nbits -= 8;
            bytes.push_back((uint8_t)(acc >> nbits));
        }
        if (bytes.size() >= (1 << 16)) Drain();
    }
    void Drain()
    {
        if (!bytes.empty() && !failed && !out->write(out->ctx, bytes.data(), bytes.size())) failed = true;
        written += bytes.size();
        bytes.clear();
    }
    void Finish()
    {
        if (nbits > 0) Put(8 - nbits, 0);
        Drain();
    }
    uint64_t Size() const { return written + bytes.size(); }
};

// Huffman code lengths for freq[0..n), no longer than limit: rarely needed flattening of the
// counts keeps the construction simple and costs next to nothing in size.
void MakeLengths(const uint32_t *freq_in, int n, uint8_t *len)
{
    std::vector<uint32_t> freq(freq_in, freq_in + n);
    for (;;) {
        memset(len, 0, n);
        std::vector<int> syms;
        for (int i = 0; i < n; i++)
            if (freq[i]) syms.push_back(i);
        if (syms.size() < 2) {
            for (int s : syms) len[s] = 1;
            return;
        }
        std::sort(syms.begin(), syms.end(), [&](int a, int b) { return freq[a] != freq[b] ? freq[a] < freq[b] : a < b; });
        // Two-queue construction: leaves in order, internal nodes are created in order of weight.
        int m = (int)syms.size();
        std::vector<uint64_t> w(2 * m);
        std::vector<int> parent(2 * m, -1);
        for (int i = 0; i < m; i++) w[i] = freq[syms[i]];
        int leaf = 0, node = m, next = m;
        auto take = [&]() {
            if (leaf < m && (node >= next || w[leaf] <= w[node])) return leaf++;
            return node++;
        };
        for (int k = 0; k < m - 1; k++) {
            int a = take(), b = take();
            w[next] = w[a] + w[b];
            parent[a] = parent[b] = next;
            next++;
        }
        std::vector<int> depth(2 * m, 0);
        int maxd = 0;
        for (int i = next - 2; i >= 0; i--) {
            depth[i] = depth[parent[i]] + 1;
            if (i < m) maxd = std::max(maxd, depth[i]);
        }
        if (maxd <= kMaxLen) {
            for (int i = 0; i < m; i++) len[syms[i]] = (uint8_t)depth[i];
            return;
        }
        for (auto &f : freq)
            if (f) f = (f >> 1) | 1;
    }
}

void MakeCodes(const uint8_t *len, int n, uint16_t *code)
{
    unsigned count[kMaxLen + 1] = {0}, next[kMaxLen + 2];
    for (int i = 0; i < n; i++) count[len[i]]++;
    count[0] = 0;
    unsigned c = 0;
    for (int l = 1; l <= kMaxLen; l++) {
        next[l] = c;
        c = (c + count[l]) << 1;
    }
    for (int i = 0; i < n; i++)
        if (len[i]) code[i] = (uint16_t)next[len[i]]++;
}

int UsedCount(const uint32_t *freq, int n, int *only)
{
    int used = 0;
    *only = 0;
    for (int i = 0; i < n; i++)
        if (freq[i]) {
            used++;
            *only = i;
        }
    return used;
}

int PositionSymbol(unsigned d)
{
    int p = 0;
    while (d) {
        p++;
        d >>= 1;
    }
    return p;
}

struct Encoder {
    BitWriter bw;
    uint16_t syms[kBlockSymbols];
    uint16_t dists[kBlockSymbols];
    int nsyms = 0;
    uint32_t cfreq[kNC], pfreq[kNP], tfreq[kNT];
    uint8_t clen[kNC], plen[kNP], tlen[kNT];
    uint16_t ccode[kNC], pcode[kNP], tcode[kNT];

    void WritePtLen(const uint8_t *len, int nn, int nbit, int special)
    {
        int n = nn;
        while (n > 0 && len[n - 1] == 0) n--;
        bw.Put(nbit, n);
        int i = 0;
        while (i < n) {
            int k = len[i++];
            if (k <= 6) {
                bw.Put(3, k);
            } else {
                bw.Put(3, 7);
                for (int j = 7; j < k; j++) bw.Put(1, 1);
                bw.Put(1, 0);
            }
            if (i == special) {
                int z = 0;
                while (z < 3 && i + z < n && len[i + z] == 0) z++;
                bw.Put(2, z);
                i += z;
            }
        }
    }

    // Walks the literal/length code lengths as the run-length alphabet; either counts the
    // symbols or writes them.
    template <typename Emit> void WalkCLen(int n, Emit emit)
    {
        int i = 0;
        while (i < n) {
            int k = clen[i++];
            if (k != 0) {
                emit(k + 2, 0, 0);
                continue;
            }
            int run = 1;
            while (i < n && clen[i] == 0) {
                i++;
                run++;
            }
            if (run <= 2) {
                while (run--) emit(0, 0, 0);
            } else if (run <= 18) {
                emit(1, 4, run - 3);
            } else if (run == 19) {
                emit(0, 0, 0);
                emit(1, 4, 15);
            } else {
                emit(2, kCBits, run - 20);
            }
        }
    }

    void FlushBlock()
    {
        if (nsyms == 0) return;
        int conly, ponly;
        int cused = UsedCount(cfreq, kNC, &conly);
        int pused = UsedCount(pfreq, kNP, &ponly);
        bw.Put(16, nsyms);
        if (cused <= 1) {
            bw.Put(kTBits, 0);
            bw.Put(kTBits, 0);
            bw.Put(kCBits, 0);
            bw.Put(kCBits, conly);
            memset(clen, 0, sizeof clen);
        } else {
            MakeLengths(cfreq, kNC, clen);
            MakeCodes(clen, kNC, ccode);
            int n = kNC;
            while (n > 0 && clen[n - 1] == 0) n--;
            memset(tfreq, 0, sizeof tfreq);
            WalkCLen(n, [&](int t, int, unsigned) { tfreq[t]++; });
            int tonly;
            if (UsedCount(tfreq, kNT, &tonly) <= 1) {
                bw.Put(kTBits, 0);
                bw.Put(kTBits, tonly);
                memset(tlen, 0, sizeof tlen);
            } else {
                MakeLengths(tfreq, kNT, tlen);
                MakeCodes(tlen, kNT, tcode);
                WritePtLen(tlen, kNT, kTBits, 3);
            }
            bw.Put(kCBits, n);
            WalkCLen(n, [&](int t, int extra_bits, unsigned extra) {
                if (tlen[t]) bw.Put(tlen[t], tcode[t]);
                if (extra_bits) bw.Put(extra_bits, extra);
            });
        }
        if (pused <= 1) {
            bw.Put(kPBits, 0);
            bw.Put(kPBits, ponly);
            memset(plen, 0, sizeof plen);
        } else {
            MakeLengths(pfreq, kNP, plen);
            MakeCodes(plen, kNP, pcode);
            WritePtLen(plen, kNP, kPBits, -1);
        }
        for (int i = 0; i < nsyms; i++) {
            int c = syms[i];
            if (clen[c]) bw.Put(clen[c], ccode[c]);
            if (c >= 256) {
                unsigned d = dists[i];
                int p = PositionSymbol(d);
                if (plen[p]) bw.Put(plen[p], pcode[p]);
                if (p > 1) bw.Put(p - 1, d - (1u << (p - 1)));
            }
        }
        nsyms = 0;
        memset(cfreq, 0, sizeof cfreq);
        memset(pfreq, 0, sizeof pfreq);
    }

    void Literal(uint8_t c)
    {
        syms[nsyms++] = c;
        cfreq[c]++;
        if (nsyms == kBlockSymbols) FlushBlock();
    }

    void Match(int len, unsigned dist)
    {
        int c = len - kMinMatch + 256;
        syms[nsyms] = (uint16_t)c;
        dists[nsyms++] = (uint16_t)(dist - 1);
        cfreq[c]++;
        pfreq[PositionSymbol(dist - 1)]++;
        if (nsyms == kBlockSymbols) FlushBlock();
    }
};

struct Window {
    std::vector<uint8_t> buf;
    std::vector<int32_t> head, prev;
    int end = 0;

    Window() : buf(kBufSize + kMaxMatch), head(1 << kHashBits, -1), prev(kDicSize, -1) {}

    unsigned Hash(int pos) const
    {
        uint32_t v = buf[pos] | (buf[pos + 1] << 8) | (buf[pos + 2] << 16);
        return (v * 2654435761u) >> (32 - kHashBits);
    }
    void Insert(int pos)
    {
        unsigned h = Hash(pos);
        prev[pos & (kDicSize - 1)] = head[h];
        head[h] = pos;
    }
    int Find(int pos, int maxlen, int chain, int prev_len, unsigned *dist) const
    {
        int best = prev_len < kMinMatch - 1 ? kMinMatch - 1 : prev_len;
        int found = 0;
        int cand = head[Hash(pos)];
        const uint8_t *s = &buf[pos];
        while (cand >= 0 && pos - cand <= kDicSize && chain-- > 0) {
            const uint8_t *t = &buf[cand];
            if (t[best] == s[best] && t[0] == s[0] && t[1] == s[1]) {
                int l = 2;
                while (l < maxlen && t[l] == s[l]) l++;
                if (l > best) {
                    best = l;
                    found = l;
                    *dist = (unsigned)(pos - cand);
                    if (l >= maxlen || l >= kNiceLength) break;
                }
            }
            int next = prev[cand & (kDicSize - 1)];
            if (next >= cand) break;
            cand = next;
        }
        return found;
    }
    // Keeps the last dictionary's worth of data and moves it to the front.
    int Slide(int pos)
    {
        int shift = pos - kDicSize;
        memmove(buf.data(), buf.data() + shift, end - shift);
        end -= shift;
        for (auto &h : head) h = h >= shift ? h - shift : -1;
        for (auto &p : prev) p = p >= shift ? p - shift : -1;
        return shift;
    }
};

}  // namespace

Status StoreRaw(const Source &src, const Output &out, EncodeResult *res)
{
    *res = EncodeResult();
    std::vector<uint8_t> buf(1 << 16);
    for (;;) {
        long long n = src.pull(src.ctx, buf.data(), buf.size());
        if (n < 0) return kReadFailed;
        if (n == 0) return kOk;
        res->crc = Crc16(res->crc, buf.data(), (size_t)n);
        res->original_size += (uint64_t)n;
        res->packed_size += (uint64_t)n;
        if (!out.write(out.ctx, buf.data(), (size_t)n)) return kWriteFailed;
    }
}

Status EncodeLh5(const Source &src, const Output &out, uint64_t limit, EncodeResult *res)
{
    *res = EncodeResult();
    std::unique_ptr<Encoder> enc(new Encoder);
    std::unique_ptr<Window> win(new Window);
    enc->bw.out = &out;
    memset(enc->cfreq, 0, sizeof enc->cfreq);
    memset(enc->pfreq, 0, sizeof enc->pfreq);
    Window &W = *win;
    bool eof = false;
    int pos = 0;
    int prev_len = 0;
    unsigned prev_dist = 0;
    bool pending = false;  // a literal at pos - 1 waits for the lazy decision

    auto fill = [&]() -> bool {
        while (!eof && W.end < kBufSize) {
            long long n = src.pull(src.ctx, &W.buf[W.end], kBufSize - W.end);
            if (n < 0) return false;
            if (n == 0) {
                eof = true;
                break;
            }
            res->crc = Crc16(res->crc, &W.buf[W.end], (size_t)n);
            res->original_size += (uint64_t)n;
            W.end += (int)n;
        }
        return true;
    };
    if (!fill()) return kReadFailed;

    while (pos < W.end) {
        if (!eof && W.end - pos < kMaxMatch + kMinMatch) {
            if (pos > kDicSize && W.end == kBufSize) pos -= W.Slide(pos);
            if (!fill()) return kReadFailed;
        }
        int avail = W.end - pos;
        int maxlen = avail < kMaxMatch ? avail : kMaxMatch;
        int len = 0;
        unsigned dist = 0;
        if (maxlen >= kMinMatch) {
            if (prev_len < kNiceLength) {
                int chain = prev_len >= kGoodLength ? kMaxChain / 4 : kMaxChain;
                len = W.Find(pos, maxlen, chain, prev_len, &dist);
            }
            W.Insert(pos);
        }
        if (prev_len >= kMinMatch && len <= prev_len) {
            enc->Match(prev_len, prev_dist);
            int stop = pos - 1 + prev_len;
            for (int p = pos + 1; p < stop; p++)
                if (W.end - p >= kMinMatch) W.Insert(p);
            pos = stop;
            prev_len = 0;
            pending = false;
        } else {
            if (pending) enc->Literal(W.buf[pos - 1]);
            pending = true;
            prev_len = len;
            prev_dist = dist;
            pos++;
        }
        if (enc->bw.Size() > limit) break;
    }
    if (pending && enc->bw.Size() <= limit) enc->Literal(W.buf[pos - 1]);
    if (enc->bw.Size() <= limit) enc->FlushBlock();
    enc->bw.Finish();
    if (enc->bw.failed) return kWriteFailed;
    res->packed_size = enc->bw.written;
    if (res->packed_size > limit) {
        // Stopped early: drain the source so the caller sees the full size and CRC anyway.
        std::vector<uint8_t> rest(1 << 16);
        for (;;) {
            long long n = src.pull(src.ctx, rest.data(), rest.size());
            if (n < 0) return kReadFailed;
            if (n == 0) break;
            res->crc = Crc16(res->crc, rest.data(), (size_t)n);
            res->original_size += (uint64_t)n;
        }
    }
    return kOk;
}

}  // namespace lha
