// Codec tests: round trips through the encoder and decoder, headers of every level built
// byte by byte from the format, damaged archives, name safety and wildcards, and a replay
// of the fuzzer's saved inputs.
#include "lha.h"
#include "../fuzz/lha_fuzz_body.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace {

using Bytes = std::vector<uint8_t>;

struct Reader {
    const Bytes *data;
    size_t pos = 0;
};

long long Pull(void *ctx, void *buf, size_t n)
{
    Reader *r = (Reader *)ctx;
    size_t left = r->data->size() - r->pos;
    // Small uneven pieces exercise the encoder's refilling.
    if (n > 40000) n = 40000;
    if (n > left) n = left;
    memcpy(buf, r->data->data() + r->pos, n);
    r->pos += n;
    return (long long)n;
}

bool Append(void *ctx, const void *buf, size_t n)
{
    Bytes *v = (Bytes *)ctx;
    v->insert(v->end(), (const uint8_t *)buf, (const uint8_t *)buf + n);
    return true;
}

lha::EncodeResult Encode(const Bytes &data, Bytes *packed, uint64_t limit = UINT64_MAX)
{
    Reader r{&data};
    lha::Source src{&r, Pull};
    lha::Output out{packed, Append};
    lha::EncodeResult res;
    EXPECT_EQ(lha::kOk, lha::EncodeLh5(src, out, limit, &res));
    return res;
}

void Put16(Bytes &v, unsigned x) { v.push_back((uint8_t)x); v.push_back((uint8_t)(x >> 8)); }
void Put32(Bytes &v, uint32_t x) { Put16(v, x & 0xFFFF); Put16(v, x >> 16); }

// An archive of level-2 members written by the library's own writer.
struct ArchiveBuilder {
    Bytes bytes;
    void Add(const std::string &name, const Bytes &data, bool compress = true)
    {
        Bytes packed;
        lha::Member m;
        m.name = name;
        if (compress) {
            lha::EncodeResult r = Encode(data, &packed);
            memcpy(m.method, "-lh5-", 6);
            m.crc = r.crc;
        } else {
            packed = data;
            memcpy(m.method, "-lh0-", 6);
            m.crc = lha::Crc16(0, data.data(), data.size());
        }
        m.packed_size = packed.size();
        m.original_size = data.size();
        m.unix_time = 1700000000;
        Bytes h = lha::BuildLevel2Header(m);
        bytes.insert(bytes.end(), h.begin(), h.end());
        bytes.insert(bytes.end(), packed.begin(), packed.end());
    }
    Bytes Finish() { Bytes b = bytes; b.push_back(0); return b; }
};

struct MemInput {
    lha_fuzz::Memory mem;
    lha::Input in;
    explicit MemInput(const Bytes &b) : mem{b.data(), b.size()}, in{&mem, b.size(), lha_fuzz::ReadMemory} {}
};

lha::Status Decode(const Bytes &archive, const lha::Member &m, Bytes *out)
{
    MemInput mi(archive);
    lha::Output o{out, Append};
    return lha::ExtractMember(mi.in, m, o);
}

Bytes RandomBytes(size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto &c : b) c = (uint8_t)rng();
    return b;
}

// Text-like data: words drawn with a skewed distribution, as in source code or prose.
Bytes TextBytes(size_t n, unsigned seed)
{
    static const char *words[] = {"the ", "archive ", "member ", "header ", "of ", "data ", "\r\n", "int ", "return ",
                                  "static ", "{ ", "} ", "(x) ", "0x20, ", "directory ", "name "};
    std::mt19937 rng(seed);
    Bytes b;
    while (b.size() < n) {
        unsigned r = rng() % 256;
        const char *w = words[(r * r) >> 12];
        b.insert(b.end(), w, w + strlen(w));
    }
    b.resize(n);
    return b;
}

TEST(Crc16, MatchesTheStandardCheckValue)
{
    EXPECT_EQ(0xBB3D, lha::Crc16(0, "123456789", 9));
    // Feeding in pieces gives the same result as in one go.
    uint16_t c = lha::Crc16(0, "1234", 4);
    EXPECT_EQ(0xBB3D, lha::Crc16(c, "56789", 5));
}

TEST(Lh5, RoundTripsDataOfEveryShape)
{
    Bytes periodic;
    for (int i = 0; i < 300000; i++) periodic.push_back((uint8_t)((i % 8191) * 7));
    Bytes far_repeat = RandomBytes(9000, 5);
    far_repeat.insert(far_repeat.end(), far_repeat.begin(), far_repeat.end());  // beyond the window
    Bytes mixed = TextBytes(1 << 20, 1);
    Bytes noise = RandomBytes(300000, 2);
    mixed.insert(mixed.end(), noise.begin(), noise.end());
    const Bytes cases[] = {Bytes(), Bytes{'a'}, Bytes{'a', 'b', 'a', 'b', 'a', 'b'}, Bytes(100000, 0x41),
                           RandomBytes(70000, 3), TextBytes(200000, 4), periodic, far_repeat, mixed};
    int index = 0;
    for (const Bytes &data : cases) {
        SCOPED_TRACE(index++);
        ArchiveBuilder ab;
        ab.Add("x.bin", data);
        Bytes archive = ab.Finish();
        MemInput mi(archive);
        std::vector<lha::Member> members;
        ASSERT_EQ(lha::kOk, lha::ListMembers(mi.in, &members));
        ASSERT_EQ(1u, members.size());
        EXPECT_EQ(data.size(), members[0].original_size);
        EXPECT_EQ(lha::Crc16(0, data.data(), data.size()), members[0].crc);
        Bytes out;
        ASSERT_EQ(lha::kOk, Decode(archive, members[0], &out));
        EXPECT_TRUE(out == data);
    }
}

TEST(Lh5, CompressesRedundantDataAndStopsEarlyOnNoise)
{
    Bytes text = TextBytes(500000, 9);
    Bytes packed;
    lha::EncodeResult r = Encode(text, &packed);
    EXPECT_LT(r.packed_size, text.size() / 3);
    EXPECT_EQ(packed.size(), r.packed_size);

    Bytes noise = RandomBytes(400000, 10), partial;
    r = Encode(noise, &partial, noise.size());
    EXPECT_GT(r.packed_size, noise.size());
    EXPECT_LT(partial.size(), noise.size() + 70000);  // gave up soon after passing the limit
    EXPECT_EQ(noise.size(), r.original_size);          // but still read everything
    EXPECT_EQ(lha::Crc16(0, noise.data(), noise.size()), r.crc);
}

TEST(Level2Header, RoundTripsNamesTimesAndAttributes)
{
    // "表" is 0x95 0x5C: its second byte must not be taken for a separator.
    const std::string names[] = {"file.txt", "dir\\sub\\file.txt", "\x95\x5C\\\x97\x5C.txt", "a\\b"};
    for (const std::string &name : names) {
        for (bool dir : {false, true}) {
            lha::Member m;
            m.name = name;
            m.is_dir = dir;
            memcpy(m.method, dir ? "-lhd-" : "-lh0-", 6);
            m.packed_size = m.original_size = dir ? 0 : 3;
            m.crc = dir ? 0 : lha::Crc16(0, "abc", 3);
            m.unix_time = 1234567890;
            m.attr = 0x21;
            Bytes a = lha::BuildLevel2Header(m);
            EXPECT_NE(0, a[0]);
            if (!dir) a.insert(a.end(), {'a', 'b', 'c'});
            a.push_back(0);
            MemInput mi(a);
            std::vector<lha::Member> got;
            ASSERT_EQ(lha::kOk, lha::ListMembers(mi.in, &got));
            ASSERT_EQ(1u, got.size());
            EXPECT_EQ(name, got[0].name);
            EXPECT_EQ(dir, got[0].is_dir);
            EXPECT_EQ(2, got[0].level);
            EXPECT_TRUE(got[0].has_unix_time);
            EXPECT_EQ(1234567890u, got[0].unix_time);
            EXPECT_EQ(0x21, got[0].attr);
            Bytes out;
            EXPECT_EQ(lha::kOk, Decode(a, got[0], &out));
            EXPECT_EQ(dir ? 0u : 3u, out.size());
        }
    }
}

TEST(Level2Header, CarriesTheUtf16NameBesideTheShiftJisOne)
{
    for (bool dir : {false, true}) {
        lha::Member m;
        m.name = "\x95\x5C\\\x93\xFA.txt";
        m.wide_name = u"\u8868\\\u65E5.txt";
        m.is_dir = dir;
        memcpy(m.method, dir ? "-lhd-" : "-lh0-", 6);
        Bytes a = lha::BuildLevel2Header(m);
        a.push_back(0);
        MemInput mi(a);
        std::vector<lha::Member> got;
        ASSERT_EQ(lha::kOk, lha::ListMembers(mi.in, &got));
        EXPECT_EQ(m.name, got[0].name);
        EXPECT_TRUE(m.wide_name == got[0].wide_name);
    }
    // Without one the reader leaves it empty; a rooted UTF-16 name loses its root like the other.
    lha::Member plain;
    plain.name = "a.txt";
    memcpy(plain.method, "-lh0-", 6);
    Bytes a = lha::BuildLevel2Header(plain);
    a.push_back(0);
    MemInput mi(a);
    std::vector<lha::Member> got;
    ASSERT_EQ(lha::kOk, lha::ListMembers(mi.in, &got));
    EXPECT_TRUE(got[0].wide_name.empty());
    plain.wide_name = u"\\..\\x";
    a = lha::BuildLevel2Header(plain);
    a.push_back(0);
    MemInput mi2(a);
    ASSERT_EQ(lha::kOk, lha::ListMembers(mi2.in, &got));
    EXPECT_TRUE(got[0].wide_name == u"..\\x");
}

TEST(Level2Header, PadsAHeaderWhoseSizeWouldReadAsTheEndMark)
{
    for (size_t len = 1; len < 300; len++) {
        lha::Member m;
        m.name = std::string(len, 'n');
        memcpy(m.method, "-lh0-", 6);
        Bytes h = lha::BuildLevel2Header(m);
        ASSERT_NE(0, h[0]) << len;
        h.push_back(0);
        MemInput mi(h);
        std::vector<lha::Member> got;
        ASSERT_EQ(lha::kOk, lha::ListMembers(mi.in, &got)) << len;
        ASSERT_EQ(1u, got.size());
        EXPECT_EQ(m.name, got[0].name);
    }
}

TEST(Level2Header, RejectsAWrongHeaderCrc)
{
    ArchiveBuilder ab;
    ab.Add("a.txt", Bytes{'x'}, false);
    Bytes a = ab.Finish();
    a[32] ^= 1;  // first byte of the file name
    MemInput mi(a);
    std::vector<lha::Member> got;
    EXPECT_EQ(lha::kBadHeader, lha::ListMembers(mi.in, &got));
}

// Level 0 and 1: the size byte and the checksum of the base header, which ends here.
void SealOldHeader(Bytes &h)
{
    h[0] = (uint8_t)(h.size() - 2);
    uint8_t sum = 0;
    for (size_t i = 2; i < h.size(); i++) sum = (uint8_t)(sum + h[i]);
    h[1] = sum;
}

// Level 0 as written by MS-DOS programs: the path is in the name with '\\' between parts.
Bytes Level0(const std::string &name, const Bytes &data, uint32_t dos_time)
{
    Bytes h;
    h.push_back(0);
    h.push_back(0);
    h.insert(h.end(), {'-', 'l', 'h', '0', '-'});
    Put32(h, (uint32_t)data.size());
    Put32(h, (uint32_t)data.size());
    Put32(h, dos_time);
    h.push_back(0x20);
    h.push_back(0);
    h.push_back((uint8_t)name.size());
    h.insert(h.end(), name.begin(), name.end());
    Put16(h, lha::Crc16(0, data.data(), data.size()));
    SealOldHeader(h);
    h.insert(h.end(), data.begin(), data.end());
    return h;
}

TEST(OlderLevels, ReadLevel0NamesWithPathsAndDoubleByteCharacters)
{
    Bytes a = Level0("DIR\\FILE.TXT", Bytes{'h', 'i'}, 0x12345678);
    Bytes b = Level0("\x95\x5C.TXT", Bytes{'y'}, 0);
    Bytes c = Level0("unix/style.txt", Bytes(), 0);
    a.insert(a.end(), b.begin(), b.end());
    a.insert(a.end(), c.begin(), c.end());
    a.push_back(0);
    MemInput mi(a);
    std::vector<lha::Member> got;
    ASSERT_EQ(lha::kOk, lha::ListMembers(mi.in, &got));
    ASSERT_EQ(3u, got.size());
    EXPECT_EQ("DIR\\FILE.TXT", got[0].name);
    EXPECT_EQ(0x12345678u, got[0].dos_time);
    EXPECT_FALSE(got[0].has_unix_time);
    EXPECT_EQ("\x95\x5C.TXT", got[1].name);
    EXPECT_EQ("unix\\style.txt", got[2].name);
    Bytes out;
    EXPECT_EQ(lha::kOk, Decode(a, got[0], &out));
    EXPECT_EQ((Bytes{'h', 'i'}), out);

    // The checksum byte protects the level-0 header.
    a[1] ^= 0x40;
    MemInput bad(a);
    EXPECT_EQ(lha::kBadHeader, lha::ListMembers(bad.in, &got));
}

TEST(OlderLevels, ReadLevel1ExtensionsOutsideTheCompressedSize)
{
    Bytes data = TextBytes(5000, 3), packed;
    lha::EncodeResult r = Encode(data, &packed);
    Bytes ext;
    // directory "src" + 0xFF, then a Unix time stamp
    ext.push_back(7);
    ext.push_back(0);
    ext.push_back(0x02);
    ext.insert(ext.end(), {'s', 'r', 'c', 0xFF});
    Put16(ext, 7);
    ext.push_back(0x54);
    Put32(ext, 1600000000);
    Put16(ext, 0);
    size_t ext_size = 7 + 7;
    Bytes h;
    h.push_back(0);
    h.push_back(0);
    h.insert(h.end(), {'-', 'l', 'h', '5', '-'});
    Put32(h, (uint32_t)(packed.size() + ext_size));
    Put32(h, (uint32_t)data.size());
    Put32(h, 0);
    h.push_back(0x20);
    h.push_back(1);
    h.push_back(5);
    h.insert(h.end(), {'m', '.', 'c', 'p', 'p'});
    Put16(h, r.crc);
    h.push_back('U');
    Put16(h, 0);  // patched below: the first extension's size
    h[0] = (uint8_t)(h.size() - 2);
    h[h.size() - 2] = 7;
    h.insert(h.end(), ext.begin() + 2, ext.end());
    // the checksum covers the base header only
    uint8_t sum = 0;
    for (size_t i = 2; i < (size_t)h[0] + 2; i++) sum = (uint8_t)(sum + h[i]);
    h[1] = sum;
    h.insert(h.end(), packed.begin(), packed.end());
    h.push_back(0);
    MemInput mi(h);
    std::vector<lha::Member> got;
    ASSERT_EQ(lha::kOk, lha::ListMembers(mi.in, &got));
    ASSERT_EQ(1u, got.size());
    EXPECT_EQ("src\\m.cpp", got[0].name);
    EXPECT_EQ(packed.size(), got[0].packed_size);
    EXPECT_TRUE(got[0].has_unix_time);
    EXPECT_EQ(1600000000u, got[0].unix_time);
    Bytes out;
    ASSERT_EQ(lha::kOk, Decode(h, got[0], &out));
    EXPECT_TRUE(out == data);
}

TEST(OlderLevels, ReadLevel3WithFourByteSizes)
{
    Bytes data{'l', 'v', '3'};
    Bytes h;
    Put16(h, 4);
    h.insert(h.end(), {'-', 'l', 'h', '0', '-'});
    Put32(h, 3);
    Put32(h, 3);
    Put32(h, 1500000000);
    h.push_back(0x20);
    h.push_back(3);
    Put16(h, lha::Crc16(0, data.data(), 3));
    h.push_back('U');
    Put32(h, 0);  // total header size, patched below
    Put32(h, 1 + 5 + 4);
    h.push_back(0x01);
    h.insert(h.end(), {'t', '.', 't', 'x', 't'});
    Put32(h, 0);
    uint32_t total = (uint32_t)h.size();
    memcpy(&h[24], &total, 4);
    h.insert(h.end(), data.begin(), data.end());
    h.push_back(0);
    MemInput mi(h);
    std::vector<lha::Member> got;
    ASSERT_EQ(lha::kOk, lha::ListMembers(mi.in, &got));
    ASSERT_EQ(1u, got.size());
    EXPECT_EQ("t.txt", got[0].name);
    EXPECT_EQ(3, got[0].level);
    Bytes out;
    EXPECT_EQ(lha::kOk, Decode(h, got[0], &out));
    EXPECT_EQ(data, out);
}

// A level-0 member with the given method and raw compressed bytes.
Bytes RawMember(const char *method, const Bytes &packed, const Bytes &expected)
{
    Bytes h{0, 0};
    h.insert(h.end(), method, method + 5);
    Put32(h, (uint32_t)packed.size());
    Put32(h, (uint32_t)expected.size());
    Put32(h, 0);
    h.push_back(0x20);
    h.push_back(0);
    h.push_back(1);
    h.push_back('x');
    Put16(h, lha::Crc16(0, expected.data(), expected.size()));
    SealOldHeader(h);
    h.insert(h.end(), packed.begin(), packed.end());
    h.push_back(0);
    return h;
}

lha::Status DecodeOnly(const Bytes &archive, Bytes *out)
{
    MemInput mi(archive);
    std::vector<lha::Member> got;
    EXPECT_EQ(lha::kOk, lha::ListMembers(mi.in, &got));
    if (got.size() != 1) return lha::kBadHeader;
    return Decode(archive, got[0], out);
}

TEST(OlderMethods, Lz5ReadsItsPresetDictionaryAndFlagBytes)
{
    // Flag bits are read from the low end, one flag byte for eight tokens: 1 = literal byte,
    // 0 = two-byte match whose position is absolute in the 4 KB ring; writing starts at 4096 - 18.
    Bytes packed{0x03, 'B', 'C', 0xEE, 0xF0,  // "BC", then 3 bytes from 4078: "BCB"
                 (uint8_t)(13 * 65), (uint8_t)(((13 * 65) >> 4) & 0xF0) | 10,  // 13 copies of 'A'
                 (uint8_t)(3328 + 48), (uint8_t)((((3328 + 48) >> 4) & 0xF0) | 7),     // the ascending run: "0123456789"
                 (uint8_t)(3968), (uint8_t)(((3968 >> 4) & 0xF0) | 0)};               // blanks
    std::string want = "BCBCB" + std::string(13, 'A') + "0123456789" + "   ";
    Bytes expected(want.begin(), want.end()), out;
    ASSERT_EQ(lha::kOk, DecodeOnly(RawMember("-lz5-", packed, expected), &out));
    EXPECT_EQ(want, std::string(out.begin(), out.end()));
}

TEST(OlderMethods, LzsReadsBitPackedTokensOverABlankDictionary)
{
    // 1 + 8 bits for a literal, 0 + 11-bit position + 4-bit length - 2 for a match;
    // writing starts at 2048 - 17 over blanks.
    struct Bits {
        Bytes b;
        int n = 0;
        void Put(int count, unsigned v)
        {
            while (count--) {
                if (n % 8 == 0) b.push_back(0);
                if ((v >> count) & 1) b.back() |= (uint8_t)(0x80 >> (n % 8));
                n++;
            }
        }
    } bits;
    bits.Put(1, 1), bits.Put(8, 'x');
    bits.Put(1, 1), bits.Put(8, 'y');
    bits.Put(1, 0), bits.Put(11, 2031), bits.Put(4, 2);  // "xyxy"
    bits.Put(1, 0), bits.Put(11, 100), bits.Put(4, 0);   // two blanks
    std::string want = "xyxyxy  ";
    Bytes expected(want.begin(), want.end()), out;
    ASSERT_EQ(lha::kOk, DecodeOnly(RawMember("-lzs-", bits.b, expected), &out));
    EXPECT_EQ(want, std::string(out.begin(), out.end()));
    // Cut short, the stream is an error rather than blanks.
    Bytes cut(bits.b.begin(), bits.b.begin() + 3);
    out.clear();
    EXPECT_NE(lha::kOk, DecodeOnly(RawMember("-lzs-", cut, expected), &out));
}

TEST(OlderMethods, Lh1DecodesItsAdaptiveCodes)
{
    // Twelve numbered lines packed with -lh1- (an independent encoder, checked against lhasa).
    const Bytes packed{
        0xDE, 0x71, 0xB5, 0x80, 0x1F, 0x4F, 0x8E, 0x1F, 0xB7, 0xFD, 0xEF, 0xC1, 0xFA, 0x81, 0x60, 0x5D, 0xB9, 0x6A, 0xFF,
        0xE1, 0x6E, 0xFA, 0xEF, 0xEA, 0xCF, 0xE6, 0xBF, 0xFC, 0x70, 0x62, 0xC2, 0xAA, 0x3E, 0xE8, 0xC0, 0x85, 0x9B, 0x1B,
        0x49, 0xAF, 0x30, 0xAB, 0xE9, 0x81, 0xD3, 0x2E, 0x7E, 0xE8, 0x4F, 0xB9, 0xFC, 0x47, 0xBD, 0xA4, 0xCC, 0xE5, 0xA8,
        0xB7, 0x83, 0xCD, 0xF4, 0xB8, 0xF3, 0x7F, 0x04, 0x79, 0xC0, 0x9C, 0x3C, 0xE0, 0xBC, 0x3C, 0xE1, 0x3E, 0x3C, 0xE1,
        0xC6, 0x3C, 0xE2, 0x4A, 0x3C, 0xE2, 0xB4, 0x79, 0x0D, 0xAF, 0x8A, 0x82, 0x43, 0x9F, 0x1B, 0x60};
    std::string want;
    for (int i = 0; i < 12; i++) want += std::to_string(i) + ": the archive header names the member and its method -lh1-\r\n";
    Bytes expected(want.begin(), want.end()), out;
    ASSERT_EQ(lha::kOk, DecodeOnly(RawMember("-lh1-", packed, expected), &out));
    EXPECT_EQ(want, std::string(out.begin(), out.end()));
    // A damaged stream desynchronises the adaptive tree: never a silent success.
    Bytes bad = packed;
    bad[20] ^= 0x08;
    out.clear();
    EXPECT_NE(lha::kOk, DecodeOnly(RawMember("-lh1-", bad, expected), &out));
}

TEST(DamagedArchives, EveryTruncationIsAnErrorNeverAWrongMember)
{
    ArchiveBuilder ab;
    Bytes d1 = TextBytes(20000, 7), d2 = RandomBytes(3000, 8);
    ab.Add("one.txt", d1);
    ab.Add("two.bin", d2, false);
    Bytes full = ab.Finish();
    for (size_t n = 0; n + 1 < full.size(); n++) {
        Bytes cut(full.begin(), full.begin() + n);
        MemInput mi(cut);
        std::vector<lha::Member> got;
        lha::Status s = lha::ListMembers(mi.in, &got);
        ASSERT_TRUE(s != lha::kOk || got.size() < 2) << n;
        for (const lha::Member &m : got) {
            Bytes out;
            if (Decode(cut, m, &out) == lha::kOk) {
                ASSERT_TRUE(out == (m.name == "one.txt" ? d1 : d2)) << n;
            }
        }
    }
}

TEST(DamagedArchives, FlippedBitsInCompressedDataAreCaught)
{
    ArchiveBuilder ab;
    Bytes data = TextBytes(30000, 11);
    ab.Add("t.txt", data);
    Bytes full = ab.Finish();
    MemInput mi(full);
    std::vector<lha::Member> got;
    ASSERT_EQ(lha::kOk, lha::ListMembers(mi.in, &got));
    const lha::Member m = got[0];
    int errors = 0;
    for (uint64_t i = m.data_offset; i < m.data_offset + m.packed_size; i += 7) {
        Bytes bad = full;
        bad[(size_t)i] ^= (uint8_t)(1 << (i % 8));
        Bytes out;
        lha::Status s = Decode(bad, m, &out);
        if (s == lha::kOk) ASSERT_TRUE(out == data) << i;  // a flip in padding bits changes nothing
        else errors++;
    }
    EXPECT_GT(errors, 0);
}

TEST(DamagedArchives, UnknownMethodIsReportedNotGuessed)
{
    lha::Member m;
    m.name = "a";
    memcpy(m.method, "-lhx-", 6);
    m.packed_size = m.original_size = 3;
    Bytes a = lha::BuildLevel2Header(m);
    a.insert(a.end(), {1, 2, 3, 0});
    MemInput mi(a);
    std::vector<lha::Member> got;
    ASSERT_EQ(lha::kOk, lha::ListMembers(mi.in, &got));
    Bytes out;
    EXPECT_EQ(lha::kUnsupportedMethod, Decode(a, got[0], &out));
    EXPECT_TRUE(out.empty());
}

TEST(Names, RefusesEveryWayOutOfTheDestination)
{
    const char *bad[] = {"..\\a", "a\\..\\..\\b", "\\abs", "C:\\x", "C:x", "a\\ .. \\b", "...", "CON", "aux.txt",
                         "dir\\com1.log", "Lpt9", "a|b", "a?b", "a*b", "a\x01z", "nul .txt", "a\\\\b", "dir\\", "\x95"};
    for (const char *n : bad) EXPECT_NE("", lha::UnsafeNameReason(n)) << n;
    const char *good[] = {"dir\\file.txt", "\x95\x5C\\\x97\x5C.txt", "..foo", "con2", "a.b.c", "console.txt", "a b"};
    for (const char *n : good) EXPECT_EQ("", lha::UnsafeNameReason(n)) << n;
}

TEST(Names, StoredParentReferencesSurviveNormalisationToBeRefused)
{
    lha::Member m;
    m.name = "a\\..\\..\\evil.txt";
    memcpy(m.method, "-lh0-", 6);
    Bytes h = lha::BuildLevel2Header(m);
    h.push_back(0);
    MemInput mi(h);
    std::vector<lha::Member> got;
    ASSERT_EQ(lha::kOk, lha::ListMembers(mi.in, &got));
    EXPECT_NE("", lha::UnsafeNameReason(got[0].name));

    // A rooted name is read as relative, but a parent reference behind the root still counts.
    Bytes l0 = Level0("\\..\\ROOT.TXT", Bytes(), 0);
    l0.push_back(0);
    MemInput mi0(l0);
    ASSERT_EQ(lha::kOk, lha::ListMembers(mi0.in, &got));
    EXPECT_EQ("..\\ROOT.TXT", got[0].name);
    EXPECT_EQ("parent directory reference", lha::UnsafeNameReason(got[0].name));
}

// A stored level-1 member whose name field holds any bytes, with an OS identifier.
Bytes Level1(const std::string &name, const Bytes &data, char os)
{
    Bytes h{0, 0, '-', 'l', 'h', '0', '-'};
    Put32(h, (uint32_t)data.size());
    Put32(h, (uint32_t)data.size());
    Put32(h, 0x4A210000);
    h.push_back(0x20);
    h.push_back(1);
    h.push_back((uint8_t)name.size());
    h.insert(h.end(), name.begin(), name.end());
    Put16(h, lha::Crc16(0, data.data(), data.size()));
    h.push_back((uint8_t)os);
    Put16(h, 0);
    SealOldHeader(h);
    h.insert(h.end(), data.begin(), data.end());
    return h;
}

// A stored level-2 member built field by field: file and directory extensions, the OS
// identifier, and a declared header size that may fall short of the real one.
Bytes Level2(const std::string &file, const std::string &dir, const Bytes &data, char os, int short_by = 0)
{
    Bytes h;
    Put16(h, 0);
    h.insert(h.end(), {'-', 'l', 'h', '0', '-'});
    Put32(h, (uint32_t)data.size());
    Put32(h, (uint32_t)data.size());
    Put32(h, 1700000000);
    h.push_back(0x20);
    h.push_back(2);
    Put16(h, lha::Crc16(0, data.data(), data.size()));
    h.push_back((uint8_t)os);
    Put16(h, 5);
    h.push_back(0x00);  // header CRC, patched below
    size_t crc_at = h.size();
    Put16(h, 0);
    Put16(h, (unsigned)file.size() + 3);
    h.push_back(0x01);
    h.insert(h.end(), file.begin(), file.end());
    Put16(h, dir.empty() ? 0 : (unsigned)dir.size() + 3);
    if (!dir.empty()) {
        h.push_back(0x02);
        h.insert(h.end(), dir.begin(), dir.end());
        Put16(h, 0);
    }
    if ((h.size() & 0xFF) == 0) h.push_back(0);
    size_t declared = h.size() - short_by;
    h[0] = (uint8_t)declared;
    h[1] = (uint8_t)(declared >> 8);
    uint16_t crc = lha::Crc16(0, h.data(), h.size());
    h[crc_at] = (uint8_t)crc;
    h[crc_at + 1] = (uint8_t)(crc >> 8);
    h.insert(h.end(), data.begin(), data.end());
    return h;
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes &p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

std::vector<lha::Member> ListAll(Bytes archive, lha::Status *status = nullptr)
{
    archive.push_back(0);
    MemInput mi(archive);
    std::vector<lha::Member> got;
    lha::Status s = lha::ListMembers(mi.in, &got);
    if (status) *status = s;
    else EXPECT_EQ(lha::kOk, s);
    return got;
}

TEST(OldWriters, RootedNamesLandInsideTheDestination)
{
    std::vector<lha::Member> got = ListAll(Join({Level0("\\subdir\\subdir2\\hello.txt", Bytes{'h'}, 0),
                                                 Level0("//abs/x.txt", Bytes{'x'}, 0),
                                                 Level2("y.txt", "\xFF" "top\xFF", Bytes{'y'}, 'U')}));
    ASSERT_EQ(3u, got.size());
    EXPECT_EQ("subdir\\subdir2\\hello.txt", got[0].name);
    EXPECT_EQ("abs\\x.txt", got[1].name);
    EXPECT_EQ("top\\y.txt", got[2].name);
    for (const lha::Member &m : got) EXPECT_EQ("", lha::UnsafeNameReason(m.name)) << m.name;
    // Drives and parent references stay refused however they are written.
    for (const char *n : {"\\C:\\x", "C:\\x", "\\..\\x", "/a/../../x", "\\\\server\\..\\..\\x"}) {
        std::vector<lha::Member> one = ListAll(Level0(n, Bytes(), 0));
        ASSERT_EQ(1u, one.size());
        EXPECT_NE("", lha::UnsafeNameReason(one[0].name)) << n;
    }
}

TEST(OldWriters, TrailingDotsAndBlanksOfEachPartAreCutAsWindowsDoes)
{
    struct Case { const char *stored, *read; } cases[] = {
        {"name.", "name"}, {"dir. \\a .txt. ", "dir\\a .txt"}, {"a..\\b...", "a\\b"},
        {".hidden", ".hidden"}, {"\x82.", "\x82."}, {"x\\.\\y", "x\\y"}, {"...", "..."}, {"d\\ . ", "d\\ . "}};
    for (const Case &c : cases) {
        std::vector<lha::Member> got = ListAll(Level0(c.stored, Bytes(), 0));
        ASSERT_EQ(1u, got.size());
        EXPECT_EQ(c.read, got[0].name) << c.stored;
    }
    // Parts made of dots and blanks alone are still refused.
    EXPECT_NE("", lha::UnsafeNameReason("..."));
    EXPECT_NE("", lha::UnsafeNameReason("d\\ . "));
    EXPECT_EQ(std::string("broken double-byte character"), lha::UnsafeNameReason("\x82"));
    // The UTF-16 name follows the same rule.
    lha::Member m;
    m.name = "w";
    m.wide_name = u"\u8868. \\x.";
    memcpy(m.method, "-lh0-", 6);
    Bytes h = lha::BuildLevel2Header(m);
    std::vector<lha::Member> got = ListAll(h);
    ASSERT_EQ(1u, got.size());
    EXPECT_TRUE(got[0].wide_name == u"\u8868\\x");
}

TEST(OldWriters, Os9Level2HeadersTwoBytesShortAreRead)
{
    Bytes data{'o', 's', '9'};
    for (char os : {'K', '9'}) {
        Bytes a = Join({Level2("hello.txt", "sub\xFF", data, os, 2), Level2("second.txt", "", Bytes{'2'}, os, 2)});
        std::vector<lha::Member> got = ListAll(a);
        ASSERT_EQ(2u, got.size()) << os;
        EXPECT_EQ("sub\\hello.txt", got[0].name);
        EXPECT_EQ("second.txt", got[1].name);
        Bytes whole = a, out;
        whole.push_back(0);
        ASSERT_EQ(lha::kOk, Decode(whole, got[0], &out));
        EXPECT_EQ(data, out);
    }
    // Other systems, other shortfalls and a wrong header CRC are still broken headers.
    struct Bad { char os; int short_by; } bad[] = {{'U', 2}, {'M', 2}, {'K', 1}, {'K', 3}, {'K', 4}};
    for (const Bad &b : bad) {
        lha::Status s;
        std::vector<lha::Member> got = ListAll(Level2("hello.txt", "sub\xFF", data, b.os, b.short_by), &s);
        EXPECT_NE(lha::kOk, s) << b.os << b.short_by;
        EXPECT_TRUE(got.empty());
    }
    Bytes flipped = Level2("hello.txt", "", data, 'K', 2);
    flipped[33] ^= 1;  // a letter of the name
    lha::Status s;
    ListAll(flipped, &s);
    EXPECT_EQ(lha::kBadHeader, s);
    // A header that claims the extra two bytes where the file ends is cut short.
    Bytes cut = Level2("hello.txt", "", Bytes(), 'K', 2);
    cut.pop_back();
    MemInput mi(cut);
    lha::Member m;
    uint64_t next = 0;
    EXPECT_EQ(lha::kTruncated, lha::ReadHeader(mi.in, 0, &m, &next));
}

TEST(OldWriters, AmigaCommentsAfterANulAreNotPartOfTheName)
{
    const std::string name("metadata.txt\0comment text", 25);
    std::vector<lha::Member> got = ListAll(Join({Level0(name, Bytes{'0'}, 0),
                                                 Level1(std::string("dir/one.txt\0note", 17), Bytes{'1'}, 'A'),
                                                 Level2(name, "sub\xFF", Bytes{'2'}, 'A')}));
    ASSERT_EQ(3u, got.size());
    EXPECT_EQ("metadata.txt", got[0].name);
    EXPECT_EQ("dir\\one.txt", got[1].name);
    EXPECT_EQ("sub\\metadata.txt", got[2].name);
    for (const lha::Member &m : got) EXPECT_EQ("", lha::UnsafeNameReason(m.name)) << m.name;
    // Nothing before the NUL: no name, refused as before.
    for (const Bytes &m : {Level0(std::string("\0comment", 8), Bytes(), 0), Level2(std::string("\0c", 2), "", Bytes(), 'A')}) {
        std::vector<lha::Member> one = ListAll(m);
        ASSERT_EQ(1u, one.size());
        EXPECT_NE("", lha::UnsafeNameReason(one[0].name));
    }
}

TEST(DamagedArchives, MembersBeforeTheDamageAreListed)
{
    ArchiveBuilder ab;
    ab.Add("one.txt", TextBytes(2000, 1));
    ab.Add("two.txt", TextBytes(2000, 2));
    Bytes full = ab.Finish();
    MemInput whole(full);
    std::vector<lha::Member> got;
    ASSERT_EQ(lha::kOk, lha::ListMembers(whole.in, &got));
    ASSERT_EQ(2u, got.size());
    // Cut inside the second member's data, then inside its header.
    for (uint64_t cut : {got[1].data_offset + 10, got[1].header_offset + 5}) {
        Bytes part_bytes(full.begin(), full.begin() + (size_t)cut);
        MemInput mi(part_bytes);
        std::vector<lha::Member> part;
        EXPECT_EQ(lha::kTruncated, lha::ListMembers(mi.in, &part)) << cut;
        ASSERT_EQ(1u, part.size());
        EXPECT_EQ("one.txt", part[0].name);
    }
}

TEST(Wildcards, MatchLikeDos)
{
    EXPECT_TRUE(lha::WildMatch("*.*", "dir\\noext"));
    EXPECT_TRUE(lha::WildMatch("*.txt", "dir\\A.TXT"));
    EXPECT_FALSE(lha::WildMatch("*.txt", "a.txt.bak"));
    EXPECT_TRUE(lha::WildMatch("a?c", "abc"));
    EXPECT_FALSE(lha::WildMatch("a?c", "abbc"));
    EXPECT_TRUE(lha::WildMatch("readme.*", "README"));
    EXPECT_TRUE(lha::WildMatch("DIR\\FILE.TXT", "dir\\file.txt"));
    // '?' takes a double-byte character whole; case folding leaves second bytes alone.
    EXPECT_TRUE(lha::WildMatch("?.txt", "\x95\x5C.txt"));
    EXPECT_FALSE(lha::WildMatch("\x95\x7C", "\x95\x5C"));
    EXPECT_TRUE(lha::WildMatch("*\x5C*", "d\\\x95\x5C"));
    EXPECT_FALSE(lha::WildMatch("*\\x", "\x95\x5Cx"));
}

TEST(SavedFuzzInputs, ReplayWithoutFaults)
{
    namespace fs = std::filesystem;
    int files = 0;
    for (const char *sub : {"corpus", "crashes"}) {
        std::string dir = std::string(LHA_FUZZ_DIR) + "/" + sub;
#ifdef _WIN32
        dir = "Z:" + dir;
#endif
        if (!fs::exists(dir)) continue;
        for (const auto &e : fs::directory_iterator(dir)) {
            if (!e.is_regular_file()) continue;
            std::ifstream f(e.path(), std::ios::binary);
            Bytes b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
            lha_fuzz::ReadAll(b.data(), b.size());
            files++;
        }
    }
    EXPECT_GT(files, 10);
}

}  // namespace
