// How a split shares the bytes that a set's header records out among its
// data parts, and whether the parts of a set are shared out that way.
//
// A split fills every data part to the part size before it starts the next
// one, so part 001 gives the size of every part that the set goes on after,
// and the part that holds the set's end holds what is left of the total and
// nothing more. A part of another size shifts every byte after it, or brings
// bytes that belong to no file. The join checks each part as it finishes it
// and the verify run every part in turn, both through this one unit: the two
// cannot tell a set apart differently.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Where one data part stands in its set.
struct TPartPlace {
    // The size of part 001; for part 001 itself, its own size.
    int64_t FirstPartSize = 0;
    // The set's bytes in the parts before this one.
    int64_t Before = 0;
    int64_t Size = 0;
    // The data bytes that the header records.
    int64_t Total = 0;
};

enum class TPartFit {
    Right,
    // Part 001 is empty while the header records data: no part size to go by.
    Empty,
    // Longer or shorter than the split would have written it.
    WrongSize,
};

// What the split would have written into the part: the size of part 001
// while the set goes on after it, what is left of the total in the part that
// holds the set's end.
int64_t WantedPartSize(const TPartPlace& place);
TPartFit PartFit(const TPartPlace& place);
// True when the parts up to this one hold the whole total: the parts after
// it are none of the set's data.
bool HoldsSetEnd(const TPartPlace& place);
// Why the named part does not fit, in a catalogue text that names it; empty
// for a part that fits.
std::string PartFitText(const std::string& partName, const TPartPlace& place);

// The data parts of one set taken in order, 001 first, as a verify run
// reads them; the join, which may read a part once more from another copy,
// asks PartFit of each part's place itself.
class TLayoutWalk {
public:
    explicit TLayoutWalk(int64_t total) { Current.Total = total; }
    // Takes the next part's size and tells how it fits.
    TPartFit Add(int64_t size);
    // The place of the part taken last.
    const TPartPlace& Place() const { return Current; }
    // The parts taken hold the whole total: the walk is over.
    bool Done() const { return Finished; }

private:
    TPartPlace Current;
    bool First = true;
    bool Finished = false;
};

struct TLayoutVerdict {
    // The number of the first data part that is wrong or missing; 0 when
    // the layout is right.
    int32_t Part = 0;
    // The parts ran out before the total was reached.
    bool Missing = false;
    TPartFit Fit = TPartFit::Right;
    int64_t Wanted = 0;
    bool Right() const { return Part == 0; }
};

// The whole row: the sizes of data parts 001, 002, ... in order, the total
// that the header records. Sizes after the part that holds the set's end are
// not looked at: a set whose total is a multiple of the part size ends with
// an empty part, and stale parts of an earlier, longer split may lie beside.
TLayoutVerdict CheckSetLayout(const std::vector<int64_t>& sizes, int64_t total);

// The data parts that a split of total bytes into parts of partSize writes.
// A full part is followed by the next one while a source is open, so a total
// that is a multiple of the part size (none at all, too) ends with an empty
// part, where the first header file begins.
int64_t SplitDataPartCount(int64_t total, int64_t partSize);
