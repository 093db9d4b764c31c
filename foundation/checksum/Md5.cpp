#include "Md5.h"

#include "Md5Constants.h"
#include "Md5Lanes.h"

#include <cstring>

namespace {

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
    a += f(b, c, d) + m[(word) & 15] + Md5Sines[step];   \
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
    // Whole blocks of eight streams that stand at the same place in a block:
    // each first fills its pending block, then they go side by side.
    for (; lanes && k + Md5LaneCount <= count; k += Md5LaneCount) {
        const size_t fill = (64 - contexts[k]->Total % 64) % 64;
        if (length < fill + 64)
            break;
        uint32_t* states[Md5LaneCount];
        const uint8_t* rest[Md5LaneCount];
        bool together = true;
        for (size_t j = 0; j < Md5LaneCount; ++j) {
            states[j] = contexts[k + j]->State;
            rest[j] = data[k + j] + fill;
            together = together && contexts[k + j]->Total % 64 == contexts[k]->Total % 64;
        }
        if (!together)
            break;
        const size_t whole = (length - fill) / 64 * 64;
        for (size_t j = 0; j < Md5LaneCount; ++j)
            contexts[k + j]->Add(data[k + j], fill);
        Md5Lanes(states, rest, whole / 64);
        for (size_t j = 0; j < Md5LaneCount; ++j) {
            contexts[k + j]->Total += whole;
            contexts[k + j]->Add(rest[j] + whole, length - fill - whole);
        }
    }
    // Two to seven streams still go faster in the lanes than one after
    // another; the lanes left over hash copies that are thrown away.
    if (lanes && count - k >= 2 && count - k < Md5LaneCount) {
        TMd5 spare[Md5LaneCount];
        TMd5* filled[Md5LaneCount];
        const uint8_t* from[Md5LaneCount];
        for (size_t j = 0; j < Md5LaneCount; ++j) {
            const bool real = k + j < count;
            if (!real)
                spare[j] = *contexts[k];
            filled[j] = real ? contexts[k + j] : &spare[j];
            from[j] = data[real ? k + j : k];
        }
        Md5AddSideBySide(filled, from, Md5LaneCount, length);
        return;
    }
    for (; k < count; ++k)
        contexts[k]->Add(data[k], length);
}

