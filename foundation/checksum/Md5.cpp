#include "Md5.h"

#include "Md5Lanes.h"

#include <cstring>

namespace {

// The per-step sine constants of RFC 1321, section 3.4.
constexpr uint32_t Sines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};
inline uint32_t RotateLeft(uint32_t x, unsigned n) {
    return (x << n) | (x >> (32 - n));
}

inline uint32_t LittleEndianWord(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

TMd5::TMd5() : State{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476} {}

// Each round a loop over four groups of four steps: the shifts repeat with
// every group, so a group written out has them fixed, and the loop keeps
// the code a quarter of the 64 steps written out (the Windows program is
// built for size; the native one unrolls it).
#define MD5_STEP(f, a, b, c, d, word, step, shift) \
    a += f(b, c, d) + m[(word) & 15] + Sines[step];   \
    a = RotateLeft(a, shift) + b;
#define MD5_F(x, y, z) (z ^ (x & (y ^ z)))
#define MD5_G(x, y, z) (y ^ (z & (x ^ y)))
#define MD5_H(x, y, z) (x ^ y ^ z)
#define MD5_I(x, y, z) (y ^ (x | ~z))
#define MD5_ROUND(f, first, scale, offset, s0, s1, s2, s3)                      \
    for (int i = first; i < first + 16; i += 4) {                               \
        MD5_STEP(f, a, b, c, d, scale * i + offset, i, s0)                      \
        MD5_STEP(f, d, a, b, c, scale * (i + 1) + offset, i + 1, s1)            \
        MD5_STEP(f, c, d, a, b, scale * (i + 2) + offset, i + 2, s2)            \
        MD5_STEP(f, b, c, d, a, scale * (i + 3) + offset, i + 3, s3)            \
    }

void TMd5::Blocks(const uint8_t* data, size_t count) {
    for (size_t block = 0; block < count; ++block, data += 64) {
        uint32_t m[16];
        for (int i = 0; i < 16; ++i)
            m[i] = LittleEndianWord(data + 4 * i);
        uint32_t a = State[0], b = State[1], c = State[2], d = State[3];
        MD5_ROUND(MD5_F, 0, 1, 0, 7, 12, 17, 22)
        MD5_ROUND(MD5_G, 16, 5, 1, 5, 9, 14, 20)
        MD5_ROUND(MD5_H, 32, 3, 5, 4, 11, 16, 23)
        MD5_ROUND(MD5_I, 48, 7, 0, 6, 10, 15, 21)
        State[0] += a;
        State[1] += b;
        State[2] += c;
        State[3] += d;
    }
}

void TMd5::Add(const void* data, size_t length) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    if (length == 0)
        return;
    size_t held = static_cast<size_t>(Total % 64);
    Total += length;
    if (held > 0) {
        const size_t take = length < 64 - held ? length : 64 - held;
        std::memcpy(Pending + held, p, take);
        p += take;
        length -= take;
        held += take;
        if (held < 64)
            return;
        Blocks(Pending, 1);
    }
    Blocks(p, length / 64);
    std::memcpy(Pending, p + length / 64 * 64, length % 64);
}

TMd5Digest TMd5::Finish() {
    const uint64_t bits = Total * 8;
    uint8_t tail[72] = {0x80};
    const size_t held = static_cast<size_t>(Total % 64);
    const size_t pad = held < 56 ? 56 - held : 120 - held;
    for (int i = 0; i < 8; ++i)
        tail[pad + i] = static_cast<uint8_t>(bits >> (8 * i));
    Add(tail, pad + 8);
    TMd5Digest digest;
    for (int i = 0; i < 16; ++i)
        digest[i] = static_cast<uint8_t>(State[i / 4] >> (8 * (i % 4)));
    return digest;
}

TMd5Digest Md5Of(const void* data, size_t length) {
    TMd5 md5;
    md5.Add(data, length);
    return md5.Finish();
}

void Md5AddSideBySide(TMd5* const* contexts, const uint8_t* const* data, size_t count, size_t length) {
    static const bool lanes = CanRunMd5Lanes();
    size_t k = 0;
    // Whole blocks of eight streams that each stand at a block's start.
    for (; lanes && k + Md5LaneCount <= count && length >= 64; k += Md5LaneCount) {
        uint32_t* states[Md5LaneCount];
        bool aligned = true;
        for (size_t j = 0; j < Md5LaneCount; ++j) {
            states[j] = contexts[k + j]->State;
            aligned = aligned && contexts[k + j]->Total % 64 == 0;
        }
        if (!aligned)
            break;
        const size_t whole = length / 64 * 64;
        Md5Lanes(states, data + k, whole / 64);
        for (size_t j = 0; j < Md5LaneCount; ++j) {
            contexts[k + j]->Total += whole;
            contexts[k + j]->Add(data[k + j] + whole, length - whole);
        }
    }
    for (; k < count; ++k)
        contexts[k]->Add(data[k], length);
}

