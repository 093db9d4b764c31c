#include "PartSize.h"

#include "engine/UnitFendrix.h"
#include "foundation/NumberParsing.h"

#include <limits>

const char* const SizeEntries[SizeEntryCount] = {"1.44 MB Disk", "650 MB CD", "4.7 GB DVD", "Bytes", "KB", "MB", "GB"};

int64_t SizeNumberFromText(const std::string& text) {
    int errorPos = 0;
    const int64_t value = ParseInt64(text, errorPos);
    return errorPos == 0 ? value : 0;
}

namespace {

// number x unit, or 0 when the number reaches the unit's limit. The limits
// keep the product inside a signed 64-bit value. Negative numbers stay
// negative so that the split refuses them as an invalid size. A number at
// or below the mirrored limit gives the lowest value: just beyond it the
// product would overflow, and could wrap round to a valid size.
int64_t Scaled(int64_t number, int64_t unit, int64_t limit) {
    if (number >= limit)
        return 0;
    if (number <= -limit)
        return std::numeric_limits<int64_t>::min();
    return number * unit;
}

}  // namespace

int64_t PartSizeFor(int index, int64_t number) {
    int64_t size = 0;
    switch (index) {
    case 0: size = DefaultPartSize; break;
    case 1: size = 650LL * 1048576; break;
    case 2: size = 4689887232LL; break;
    case 3: size = number; break;
    case 4: size = Scaled(number, 1024, 9007199254740991LL); break;
    case 5: size = Scaled(number, 1048576, 8796093022207LL); break;
    case 6: size = Scaled(number, 1073741824, 8589934591LL); break;
    default: size = 0; break;
    }
    return size >= LargestPartSize ? 0 : size;
}

int64_t EqualPartSize(int64_t total, int32_t n) {
    if (n <= 0 || total < 0)
        return 0;
    const int64_t size = total / n + 1;
    return size >= LargestPartSize ? 0 : size;
}
