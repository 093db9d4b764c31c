// The carry-less multiplication fast path of the CRC, where the processor has
// one: it folds the data 64 bytes at a time into 16 and leaves the rest to
// the table. One implementation per processor family, chosen by directory.
#pragma once

#include <cstddef>
#include <cstdint>

// True where this processor can run FoldCrc32.
bool CanFoldCrc32();
// Folds whole 16-byte blocks of data; register is the CRC's running value
// (not inverted). Returns the 16 bytes left in block, whose CRC from a zero
// register, followed by the unfolded tail, continues the computation.
// length must be at least 64 and a multiple of 16.
void FoldCrc32(uint32_t reg, const uint8_t* data, size_t length, uint8_t block[16]);
