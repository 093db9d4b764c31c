#include "Md5.h"

#include <cstring>

namespace {

// The per-step sine constants and shifts of RFC 1321, section 3.4.
constexpr uint32_t Sines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};
constexpr unsigned Shifts[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                                 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                                 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                                 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};

inline uint32_t RotateLeft(uint32_t x, unsigned n) {
    return (x << n) | (x >> (32 - n));
}

inline uint32_t LittleEndianWord(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

TMd5::TMd5() : State{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476} {}

// The 64 steps written out: every part of MD5's cost is in this loop, and
// with fixed shifts, words and constants per step nothing is left to index.
#define MD5_STEP(f, a, b, c, d, word, step) \
    a += f(b, c, d) + m[word] + Sines[step];  \
    a = RotateLeft(a, Shifts[step]) + b;
#define MD5_F(x, y, z) (z ^ (x & (y ^ z)))
#define MD5_G(x, y, z) (y ^ (z & (x ^ y)))
#define MD5_H(x, y, z) (x ^ y ^ z)
#define MD5_I(x, y, z) (y ^ (x | ~z))
#define MD5_FOUR(f, w0, w1, w2, w3, step)            \
    MD5_STEP(f, a, b, c, d, w0, step)                \
    MD5_STEP(f, d, a, b, c, w1, step + 1)            \
    MD5_STEP(f, c, d, a, b, w2, step + 2)            \
    MD5_STEP(f, b, c, d, a, w3, step + 3)

void TMd5::Blocks(const uint8_t* data, size_t count) {
    for (size_t block = 0; block < count; ++block, data += 64) {
        uint32_t m[16];
        for (int i = 0; i < 16; ++i)
            m[i] = LittleEndianWord(data + 4 * i);
        uint32_t a = State[0], b = State[1], c = State[2], d = State[3];
        MD5_FOUR(MD5_F, 0, 1, 2, 3, 0)
        MD5_FOUR(MD5_F, 4, 5, 6, 7, 4)
        MD5_FOUR(MD5_F, 8, 9, 10, 11, 8)
        MD5_FOUR(MD5_F, 12, 13, 14, 15, 12)
        MD5_FOUR(MD5_G, 1, 6, 11, 0, 16)
        MD5_FOUR(MD5_G, 5, 10, 15, 4, 20)
        MD5_FOUR(MD5_G, 9, 14, 3, 8, 24)
        MD5_FOUR(MD5_G, 13, 2, 7, 12, 28)
        MD5_FOUR(MD5_H, 5, 8, 11, 14, 32)
        MD5_FOUR(MD5_H, 1, 4, 7, 10, 36)
        MD5_FOUR(MD5_H, 13, 0, 3, 6, 40)
        MD5_FOUR(MD5_H, 9, 12, 15, 2, 44)
        MD5_FOUR(MD5_I, 0, 7, 14, 5, 48)
        MD5_FOUR(MD5_I, 12, 3, 10, 1, 52)
        MD5_FOUR(MD5_I, 8, 15, 6, 13, 56)
        MD5_FOUR(MD5_I, 4, 11, 2, 9, 60)
        State[0] += a;
        State[1] += b;
        State[2] += c;
        State[3] += d;
    }
}

void TMd5::Add(const void* data, size_t length) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
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
