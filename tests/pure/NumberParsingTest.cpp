#include "foundation/NumberParsing.h"
#include "foundation/PartLimit.h"
#include "foundation/UnitImport.h"
#include "foundation/UnitLanguage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <string>

namespace {

constexpr int64_t Max64 = std::numeric_limits<int64_t>::max();
constexpr int64_t Lowest64 = std::numeric_limits<int64_t>::min();

struct TParseRow {
    std::string Text;
    int64_t Value;  // checked only when ErrorPos is 0
    int ErrorPos;
};

TEST(ParseInt64, ReadsEveryFormAndStopsWhereTheTextIsWrong) {
    const TParseRow rows[] = {
        {"1453568", 1453568, 0},
        {"0", 0, 0},
        {"-0", 0, 0},
        {"+5", 5, 0},
        {"-5", -5, 0},
        {"   7", 7, 0},
        {"  -7", -7, 0},
        {"$10", 16, 0},
        {"x10", 16, 0},
        {"X10", 16, 0},
        {"0x10", 16, 0},
        {"0X10", 16, 0},
        {"-$10", -16, 0},
        {"+0x10", 16, 0},
        {"-x1", -1, 0},
        {"$ff", 255, 0},
        {"$aBcD", 0xABCD, 0},
        {"0000000000000000000000001", 1, 0},
        {"-0000000000000000000000001", -1, 0},
        // The limits of the decimal form.
        {"9223372036854775807", Max64, 0},
        {"9223372036854775808", 0, 20},
        {"-9223372036854775808", Lowest64, 0},
        {"-9223372036854775809", 0, 21},
        {"18446744073709551615", 0, 20},
        {"99999999999999999999", 0, 19},
        {"10000000000000000000", 0, 20},
        // The hexadecimal form takes 64 bits as two's complement.
        {"$FFFFFFFFFFFFFFFF", -1, 0},
        {"0xffffffffffffffff", -1, 0},
        {"$7FFFFFFFFFFFFFFF", Max64, 0},
        {"$8000000000000000", Lowest64, 0},
        {"-$8000000000000000", Lowest64, 0},
        {"-$FFFFFFFFFFFFFFFF", 1, 0},
        {"$0FFFFFFFFFFFFFFFF", -1, 0},
        {"$00000000000000000001", 1, 0},
        {"$10000000000000000", 0, 18},
        {"$FFFFFFFFFFFFFFFFF", 0, 18},
        // Failures and the position where reading stopped.
        {"", 0, 1},
        {" ", 0, 2},
        {"$", 0, 2},
        {"x", 0, 2},
        {"0x", 0, 3},
        {"-", 0, 2},
        {"+", 0, 2},
        {"12k", 0, 3},
        {"12K", 0, 3},
        {"7 ", 0, 2},
        {"1 2", 0, 2},
        {"- 5", 0, 2},
        {"5-", 0, 2},
        {"++5", 0, 2},
        {"$-10", 0, 2},
        {"$g", 0, 2},
        {"0x1g", 0, 4},
        {"00x10", 0, 3},
        {"\t5", 0, 1},
        {"ABLE", 0, 1},
        {"1.5", 0, 2},
    };
    for (const TParseRow& row : rows) {
        SCOPED_TRACE("text \"" + row.Text + "\"");
        int errorPos = -1;
        const int64_t value = ParseInt64(row.Text, errorPos);
        EXPECT_EQ(row.ErrorPos, errorPos);
        if (row.ErrorPos == 0) {
            EXPECT_EQ(row.Value, value);
        }
    }
}

struct TPaddedRow {
    int32_t Width;
    int64_t Value;
    std::string Text;
};

TEST(FormatZeroPadded, PadsWithZerosAndNeverCuts) {
    const TPaddedRow rows[] = {
        {3, 0, "000"},
        {3, 1, "001"},
        {3, 7, "007"},
        {3, 999, "999"},
        {3, 1000, "1000"},
        {3, 123456, "123456"},
        {0, 1453568, "1453568"},
        {0, 0, "0"},
        {2, 5, "05"},
        {2, 59, "59"},
        {4, 2024, "2024"},
        {4, 601, "0601"},
        {0, -5, "-5"},
        {4, -5, "00-5"},
        {-1, 7, "7"},
        {0, Max64, "9223372036854775807"},
        {0, Lowest64, "-9223372036854775808"},
        {3, Lowest64, "-9223372036854775808"},
        {255, 1, std::string(254, '0') + "1"},
        {300, 1, std::string(254, '0') + "1"},
    };
    for (const TPaddedRow& row : rows) {
        SCOPED_TRACE("width " + std::to_string(row.Width) + ", value " + std::to_string(row.Value));
        EXPECT_EQ(row.Text, FormatZeroPadded(row.Width, row.Value));
    }
}

struct TLimitRow {
    int64_t Size;
    int64_t Limit;
};

TEST(SaturatedPartLimit, StopsAtTheEndOfTheRangeInsteadOfWrapping) {
    const TLimitRow rows[] = {
        {1, 999},
        {1453568, 1452114432},
        {4700000000, 4695300000000},
        {9232604641496272, 9223372036854775728},
        {9232604641496273, Max64},
        {Max64 / 2, Max64},
        {Max64, Max64},
        {0, 0},
        {-1, -999},
        {-9232604641496272, -9223372036854775728},
        {-9232604641496273, Lowest64},
        {Lowest64, Lowest64},
    };
    for (const TLimitRow& row : rows) {
        SCOPED_TRACE("size " + std::to_string(row.Size));
        EXPECT_EQ(row.Limit, SaturatedPartLimit(row.Size));
    }
}

TEST(Min64, ComparesSigned) {
    const struct {
        int64_t A, B, Smaller;
    } rows[] = {
        {131072, 5, 5},
        {5, 131072, 5},
        {-1, 0, -1},
        {Lowest64, Max64, Lowest64},
        {Max64, Lowest64, Lowest64},
        {7, 7, 7},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.A) + " vs " + std::to_string(row.B));
        EXPECT_EQ(row.Smaller, Min64(row.A, row.B));
    }
}

struct TWatched {
    TWatched(std::unique_ptr<TWatched>* holder, bool* sawEmptyHolder) : Holder(holder), Saw(sawEmptyHolder) {}
    ~TWatched() { *Saw = Holder->get() == nullptr; }
    std::unique_ptr<TWatched>* Holder;
    bool* Saw;
};

TEST(FreeAndClear, ClearsTheHolderBeforeTheObjectIsDestroyed) {
    bool sawEmptyHolder = false;
    std::unique_ptr<TWatched> holder;
    holder = std::make_unique<TWatched>(&holder, &sawEmptyHolder);
    FreeAndClear(holder);
    EXPECT_TRUE(sawEmptyHolder);
    EXPECT_EQ(nullptr, holder);
    FreeAndClear(holder);  // an empty holder is allowed
    EXPECT_EQ(nullptr, holder);
}

}  // namespace
