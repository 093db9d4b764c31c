// Multiplication by a constant with the byte shuffle (PSHUFB): a product is
// linear in the word's bits, so it is the XOR of the products of its four
// nibbles, and the product of a nibble in place k is one of sixteen words.
// Each of those sixteen-word tables goes into two registers, one for the
// product's low bytes and one for its high bytes, and a shuffle looks up
// thirty-two nibbles at once. The shuffle works on bytes, so 64 bytes of
// words are first packed into a register of their low bytes and one of
// their high bytes, and the two halves of the products unpacked back into
// words in the same order. Processors without AVX2 take the tables of 256
// products, which cost the program less room than a second shuffle kernel.
#include "../Gf16Kernels.h"
#include "CpuFeatures.h"

#include <immintrin.h>

#include <algorithm>
#include <vector>

namespace {

struct TNibbleTables {
    uint8_t Low[4][16];
    uint8_t High[4][16];
};

void BuildNibbleTables(uint16_t factor, TNibbleTables& tables) {
    Gf16NibbleProducts(factor, tables.Low, tables.High);
}

// The words after the last whole vector step, from the same tables.
void MultiplyAddTail(const TNibbleTables& t, const uint8_t* source, uint8_t* target, size_t bytes) {
    for (size_t i = 0; i + 1 < bytes; i += 2) {
        const unsigned low = source[i];
        const unsigned high = source[i + 1];
        target[i] = static_cast<uint8_t>(target[i] ^ t.Low[0][low & 15] ^ t.Low[1][low >> 4] ^ t.Low[2][high & 15] ^
                                         t.Low[3][high >> 4]);
        target[i + 1] = static_cast<uint8_t>(target[i + 1] ^ t.High[0][low & 15] ^ t.High[1][low >> 4] ^
                                             t.High[2][high & 15] ^ t.High[3][high >> 4]);
    }
}



// Only unaligned loads and stores: the tables are on a stack that MinGW
// does not align to 32 bytes, and the data may lie anywhere.
__attribute__((target("avx2"))) inline void LoadTables(const TNibbleTables& t, __m256i low[4], __m256i high[4]) {
    for (int k = 0; k < 4; ++k) {
        low[k] = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t.Low[k])));
        high[k] = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t.High[k])));
    }
}

// The nibbles of 32 words, each place in a register of its own: within each
// 128-bit lane, the first register's eight words, then the second's.
__attribute__((target("avx2"))) inline void SplitNibbles(const uint8_t* source, __m256i n[4]) {
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    const __m256i lowByte = _mm256_set1_epi16(0x00FF);
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + 32));
    const __m256i lo = _mm256_packus_epi16(_mm256_and_si256(a, lowByte), _mm256_and_si256(b, lowByte));
    const __m256i hi = _mm256_packus_epi16(_mm256_srli_epi16(a, 8), _mm256_srli_epi16(b, 8));
    n[0] = _mm256_and_si256(lo, nibble);
    n[1] = _mm256_and_si256(_mm256_srli_epi16(lo, 4), nibble);
    n[2] = _mm256_and_si256(hi, nibble);
    n[3] = _mm256_and_si256(_mm256_srli_epi16(hi, 4), nibble);
}

// The products' low and high bytes, unpacked into words in the order the
// packing took them, XORed into 64 bytes of target.
__attribute__((target("avx2"))) inline void AddProducts(const __m256i low[4], const __m256i high[4], const __m256i n[4],
                                                        uint8_t* target) {
    const __m256i pl =
        _mm256_xor_si256(_mm256_xor_si256(_mm256_shuffle_epi8(low[0], n[0]), _mm256_shuffle_epi8(low[1], n[1])),
                         _mm256_xor_si256(_mm256_shuffle_epi8(low[2], n[2]), _mm256_shuffle_epi8(low[3], n[3])));
    const __m256i ph =
        _mm256_xor_si256(_mm256_xor_si256(_mm256_shuffle_epi8(high[0], n[0]), _mm256_shuffle_epi8(high[1], n[1])),
                         _mm256_xor_si256(_mm256_shuffle_epi8(high[2], n[2]), _mm256_shuffle_epi8(high[3], n[3])));
    auto* out = reinterpret_cast<__m256i*>(target);
    _mm256_storeu_si256(out, _mm256_xor_si256(_mm256_loadu_si256(out), _mm256_unpacklo_epi8(pl, ph)));
    _mm256_storeu_si256(out + 1, _mm256_xor_si256(_mm256_loadu_si256(out + 1), _mm256_unpackhi_epi8(pl, ph)));
}

__attribute__((target("avx2"))) void MultiplyAddAvx2(uint16_t factor, const uint8_t* source, uint8_t* target,
                                                     size_t bytes) {
    TNibbleTables t;
    BuildNibbleTables(factor, t);
    __m256i low[4];
    __m256i high[4];
    LoadTables(t, low, high);
    size_t i = 0;
    for (; i + 64 <= bytes; i += 64) {
        __m256i n[4];
        SplitNibbles(source + i, n);
        AddProducts(low, high, n, target + i);
    }
    MultiplyAddTail(t, source + i, target + i, bytes - i);
}

// Bytes of source split at a time: 4 KiB, whose nibbles take 8 KiB, stay
// in the first-level cache beside a piece of the target.
constexpr size_t IntoPiece = 4096;

// The source's nibbles are split once per piece and every target's tables
// built once per call, so that a target costs only the look-ups.
__attribute__((target("avx2"))) void MultiplyAddIntoAvx2(const uint8_t* source, const uint16_t* factors,
                                                         uint8_t* const* targets, size_t count, size_t bytes) {
    std::vector<TNibbleTables> tables(count);
    for (size_t k = 0; k < count; ++k)
        BuildNibbleTables(factors[k], tables[k]);
    uint8_t nibbles[IntoPiece / 64][4][32];
    for (size_t at = 0; at < bytes; at += IntoPiece) {
        const size_t piece = std::min(IntoPiece, bytes - at);
        const size_t steps = piece / 64;
        for (size_t step = 0; step < steps; ++step) {
            __m256i n[4];
            SplitNibbles(source + at + 64 * step, n);
            for (int k = 0; k < 4; ++k)
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(nibbles[step][k]), n[k]);
        }
        for (size_t k = 0; k < count; ++k) {
            if (factors[k] == 0)
                continue;
            __m256i low[4];
            __m256i high[4];
            LoadTables(tables[k], low, high);
            uint8_t* target = targets[k] + at;
            for (size_t step = 0; step < steps; ++step) {
                __m256i n[4];
                for (int j = 0; j < 4; ++j)
                    n[j] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(nibbles[step][j]));
                AddProducts(low, high, n, target + 64 * step);
            }
            MultiplyAddTail(tables[k], source + at + 64 * steps, target + 64 * steps, piece - 64 * steps);
        }
    }
}


}  // namespace


size_t Gf16Kernels(TGf16Kernel (&kernels)[Gf16MaxKernels]) {
    size_t count = 0;
    if (CpuHasAvx2())
        kernels[count++] = {"nibble tables, 64 bytes a step (AVX2)", MultiplyAddAvx2, MultiplyAddIntoAvx2};
    kernels[count++] = {"tables of 256 products, four words a step", Gf16MultiplyAddTables, nullptr};
    return count;
}
