// Eight MD5 states in the 32-bit lanes of AVX2 registers, each lane with
// its own stream's words.
#include "../Md5Constants.h"
#include "../Md5Lanes.h"
#include "CpuFeatures.h"

#include <immintrin.h>

namespace {

// The shift of each step in a group of four, per round (RFC 1321).
constexpr uint8_t Shifts[16] = {7, 12, 17, 22, 5, 9, 14, 20, 4, 11, 16, 23, 6, 10, 15, 21};

// Words 0-7 (or 8-15) of one block of every lane: eight rows of a stream's
// words turned into eight columns of one word of every stream, so that no
// vector is built from scalar stores (a load of such stores waits for all
// of them).
__attribute__((target("avx2"))) inline void LoadWords(const uint8_t* const* data, size_t at, __m256i* words) {
    __m256i r[8];
    for (size_t k = 0; k < Md5LaneCount; ++k)
        r[k] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data[k] + at));
    // Pairs of lanes' words interleaved, then pairs of pairs, then halves.
    __m256i t[8], u[8];
    for (int k = 0; k < 8; k += 2) {
        t[k] = _mm256_unpacklo_epi32(r[k], r[k + 1]);
        t[k + 1] = _mm256_unpackhi_epi32(r[k], r[k + 1]);
    }
    for (int k = 0; k < 8; k += 4) {
        u[k] = _mm256_unpacklo_epi64(t[k], t[k + 2]);
        u[k + 1] = _mm256_unpackhi_epi64(t[k], t[k + 2]);
        u[k + 2] = _mm256_unpacklo_epi64(t[k + 1], t[k + 3]);
        u[k + 3] = _mm256_unpackhi_epi64(t[k + 1], t[k + 3]);
    }
    for (int w = 0; w < 4; ++w) {
        words[w] = _mm256_permute2x128_si256(u[w], u[w + 4], 0x20);
        words[w + 4] = _mm256_permute2x128_si256(u[w], u[w + 4], 0x31);
    }
}

// One step of round R (RFC 1321) with the shift of its place in a group of
// four as an immediate; the step's index i picks the word and the sine.
template <int R, int Shift>
__attribute__((target("avx2"))) inline void Step(__m256i& a, __m256i& b, __m256i& c, __m256i& d, const __m256i* m,
                                                 int i) {
    __m256i f;
    int g;
    if (R == 0) {
        f = _mm256_or_si256(_mm256_and_si256(b, c), _mm256_andnot_si256(b, d));
        g = i;
    } else if (R == 1) {
        f = _mm256_or_si256(_mm256_and_si256(d, b), _mm256_andnot_si256(d, c));
        g = (5 * i + 1) & 15;
    } else if (R == 2) {
        f = _mm256_xor_si256(_mm256_xor_si256(b, c), d);
        g = (3 * i + 5) & 15;
    } else {
        f = _mm256_xor_si256(c, _mm256_or_si256(b, _mm256_xor_si256(d, _mm256_set1_epi32(-1))));
        g = (7 * i) & 15;
    }
    const __m256i sum =
        _mm256_add_epi32(_mm256_add_epi32(a, f), _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(Md5Sines[i])), m[g]));
    a = d;
    d = c;
    c = b;
    b = _mm256_add_epi32(b, _mm256_or_si256(_mm256_slli_epi32(sum, Shift), _mm256_srli_epi32(sum, 32 - Shift)));
}

// The sixteen steps of one round: four groups of four, each group's shifts
// the same. A loop over the groups keeps the code a quarter of the size
// (written out, the 64 steps are 4 KiB more and 6% faster).
template <int R>
__attribute__((target("avx2"))) inline void Round(__m256i& a, __m256i& b, __m256i& c, __m256i& d, const __m256i* m) {
    _Pragma("GCC unroll 1") for (int i = R * 16; i < R * 16 + 16; i += 4) {
        Step<R, Shifts[R * 4]>(a, b, c, d, m, i);
        Step<R, Shifts[R * 4 + 1]>(a, b, c, d, m, i + 1);
        Step<R, Shifts[R * 4 + 2]>(a, b, c, d, m, i + 2);
        Step<R, Shifts[R * 4 + 3]>(a, b, c, d, m, i + 3);
    }
}

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
    for (size_t block = 0; block < blocks; ++block) {
        __m256i m[16];
        for (int half = 0; half < 2; ++half)
            LoadWords(data, block * 64 + static_cast<size_t>(half) * 32, m + half * 8);
        __m256i a = s[0], b = s[1], c = s[2], d = s[3];
        Round<0>(a, b, c, d, m);
        Round<1>(a, b, c, d, m);
        Round<2>(a, b, c, d, m);
        Round<3>(a, b, c, d, m);
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
