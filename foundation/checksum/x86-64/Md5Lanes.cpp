// Eight MD5 states in the 32-bit lanes of AVX2 registers, each lane with
// its own stream's words: the 64 steps as MD5 has them, in a loop, since
// the vector shifts may take their count from a register.
#include "../Md5Constants.h"
#include "../Md5Lanes.h"
#include "CpuFeatures.h"

#include <immintrin.h>

namespace {

// The shift of each step in a group of four, per round (RFC 1321).
constexpr uint8_t Shifts[16] = {7, 12, 17, 22, 5, 9, 14, 20, 4, 11, 16, 23, 6, 10, 15, 21};

}  // namespace

bool CanRunMd5Lanes() {
    return CpuHasAvx2();
}

// Only unaligned loads and stores: the stack that MinGW gives may not be
// aligned for 32-byte registers.
__attribute__((target("avx2"))) void Md5Lanes(uint32_t* const* states, const uint8_t* const* data, size_t blocks) {
    __m256i s[4];
    uint32_t lanes[8];
    for (int r = 0; r < 4; ++r) {
        for (size_t k = 0; k < Md5LaneCount; ++k)
            lanes[k] = states[k][r];
        s[r] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lanes));
    }
    const __m256i ones = _mm256_set1_epi32(-1);
    for (size_t block = 0; block < blocks; ++block) {
        __m256i m[16];
        for (int w = 0; w < 16; ++w) {
            const size_t at = block * 64 + static_cast<size_t>(w) * 4;
            uint32_t word[8];
            for (size_t k = 0; k < Md5LaneCount; ++k)
                __builtin_memcpy(&word[k], data[k] + at, 4);
            m[w] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(word));
        }
        __m256i a = s[0], b = s[1], c = s[2], d = s[3];
        for (int i = 0; i < 64; ++i) {
            __m256i f;
            int g;
            if (i < 16) {
                f = _mm256_or_si256(_mm256_and_si256(b, c), _mm256_andnot_si256(b, d));
                g = i;
            } else if (i < 32) {
                f = _mm256_or_si256(_mm256_and_si256(d, b), _mm256_andnot_si256(d, c));
                g = (5 * i + 1) & 15;
            } else if (i < 48) {
                f = _mm256_xor_si256(_mm256_xor_si256(b, c), d);
                g = (3 * i + 5) & 15;
            } else {
                f = _mm256_xor_si256(c, _mm256_or_si256(b, _mm256_xor_si256(d, ones)));
                g = (7 * i) & 15;
            }
            const int shift = Shifts[(i / 16) * 4 + i % 4];
            const __m256i sum = _mm256_add_epi32(_mm256_add_epi32(a, f),
                                                 _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(Md5Sines[i])), m[g]));
            const __m256i rotated = _mm256_or_si256(_mm256_sll_epi32(sum, _mm_cvtsi32_si128(shift)),
                                                    _mm256_srl_epi32(sum, _mm_cvtsi32_si128(32 - shift)));
            a = d;
            d = c;
            c = b;
            b = _mm256_add_epi32(b, rotated);
        }
        s[0] = _mm256_add_epi32(s[0], a);
        s[1] = _mm256_add_epi32(s[1], b);
        s[2] = _mm256_add_epi32(s[2], c);
        s[3] = _mm256_add_epi32(s[3], d);
    }
    for (int r = 0; r < 4; ++r) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(lanes), s[r]);
        for (size_t k = 0; k < Md5LaneCount; ++k)
            states[k][r] = lanes[k];
    }
}
