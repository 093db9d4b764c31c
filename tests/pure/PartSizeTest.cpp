// The part size of the window's size list and size field at both limits of
// every unit: nothing may overflow, and a negative number must stay
// negative so that the split refuses it.
#include "engine/PartSize.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

constexpr int64_t Max64 = std::numeric_limits<int64_t>::max();
constexpr int64_t Lowest64 = std::numeric_limits<int64_t>::min();

constexpr int Bytes = 3, KB = 4, MB = 5, GB = 6;
constexpr int64_t KBLimit = 9007199254740991LL, MBLimit = 8796093022207LL, GBLimit = 8589934591LL;

struct TSizeRow {
    int Index;
    int64_t Number;
    int64_t Expected;
};

}  // namespace

TEST(PartSizeFor, StaysInsideSixtyFourBitsAtBothLimitsOfEveryUnit) {
    const TSizeRow rows[] = {
        {Bytes, -1, -1},
        {Bytes, Lowest64, Lowest64},
        {Bytes, LargestPartSize - 1, LargestPartSize - 1},
        {Bytes, LargestPartSize, 0},
        {Bytes, Max64, 0},

        {KB, -1, -1024},
        {KB, -(KBLimit - 1), -9223372036854773760LL},
        {KB, -KBLimit, Lowest64},
        {KB, -KBLimit - 1, Lowest64},
        {KB, -KBLimit - 2, Lowest64},
        {KB, Lowest64, Lowest64},
        {KB, LargestPartSize / 1024, 9232604641496064LL},
        {KB, LargestPartSize / 1024 + 1, 0},
        {KB, KBLimit, 0},
        {KB, Max64, 0},

        {MB, -1, -1048576},
        {MB, -(MBLimit - 1), -9223372036852678656LL},
        {MB, -MBLimit, Lowest64},
        {MB, -MBLimit - 2, Lowest64},
        {MB, Lowest64, Lowest64},
        {MB, LargestPartSize / 1048576, 9232604641361920LL},
        {MB, LargestPartSize / 1048576 + 1, 0},
        {MB, MBLimit, 0},
        {MB, Max64, 0},

        {GB, -1, -1073741824},
        {GB, -(GBLimit - 1), -9223372034707292160LL},
        {GB, -GBLimit, Lowest64},
        {GB, -GBLimit - 2, Lowest64},
        // Once wrapped round to +1 GiB, a valid size.
        {GB, -17179869183LL, Lowest64},
        {GB, Lowest64, Lowest64},
        {GB, LargestPartSize / 1073741824, 9232604507144192LL},
        {GB, LargestPartSize / 1073741824 + 1, 0},
        {GB, GBLimit, 0},
        {GB, Max64, 0},

        // The presets and no selection ignore the number.
        {0, Lowest64, 1453568},
        {2, Max64, 4689887232LL},
        {-1, Lowest64, 0},
    };
    for (const TSizeRow& row : rows) {
        SCOPED_TRACE("entry " + std::to_string(row.Index) + " with " + std::to_string(row.Number));
        EXPECT_EQ(PartSizeFor(row.Index, row.Number), row.Expected);
    }
}
