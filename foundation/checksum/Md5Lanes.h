// MD5 of eight streams at once in the vector lanes, for processors that
// have them: MD5 works one block after another, so one stream cannot go
// faster, but eight streams of the same length can go side by side.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t Md5LaneCount = 8;

// True where Md5Lanes runs on this processor.
bool CanRunMd5Lanes();
// Runs blocks 64-byte blocks of data[k] through states[k] for every lane k.
void Md5Lanes(uint32_t* const* states, const uint8_t* const* data, size_t blocks);
