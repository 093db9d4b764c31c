// Bytes that look random and depend on seed and position, the same on every
// run: misplaced or lost bytes show, and a failure can be replayed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

inline std::string NoiseBytes(size_t size, uint32_t seed) {
    std::string bytes(size, '\0');
    uint32_t x = seed * 2654435761u + 1;
    for (char& b : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<char>(x);
    }
    return bytes;
}
