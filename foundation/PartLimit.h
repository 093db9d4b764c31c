// The most data that a split may take: the part size times the largest part
// count. A size so large that the product leaves the 64-bit range accepts
// any source, so the product saturates instead of wrapping round.
#pragma once

#include <cstdint>

constexpr int32_t MaxPartCount = 999;

// size * 999, or the largest (smallest) 64-bit value when that does not fit.
int64_t SaturatedPartLimit(int64_t size);
