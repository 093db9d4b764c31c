// Processors without the vector lanes the program knows: one stream at a
// time.
#include "../Md5Lanes.h"

bool CanRunMd5Lanes() {
    return false;
}

void Md5Lanes(uint32_t* const*, const uint8_t* const*, size_t) {}
