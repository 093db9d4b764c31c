// The CRC-32 of zip and SFV files: polynomial 0xEDB88320, reflected, started
// and finished with all ones ("123456789" gives CBF43926).
#pragma once

#include <cstddef>
#include <cstdint>

// The CRC of data following bytes whose CRC was crc (0 for none).
uint32_t Crc32(uint32_t crc, const void* data, size_t length);

// The same bit by bit, with no table: the plain reference that the fast
// paths are held to.
uint32_t Crc32Bitwise(uint32_t crc, const void* data, size_t length);

// The CRC of A followed by B from the CRCs of both and the length of B,
// without their bytes: for a file whose head is written last.
uint32_t Crc32Combine(uint32_t crcA, uint32_t crcB, uint64_t lengthB);

// Which way Crc32 computes on this processor, for the benchmarks' figures.
const char* Crc32Method();

// A CRC kept while the bytes of one file pass by.
class TCrc32 {
public:
    void Add(const void* data, size_t length) { Value = Crc32(Value, data, length); }
    uint32_t Value = 0;
};
