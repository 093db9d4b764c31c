// The kernel every processor can run: two tables of 256 products per
// factor, one for each byte of a word, four words a step. Kept apart from
// Gf16.cpp so that it is compiled for speed.
#include "Gf16Kernels.h"

#include <bit>
#include <cstring>

void Gf16MultiplyAddTables(uint16_t factor, const uint8_t* source, uint8_t* target, size_t bytes) {
    uint16_t bit[16];
    Gf16BitProducts(factor, bit);
    // Each entry from the one with its lowest bit cleared: one XOR apiece.
    uint16_t low[256];
    uint16_t high[256];
    low[0] = 0;
    high[0] = 0;
    for (unsigned n = 1; n < 256; ++n) {
        const int lowest = std::countr_zero(n);
        low[n] = static_cast<uint16_t>(low[n & (n - 1)] ^ bit[lowest]);
        high[n] = static_cast<uint16_t>(high[n & (n - 1)] ^ bit[8 + lowest]);
    }
    size_t i = 0;
    for (; i + 8 <= bytes; i += 8) {
        uint64_t in;
        uint64_t out;
        std::memcpy(&in, source + i, sizeof in);
        std::memcpy(&out, target + i, sizeof out);
        // Little-endian words, as every processor the program runs on has.
        for (int w = 0; w < 4; ++w) {
            const unsigned word = static_cast<unsigned>(in >> (16 * w)) & 0xFFFF;
            out ^= static_cast<uint64_t>(low[word & 0xFF] ^ high[word >> 8]) << (16 * w);
        }
        std::memcpy(target + i, &out, sizeof out);
    }
    for (; i + 1 < bytes; i += 2) {
        const uint16_t p = static_cast<uint16_t>(low[source[i]] ^ high[source[i + 1]]);
        target[i] = static_cast<uint8_t>(target[i] ^ p);
        target[i + 1] = static_cast<uint8_t>(target[i + 1] ^ (p >> 8));
    }
}
