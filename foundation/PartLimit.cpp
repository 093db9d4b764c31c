#include "PartLimit.h"

#include <limits>

int64_t SaturatedPartLimit(int64_t size) {
    int64_t limit = 0;
    if (__builtin_mul_overflow(size, static_cast<int64_t>(MaxPartCount), &limit))
        return size > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
    return limit;
}
