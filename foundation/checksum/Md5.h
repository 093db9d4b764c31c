// MD5 (RFC 1321), which PAR 2.0 recovery files use to name the set and its
// files and to check each packet and slice. It is no protection against a
// forger: only against damage.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

using TMd5Digest = std::array<uint8_t, 16>;

class TMd5 {
public:
    TMd5();
    void Add(const void* data, size_t length);
    // The digest of what was added; the object is spent afterwards. Copy it
    // first to go on from the same point (a file's hash and its padded last
    // slice's share their start).
    TMd5Digest Finish();
    uint64_t Length() const { return Total; }

private:
    friend void Md5AddSideBySide(TMd5* const* contexts, const uint8_t* const* data, size_t count, size_t length);
    void Blocks(const uint8_t* data, size_t count);

    uint32_t State[4];
    uint64_t Total = 0;
    uint8_t Pending[64];
};

TMd5Digest Md5Of(const void* data, size_t length);

// Adds length bytes of data[k] to contexts[k] for every k below count, as
// Add would: streams of one length go through the vector lanes side by side
// where the processor has them, eight at a time.
void Md5AddSideBySide(TMd5* const* contexts, const uint8_t* const* data, size_t count, size_t length);
