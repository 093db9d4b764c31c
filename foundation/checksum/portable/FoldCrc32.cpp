// Processors without a carry-less multiplication the program knows: the
// table does all the work.
#include "../FoldCrc32.h"

bool CanFoldCrc32() {
    return false;
}

void FoldCrc32(uint32_t, const uint8_t*, size_t, uint8_t*) {}

bool CanFoldCrc32Wide() {
    return false;
}

void FoldCrc32Narrow(uint32_t, const uint8_t*, size_t, uint8_t*) {}
