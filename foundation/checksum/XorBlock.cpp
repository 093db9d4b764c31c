#include "XorBlock.h"

#include <cstdint>
#include <cstring>

void XorInto(void* target, const void* source, size_t length) {
    auto* __restrict t = static_cast<unsigned char*>(target);
    const auto* __restrict s = static_cast<const unsigned char*>(source);
    // Whole machine words: memcpy keeps unaligned words legal and compiles
    // to plain loads and stores, and with the ranges declared apart the
    // compiler turns the loop into vector instructions (16 or 32 bytes a
    // step) on its own, on any processor.
    const size_t words = length / sizeof(uint64_t);
    for (size_t w = 0; w < words; ++w) {
        uint64_t a;
        uint64_t b;
        std::memcpy(&a, t + w * sizeof(uint64_t), sizeof a);
        std::memcpy(&b, s + w * sizeof(uint64_t), sizeof b);
        a ^= b;
        std::memcpy(t + w * sizeof(uint64_t), &a, sizeof a);
    }
    for (size_t i = words * sizeof(uint64_t); i < length; ++i)
        t[i] ^= s[i];
}

void XorIntoBytewise(void* target, const void* source, size_t length) {
    auto* t = static_cast<unsigned char*>(target);
    const auto* s = static_cast<const unsigned char*>(source);
    for (size_t i = 0; i < length; ++i)
        t[i] = static_cast<unsigned char>(t[i] ^ s[i]);
}
