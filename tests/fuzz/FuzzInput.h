// Reads structured values from the fuzzer's bytes; runs out gracefully.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

class TFuzzInput {
public:
    TFuzzInput(const uint8_t* data, size_t size) : Data(data), Size(size) {}

    bool Empty() const { return Pos >= Size; }
    uint8_t Byte() { return Pos < Size ? Data[Pos++] : 0; }
    uint64_t Number(int bytes) {
        uint64_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value = (value << 8) | Byte();
        return value;
    }
    // A text of up to maxLength bytes, its length taken from the input.
    std::string Text(size_t maxLength) {
        const size_t length = Byte() % (maxLength + 1);
        std::string text;
        for (size_t i = 0; i < length && !Empty(); ++i)
            text += static_cast<char>(Byte());
        return text;
    }
    std::string Rest() {
        std::string text(reinterpret_cast<const char*>(Data + Pos), Size - Pos);
        Pos = Size;
        return text;
    }

private:
    const uint8_t* Data;
    size_t Size;
    size_t Pos = 0;
};

#define FUZZ_CHECK(condition)                                                                 \
    do {                                                                                      \
        if (!(condition)) {                                                                   \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            __builtin_trap();                                                                 \
        }                                                                                     \
    } while (0)
