// The layout unit alone: the shared table of layouts (tests/shared/
// LayoutCases.h) that the verify run and the join of both programs are held
// to as well, the part-by-part answers that the join asks for, and the count
// of data parts that a split writes.
#include "engine/SetLayout.h"
#include "foundation/UnitLanguage.h"
#include "foundation/platform/TextServices.h"
#include "tests/shared/LayoutCases.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The parts as a verify run finds them: up to the first one that is not
// there.
std::vector<int64_t> PartsUpToAGap(const std::vector<int64_t>& sizes) {
    std::vector<int64_t> found;
    for (int64_t size : sizes) {
        if (size == NotThere)
            break;
        found.push_back(size);
    }
    return found;
}

}  // namespace

TEST(SetLayout, EverySharedLayoutGetsItsVerdict) {
    for (const TLayoutCase& c : LayoutCases) {
        SCOPED_TRACE(c.Name);
        const TLayoutVerdict verdict = CheckSetLayout(PartsUpToAGap(c.Sizes), c.SourceSize);
        EXPECT_EQ(c.Code == 0, verdict.Right());
        EXPECT_EQ(c.WrongPart, verdict.Part);
        EXPECT_EQ(c.Code == 1, verdict.Missing);
        if (c.Code == 13)
            EXPECT_EQ(c.Wanted, verdict.Wanted);
    }
}

// The join asks of each part as it finishes it, with where the part began;
// the walk of a verify run must come to the same answer at the same part.
TEST(SetLayout, PartByPartTheJoinHearsWhatTheWalkSays) {
    for (const TLayoutCase& c : LayoutCases) {
        SCOPED_TRACE(c.Name);
        const std::vector<int64_t> parts = PartsUpToAGap(c.Sizes);
        TLayoutWalk walk(c.SourceSize);
        int32_t wrong = 0;
        TPartPlace place;
        place.Total = c.SourceSize;
        for (size_t i = 0; i < parts.size() && !walk.Done(); ++i) {
            place.Size = parts[i];
            if (i == 0)
                place.FirstPartSize = parts[i];
            const TPartFit fit = walk.Add(parts[i]);
            EXPECT_EQ(fit, PartFit(place)) << "part " << i + 1;
            EXPECT_EQ(place.Before, walk.Place().Before) << "part " << i + 1;
            if (fit != TPartFit::Right) {
                wrong = static_cast<int32_t>(i + 1);
                break;
            }
            place.Before += parts[i];
        }
        EXPECT_EQ(c.Code == 13 ? c.WrongPart : 0, wrong);
    }
}

TEST(SetLayout, TheTextNamesThePartAndWhatItIsHeldTo) {
    const std::string saved = LanguageCode;
    const struct {
        const char* Language;
        TPartPlace Place;
        const char* Part;
        std::string Text;
    } rows[] = {
        {"EN", {10, 10, 9, 25}, "f.bin.002",
         "The data part \"f.bin.002\" holds 9 bytes, but every data part before the last is as long as part 001 "
         "(10 bytes): one of the two is damaged."},
        {"EN", {10, 20, 4, 25}, "f.bin.003",
         "The data part \"f.bin.003\" holds 4 bytes, but the set's header leaves 5 bytes for it: it is damaged."},
        // Past the set's end nothing is read.
        {"EN", {10, 20, 6, 25}, "f.bin.003", ""},
        // The end of a set that is a multiple of the part size.
        {"EN", {10, 10, 9, 20}, "f.bin.002",
         "The data part \"f.bin.002\" holds 9 bytes, but the set's header leaves 10 bytes for it: it is damaged."},
        {"EN", {0, 0, 0, 25}, "f.bin.001",
         "The data part \"f.bin.001\" is empty, but the set's header records 25 bytes of data."},
        {"EN", {10, 10, 10, 25}, "f.bin.002", ""},
        {"IT", {10, 10, 11, 25}, "f.bin.002",
         "La parte di dati \"f.bin.002\" contiene 11 byte, ma ogni parte di dati prima dell'ultima \xE8 lunga "
         "quanto la parte 001 (10 byte): una delle due \xE8 danneggiata."},
        {"IT", {10, 20, 4, 25}, "f.bin.003",
         "La parte di dati \"f.bin.003\" contiene 4 byte, ma l'header dell'insieme di parti ne lascia 5 per essa: "
         "\xE8 danneggiata."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Text);
        LanguageCode = row.Language;
        // The catalogue's code page 1252 in the process code page.
        EXPECT_EQ(OsTextFromCp1252(row.Text), PartFitText(row.Part, row.Place));
    }
    LanguageCode = saved;
}

// A full part is followed by the next one while a source is open: an exact
// multiple of the part size, and an empty source, end with an empty part.
TEST(SetLayout, TheSplitWritesOnePartMoreForAnExactMultiple) {
    const struct {
        int64_t Total;
        int64_t PartSize;
        int64_t Parts;
    } rows[] = {
        {0, 10, 1},  {1, 10, 1},       {9, 10, 1},       {10, 10, 2},        {11, 10, 2},
        {25, 10, 3}, {30, 10, 4},      {1998, 2, 1000},  {1997, 2, 999},     {3000000, 1453568, 3},
        {5, 0, 0},   {int64_t(1) << 62, int64_t(1) << 61, 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.Total) + " bytes in parts of " + std::to_string(row.PartSize));
        EXPECT_EQ(row.Parts, SplitDataPartCount(row.Total, row.PartSize));
    }
}
