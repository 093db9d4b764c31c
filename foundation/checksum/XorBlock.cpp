#include "XorBlock.h"

#include <cstdint>
#include <cstring>

void XorInto(void* target, const void* source, size_t length) {
    auto* t = static_cast<unsigned char*>(target);
    const auto* s = static_cast<const unsigned char*>(source);
    // Whole machine words, four to a round; memcpy keeps unaligned words
    // legal and compiles to plain loads, and the loop has no dependency from
    // round to round, so the compiler turns it into vector instructions.
    constexpr size_t Round = 4 * sizeof(uint64_t);
    size_t i = 0;
    for (; i + Round <= length; i += Round) {
        uint64_t a[4];
        uint64_t b[4];
        std::memcpy(a, t + i, Round);
        std::memcpy(b, s + i, Round);
        for (int k = 0; k < 4; ++k)
            a[k] ^= b[k];
        std::memcpy(t + i, a, Round);
    }
    for (; i + sizeof(uint64_t) <= length; i += sizeof(uint64_t)) {
        uint64_t a;
        uint64_t b;
        std::memcpy(&a, t + i, sizeof a);
        std::memcpy(&b, s + i, sizeof b);
        a ^= b;
        std::memcpy(t + i, &a, sizeof a);
    }
    for (; i < length; ++i)
        t[i] ^= s[i];
}

void XorIntoBytewise(void* target, const void* source, size_t length) {
    auto* t = static_cast<unsigned char*>(target);
    const auto* s = static_cast<const unsigned char*>(source);
    for (size_t i = 0; i < length; ++i)
        t[i] = static_cast<unsigned char>(t[i] ^ s[i]);
}
