// Layouts of a set's data parts, each with the one verdict that the layout
// unit (engine/SetLayout.h), the verify run and the join must all give. The
// unit reads the table in tests/pure/SetLayoutTest.cpp; each program's verify
// and join read it as processes (tests/native-cli/LayoutCasesTest.cpp,
// tests/cli/LayoutCasesTest.cpp), on a set without an sfv file, where the
// layout is all there is to check.
//
// Every case splits f.bin of SourceSize bytes into parts of PartSize, then
// deals the source's bytes out again over data parts of the sizes given (a
// NotThere part is left out; bytes beyond the source's are 'Z'), and starts
// the verify run and the join from f.bin.h001.
#pragma once

#include <cstdint>
#include <vector>

constexpr int64_t LayoutPartSize = 10;
constexpr int64_t NotThere = -1;

struct TLayoutCase {
    const char* Name;
    int64_t SourceSize;
    std::vector<int64_t> Sizes;
    // 0 good, 1 a part missing, 13 a part of the wrong size.
    int Code;
    // The part that the verdict names; 0 for none.
    int32_t WrongPart;
    // For 13: the size that the named part should have (0: none to say).
    int64_t Wanted;
};

inline const std::vector<TLayoutCase> LayoutCases = {
    {"as the split wrote it", 25, {10, 10, 5}, 0, 0, 0},
    {"a byte moved from part 2 to part 3", 25, {10, 9, 6}, 13, 2, 10},
    {"a byte moved from part 3 to part 2", 25, {10, 11, 4}, 13, 2, 10},
    {"a middle part too short", 25, {10, 9, 5}, 13, 2, 10},
    {"a middle part too long", 25, {10, 11, 5}, 13, 2, 10},
    {"the last part too short", 25, {10, 10, 4}, 13, 3, 5},
    {"the last part too long: what lies past the end is never read", 25, {10, 10, 6}, 0, 0, 0},
    {"the last part longer than part 001", 25, {10, 16}, 0, 0, 0},
    // Part 001 gives the part size: the first part that differs is named.
    {"part 001 longer than the others", 25, {11, 10, 4}, 13, 2, 11},
    {"part 001 empty", 25, {0, 10, 15}, 13, 1, 0},
    {"a middle part missing", 25, {10, NotThere, 5}, 1, 2, 0},
    {"the last part missing", 25, {10, 10}, 1, 3, 0},
    // What lies beyond the part that holds the set's end is none of its
    // data: a stale part of an earlier, longer split.
    {"an extra part after the last", 25, {10, 10, 5, 7}, 0, 0, 0},
    {"an exact multiple ends with an empty part", 20, {10, 10, 0}, 0, 0, 0},
    {"an exact multiple without its empty part", 20, {10, 10}, 0, 0, 0},
    {"an exact multiple whose last part is not empty", 20, {10, 10, 3}, 0, 0, 0},
    {"a set in one part", 7, {7}, 0, 0, 0},
    {"a set in one part that is too long", 7, {8}, 0, 0, 0},
    {"an empty source", 0, {0}, 0, 0, 0},
    {"an empty source whose part holds bytes", 0, {3}, 0, 0, 0},
};
