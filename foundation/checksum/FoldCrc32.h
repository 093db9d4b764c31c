// The carry-less multiplication fast path of the CRC, where the processor has
// one: it folds the data 64 bytes at a time into 16 and leaves the rest to
// the table. One implementation per processor family, chosen by directory.
#pragma once

#include <cstddef>
#include <cstdint>

// True where this processor can run FoldCrc32; the wide way folds two
// blocks with each multiplication where the processor can.
bool CanFoldCrc32();
bool CanFoldCrc32Wide();
// Folds whole 16-byte blocks of data; register is the CRC's running value
// (not inverted). Returns the 16 bytes left in block, whose CRC from a zero
// register, followed by the unfolded tail, continues the computation.
// length must be at least 64 and a multiple of 16.
void FoldCrc32(uint32_t reg, const uint8_t* data, size_t length, uint8_t block[16]);
// The same one block per multiplication, whatever the processor has beyond
// it, so that the tests reach both ways.
void FoldCrc32Narrow(uint32_t reg, const uint8_t* data, size_t length, uint8_t block[16]);
