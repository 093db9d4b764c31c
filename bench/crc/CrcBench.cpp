// GB/s of the CRC over a buffer that stays in the cache and over one that
// does not, the fast path against the table (fed in pieces too short to
// fold), a plain memcpy of the same buffer beside it (what the memory
// moves), and the bitwise reference.
#include "foundation/checksum/Crc32.h"

#include <chrono>
#include <cstring>
#include <cstdio>
#include <vector>

namespace {

double Seconds(const std::chrono::steady_clock::time_point& since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Best of five rounds of passes over the buffer in pieces of piece bytes.
double GigabytesPerSecond(const std::vector<unsigned char>& buffer, size_t piece, int passes, uint32_t& sink,
                          uint32_t (*crc)(uint32_t, const void*, size_t)) {
    double best = 1e30;
    for (int round = 0; round < 5; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int p = 0; p < passes; ++p) {
            uint32_t value = 0;
            for (size_t at = 0; at < buffer.size(); at += piece)
                value = crc(value, buffer.data() + at, piece < buffer.size() - at ? piece : buffer.size() - at);
            sink ^= value;
        }
        const double s = Seconds(start);
        best = s < best ? s : best;
    }
    return static_cast<double>(buffer.size()) * passes / best / 1e9;
}

// The buffer that a copy's pieces are taken from.
const unsigned char* Source = nullptr;

}  // namespace

int main() {
    uint32_t sink = 0;
    std::printf("CRC-32 on this processor: %s\n", Crc32Method());
    for (size_t size : {size_t{131072}, size_t{256} << 20}) {
        std::vector<unsigned char> buffer(size);
        for (size_t i = 0; i < size; ++i)
            buffer[i] = static_cast<unsigned char>(i * 2654435761u >> 13);
        const int passes = size == 131072 ? 4000 : 2;
        const char* what = size == 131072 ? "128 KiB buffer (cached)" : "256 MiB buffer (memory)";
        // The copy goes through the same harness: one piece a call.
        static std::vector<unsigned char> copy;
        copy.assign(size, 0);
        const auto copyPiece = [](uint32_t value, const void* data, size_t length) -> uint32_t {
            const size_t at = static_cast<size_t>(static_cast<const unsigned char*>(data) - Source);
            std::memcpy(copy.data() + at, data, length);
            return value ^ copy[at];
        };
        Source = buffer.data();
        std::printf("%s: fast path %.2f GB/s, table %.2f GB/s, memcpy %.2f GB/s\n", what,
                    GigabytesPerSecond(buffer, 131072, passes, sink, Crc32),
                    GigabytesPerSecond(buffer, 255, passes, sink, Crc32),
                    GigabytesPerSecond(buffer, 131072, passes, sink, copyPiece));
    }
    std::vector<unsigned char> small(1 << 20, 7);
    std::printf("bitwise reference: %.3f GB/s\n", GigabytesPerSecond(small, small.size(), 2, sink, Crc32Bitwise));
    return sink == 0x12345678u ? 1 : 0;
}
