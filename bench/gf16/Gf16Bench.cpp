// GB/s of the GF(2^16) multiply-add: one target with the source and target
// in the first-level cache (16 KiB), the second (256 KiB) and memory
// (256 MiB); one source into 10 and 20 targets of 64 KiB (cached) and 1 MiB
// (from the last-level cache or memory); the word-by-word reference. The
// figures count bytes of products: source bytes times targets. Then MD5,
// the other half of the recovery data's cost: one stream, and eight side
// by side in the vector lanes.
#include "foundation/checksum/Gf16.h"
#include "foundation/checksum/Md5.h"

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

double Seconds(const std::chrono::steady_clock::time_point& since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Best of five rounds of passes of body, which goes over bytes of source.
template <typename TBody>
double GigabytesPerSecond(size_t bytes, int passes, TBody body) {
    double best = 1e30;
    for (int round = 0; round < 5; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int p = 0; p < passes; ++p)
            body(static_cast<uint16_t>(0x1234 + 77 * p + round));
        const double s = Seconds(start);
        best = s < best ? s : best;
    }
    return static_cast<double>(bytes) * passes / best / 1e9;
}

std::vector<unsigned char> Noise(size_t size, uint32_t seed) {
    std::vector<unsigned char> bytes(size);
    uint32_t x = seed * 2654435761u + 1;
    for (unsigned char& b : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<unsigned char>(x);
    }
    return bytes;
}

}  // namespace

int main() {
    std::printf("GF(2^16) multiply-add on this processor: %s\n", Gf16Method());
    struct TSize {
        const char* Name;
        size_t Bytes;
        int Passes;
    } sizes[] = {{"16 KiB (first-level cache)", 16 << 10, 100000},
                 {"256 KiB (second-level cache)", 256 << 10, 6000},
                 {"256 MiB (memory)", size_t{256} << 20, 6}};
    unsigned sink = 0;
    for (const TSize& size : sizes) {
        // Source and target in one buffer, 2 KiB apart modulo 4 KiB: where
        // a target's store and the next source load share their low twelve
        // address bits the processor holds the load back, which costs a
        // quarter here and is a matter of where the allocator put them.
        std::vector<unsigned char> buffer = Noise(2 * size.Bytes + 4096, 1);
        unsigned char* source = buffer.data();
        unsigned char* target = buffer.data() + size.Bytes + 2048;
        const double rate = GigabytesPerSecond(
            size.Bytes, size.Passes, [&](uint16_t factor) { Gf16MultiplyAdd(factor, source, target, size.Bytes); });
        std::printf("one target, %s: %.2f GB/s\n", size.Name, rate);
        sink += target[size.Bytes / 3];
    }
    for (size_t bytes : {size_t{64} << 10, size_t{1} << 20}) {
        for (size_t count : {size_t{10}, size_t{20}}) {
            std::vector<unsigned char> source = Noise(bytes, 3);
            std::vector<std::vector<unsigned char>> targets;
            std::vector<void*> pointers;
            std::vector<uint16_t> factors;
            for (size_t k = 0; k < count; ++k) {
                targets.push_back(Noise(bytes, static_cast<uint32_t>(10 + k)));
                pointers.push_back(targets.back().data());
                factors.push_back(Par2InputConstant(static_cast<uint32_t>(k)));
            }
            const int passes = bytes == size_t{64} << 10 ? 2000 : 40;
            const double rate = GigabytesPerSecond(bytes * count, passes, [&](uint16_t factor) {
                factors[0] = factor;
                Gf16MultiplyAddInto(source.data(), factors.data(), pointers.data(), count, bytes);
            });
            std::printf("one source into %zu targets of %zu KiB: %.2f GB/s of products\n", count, bytes >> 10, rate);
            sink += targets[count - 1][bytes / 3];
        }
    }
    std::vector<unsigned char> source = Noise(1 << 20, 4);
    std::vector<unsigned char> target = Noise(1 << 20, 5);
    const double reference = GigabytesPerSecond(source.size(), 3, [&](uint16_t factor) {
        Gf16MultiplyAddReference(factor, source.data(), target.data(), source.size());
    });
    std::printf("word-by-word reference: %.3f GB/s\n", reference);
    // Eight streams of 1 MiB each, from the last-level cache.
    std::vector<unsigned char> streams = Noise(8 << 20, 6);
    const uint8_t* data[8];
    for (size_t k = 0; k < 8; ++k)
        data[k] = streams.data() + (k << 20);
    for (size_t count : {size_t{1}, size_t{8}}) {
        const double rate = GigabytesPerSecond(count << 20, 20, [&](uint16_t) {
            TMd5 contexts[8];
            TMd5* pointers[8];
            for (size_t k = 0; k < 8; ++k)
                pointers[k] = &contexts[k];
            Md5AddSideBySide(pointers, data, count, 1 << 20);
            sink += contexts[count - 1].Finish()[0];
        });
        std::printf("MD5, %zu stream%s side by side: %.2f GB/s\n", count, count == 1 ? "" : "s", rate);
    }
    return sink == 0x12345678u ? 1 : 0;
}
