#include "SetLayout.h"

#include "foundation/UnitImport.h"
#include "foundation/UnitLanguage.h"

int64_t WantedPartSize(const TPartPlace& place) {
    const int64_t left = place.Total - place.Before;
    return Min64(place.FirstPartSize, left > 0 ? left : 0);
}

TPartFit PartFit(const TPartPlace& place) {
    if (place.FirstPartSize == 0 && place.Total > place.Before)
        return TPartFit::Empty;
    // The part that holds the set's end holds at least what is left; bytes
    // after the end belong to no file and are never read, as the join has
    // always had it (a set made by hand may end in a part longer than 001).
    if (HoldsSetEnd(place))
        return TPartFit::Right;
    return place.Size == place.FirstPartSize ? TPartFit::Right : TPartFit::WrongSize;
}

bool HoldsSetEnd(const TPartPlace& place) {
    return place.Before + place.Size >= place.Total;
}

std::string PartFitText(const std::string& partName, const TPartPlace& place) {
    switch (PartFit(place)) {
    case TPartFit::Right: return std::string();
    case TPartFit::Empty: return LangText(msgFirstPartEmpty, {partName, FormatZeroPadded(0, place.Total)});
    case TPartFit::WrongSize: break;
    }
    // A part that the set goes on after is held to part 001, which may be
    // the one at fault; the one that holds the end, to the header's total.
    const int64_t wanted = WantedPartSize(place);
    const bool setGoesOn = place.Before + place.FirstPartSize < place.Total;
    return LangText(setGoesOn ? msgPartLengthWrong : msgEndPartLengthWrong,
                    {partName, FormatZeroPadded(0, place.Size), FormatZeroPadded(0, wanted)});
}

TPartFit TLayoutWalk::Add(int64_t size) {
    if (!First)
        Current.Before += Current.Size;
    Current.Size = size;
    if (First)
        Current.FirstPartSize = size;
    First = false;
    const TPartFit fit = PartFit(Current);
    Finished = fit == TPartFit::Right && HoldsSetEnd(Current);
    return fit;
}

TLayoutVerdict CheckSetLayout(const std::vector<int64_t>& sizes, int64_t total) {
    TLayoutWalk walk(total);
    TLayoutVerdict verdict;
    for (size_t i = 0; i < sizes.size(); ++i) {
        const TPartFit fit = walk.Add(sizes[i]);
        if (fit != TPartFit::Right) {
            verdict.Part = static_cast<int32_t>(i + 1);
            verdict.Fit = fit;
            verdict.Wanted = WantedPartSize(walk.Place());
            return verdict;
        }
        if (walk.Done())
            return verdict;
    }
    verdict.Part = static_cast<int32_t>(sizes.size() + 1);
    verdict.Missing = true;
    return verdict;
}

int64_t SplitDataPartCount(int64_t total, int64_t partSize) {
    return partSize > 0 ? total / partSize + 1 : 0;
}
