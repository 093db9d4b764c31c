// The header text: byte-exact output, the reading rules for every field, and
// lists that survive the trip through the text however the text is cut into
// header files. These run natively and under Wine, so the calendar rows also
// hold the native time conversion against the system's.
#include "index/HeaderNames.h"
#include "index/UnitFileInfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr uint64_t ExampleTime = 127546779091200000ull;  // 2005-03-07 14:05:09.120 UTC
constexpr uint64_t TicksPerMs = 10000;
constexpr uint64_t LastMsOf9999 = 2650467743999990000ull;  // 9999-12-31 23:59:59.999 UTC

// The worked example: photos and photos\a.jpg, 75 bytes.
const std::string ExampleHeader =
    "QoVa40\tphotos\tD\t0\t20050307140509120\tphotos\\a.jpg\tF\t1234\t20050307140509120\t\t";

void AddEntry(TFileInfos& list, const std::string& name, TEntryKind kind, int64_t size, uint64_t time) {
    TFileInfo* entry = list.Add();
    entry->Name = name;
    entry->Kind = kind;
    entry->Size = size;
    entry->LastWriteTime = MakeFileTime(time);
}

void ExpectSameList(const TFileInfos& expected, const TFileInfos& actual) {
    ASSERT_EQ(expected.Count(), actual.Count());
    for (int32_t i = 0; i < expected.Count(); ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        const TFileInfo& e = *expected.GetItem(i);
        const TFileInfo& a = *actual.GetItem(i);
        EXPECT_EQ(e.Name, a.Name);
        EXPECT_EQ(e.Kind, a.Kind);
        EXPECT_EQ(e.Size, a.Size);
        EXPECT_EQ(FileTimeValue(e.LastWriteTime), FileTimeValue(a.LastWriteTime));
        EXPECT_EQ(&actual, a.Owner);
    }
}

// What the join does: append whole header files until the text is complete,
// then parse. Fails the test when completeness shows up before the last piece.
void ExpectJoinReadsBack(const TFileInfos& original, const std::vector<std::string>& pieces) {
    std::string text;
    for (size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_FALSE(TFileInfos::IsCompleteHeader(text)) << "complete before piece " << i;
        text += pieces[i];
    }
    ASSERT_TRUE(TFileInfos::IsCompleteHeader(text));
    TFileInfos read;
    ASSERT_TRUE(read.ParseHeader(text));
    ExpectSameList(original, read);
}

std::vector<std::string> CutAt(const std::string& text, std::vector<size_t> cuts) {
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    std::vector<std::string> pieces;
    size_t from = 0;
    for (size_t cut : cuts) {
        if (cut == 0 || cut >= text.size())
            continue;
        pieces.push_back(text.substr(from, cut - from));
        from = cut;
    }
    pieces.push_back(text.substr(from));
    return pieces;
}

// ---------------------------------------------------------------------------
// FILETIME and the UTC calendar

struct TCalendarRow {
    const char* Label;
    uint64_t FileTime;
    TSystemTime Calendar;  // year, month, day of week, day, hour, minute, second, ms
};

TEST(HeaderTime, FileTimeAndCalendarAgreeBothWays) {
    // FILETIME values computed independently (days since 1601 in UTC).
    const TCalendarRow rows[] = {
        {"first tick of 1601", 0, {1601, 1, 1, 1, 0, 0, 0, 0}},
        {"first millisecond", 10000, {1601, 1, 1, 1, 0, 0, 0, 1}},
        {"end of 1601", 314496000000000ull, {1601, 12, 1, 31, 0, 0, 0, 0}},
        {"Unix epoch", 116444736000000000ull, {1970, 1, 4, 1, 0, 0, 0, 0}},
        {"1900 is no leap year", 94405824000000000ull, {1900, 3, 4, 1, 0, 0, 0, 0}},
        {"2000 is a leap year", 125962992000000000ull, {2000, 2, 2, 29, 12, 0, 0, 0}},
        {"worked example", ExampleTime, {2005, 3, 1, 7, 14, 5, 9, 120}},
        {"32-bit seconds end", 137919572480000000ull, {2038, 1, 2, 19, 3, 14, 8, 0}},
        {"leap day last ms", 133537247999990000ull, {2024, 2, 4, 29, 23, 59, 59, 999}},
        {"2100 is no leap year", 157520159999990000ull, {2100, 2, 0, 28, 23, 59, 59, 999}},
        {"last ms of 9999", LastMsOf9999, {9999, 12, 5, 31, 23, 59, 59, 999}},
    };
    for (const TCalendarRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TSystemTime st;
        ASSERT_TRUE(OsFileTimeToSystemTime(MakeFileTime(row.FileTime), st));
        EXPECT_EQ(row.Calendar.wYear, st.wYear);
        EXPECT_EQ(row.Calendar.wMonth, st.wMonth);
        EXPECT_EQ(row.Calendar.wDayOfWeek, st.wDayOfWeek);
        EXPECT_EQ(row.Calendar.wDay, st.wDay);
        EXPECT_EQ(row.Calendar.wHour, st.wHour);
        EXPECT_EQ(row.Calendar.wMinute, st.wMinute);
        EXPECT_EQ(row.Calendar.wSecond, st.wSecond);
        EXPECT_EQ(row.Calendar.wMilliseconds, st.wMilliseconds);

        TSystemTime back = row.Calendar;
        back.wDayOfWeek = 6;  // ignored on the way back
        TFileTime ft;
        ASSERT_TRUE(OsSystemTimeToFileTime(back, ft));
        EXPECT_EQ(row.FileTime, FileTimeValue(ft));
    }
}

TEST(HeaderTime, FinerThanAMillisecondIsCutOff) {
    TSystemTime st;
    ASSERT_TRUE(OsFileTimeToSystemTime(MakeFileTime(ExampleTime + 9999), st));
    EXPECT_EQ(120, st.wMilliseconds);
    EXPECT_EQ(9, st.wSecond);
}

TEST(HeaderTime, ImpossibleDatesAreRefused) {
    struct TRow {
        const char* Label;
        TSystemTime Calendar;
    } rows[] = {
        {"month 13", {2005, 13, 0, 7, 14, 5, 9, 120}},
        {"month 0", {2005, 0, 0, 7, 14, 5, 9, 120}},
        {"day 0", {2005, 3, 0, 0, 14, 5, 9, 120}},
        {"31 April", {2005, 4, 0, 31, 0, 0, 0, 0}},
        {"hour 24", {2005, 3, 0, 7, 24, 0, 0, 0}},
        {"minute 60", {2005, 3, 0, 7, 0, 60, 0, 0}},
        {"second 60", {2005, 3, 0, 7, 0, 0, 60, 0}},
        {"millisecond 1000", {2005, 3, 0, 7, 0, 0, 0, 1000}},
        {"year 1600", {1600, 12, 0, 31, 23, 59, 59, 999}},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TFileTime ft = MakeFileTime(42);
        EXPECT_FALSE(OsSystemTimeToFileTime(row.Calendar, ft));
    }
    TSystemTime st;
    EXPECT_FALSE(OsFileTimeToSystemTime(MakeFileTime(0x8000000000000000ull), st));
}

// Windows refuses 29 February of a common year, and so does the native
// conversion; Wine 8 rolls it over to 1 March instead. Either way a header
// holding such a date stays valid; only the entry's time differs.
TEST(HeaderTime, TwentyNinthOfFebruaryInACommonYear) {
    struct TRow {
        const char* Label;
        TSystemTime Calendar;
        uint64_t FirstOfMarch;
    } rows[] = {
        {"1900", {1900, 2, 0, 29, 0, 0, 0, 0}, 94405824000000000ull},
        {"2005", {2005, 2, 0, 29, 0, 0, 0, 0}, 127541088000000000ull},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TFileTime ft;
        const bool converted = OsSystemTimeToFileTime(row.Calendar, ft);
#ifdef _WIN32
        if (converted) {
            EXPECT_EQ(row.FirstOfMarch, FileTimeValue(ft));
        }
#else
        EXPECT_FALSE(converted);
#endif
    }
}

// ---------------------------------------------------------------------------
// Writing the header text

TEST(HeaderText, WorkedExampleIsExactToTheByte) {
    TFileInfos list;
    AddEntry(list, "photos", fkDirectory, 0, ExampleTime);
    AddEntry(list, "photos\\a.jpg", fkFile, 1234, ExampleTime);

    const std::string header = list.BuildHeader();
    EXPECT_EQ(ExampleHeader, header);
    EXPECT_EQ(75u, header.size());
    EXPECT_EQ(75, list.HeaderSize());
    EXPECT_EQ("photos\\a.jpg\tF\t1234\t20050307140509120", list.GetItem(1)->FormatEntry());
    EXPECT_TRUE(TFileInfos::IsCompleteHeader(header));
}

TEST(HeaderText, EmptyListIsMagicAndTwoTabs) {
    TFileInfos list;
    EXPECT_EQ(std::string("QoVa40\t\t"), list.BuildHeader());
    EXPECT_EQ(8, list.HeaderSize());
    TFileInfos read;
    AddEntry(read, "stale", fkFile, 1, 0);
    EXPECT_TRUE(read.ParseHeader("QoVa40\t\t"));
    EXPECT_EQ(0, read.Count());
}

TEST(HeaderText, FieldsAreWrittenAsStored) {
    struct TRow {
        const char* Label;
        TEntryKind Kind;
        int64_t Size;
        uint64_t Time;
        const char* Expected;
    } rows[] = {
        {"file", fkFile, 1453568, ExampleTime, "n\tF\t1453568\t20050307140509120"},
        {"directory", fkDirectory, 0, ExampleTime, "n\tD\t0\t20050307140509120"},
        {"unknown kind is written as D", TEntryKind::None, 7, ExampleTime, "n\tD\t7\t20050307140509120"},
        {"largest size", fkFile, std::numeric_limits<int64_t>::max(), 0,
         "n\tF\t9223372036854775807\t16010101000000000"},
        {"negative size keeps its sign", fkFile, -5, 0, "n\tF\t-5\t16010101000000000"},
        {"sub-millisecond ticks dropped", fkFile, 1, ExampleTime + 9999, "n\tF\t1\t20050307140509120"},
        {"time the system cannot convert", fkFile, 1, 0x8000000000000000ull, "n\tF\t1\t00000000000000000"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TFileInfos list;
        AddEntry(list, "n", row.Kind, row.Size, row.Time);
        EXPECT_EQ(row.Expected, list.GetItem(0)->FormatEntry());
        EXPECT_EQ(std::string("QoVa40\t") + row.Expected + "\t\t", list.BuildHeader());
    }
}

// ---------------------------------------------------------------------------
// Reading the header text

TEST(HeaderText, WorkedExampleReadsBack) {
    TFileInfos list;
    ASSERT_TRUE(list.ParseHeader(ExampleHeader));
    ASSERT_EQ(2, list.Count());
    EXPECT_EQ("photos", list.GetItem(0)->Name);
    EXPECT_EQ(fkDirectory, list.GetItem(0)->Kind);
    EXPECT_EQ(0, list.GetItem(0)->Size);
    EXPECT_EQ("photos\\a.jpg", list.GetItem(1)->Name);
    EXPECT_EQ(fkFile, list.GetItem(1)->Kind);
    EXPECT_EQ(1234, list.GetItem(1)->Size);
    EXPECT_EQ(ExampleTime, FileTimeValue(list.GetItem(1)->LastWriteTime));
    EXPECT_EQ("", list.BaseDir);
}

struct TParseRow {
    const char* Label;
    std::string Text;
    bool Valid;
    int32_t Count;
    // The last entry read, when Count > 0, as the header stores it (the
    // legacy code page); read back, it is in the process code page.
    const char* Name;
    TEntryKind Kind;
    int64_t Size;
    uint64_t Time;
};

std::string OneEntry(const std::string& name, const std::string& kind, const std::string& size,
                     const std::string& time) {
    return "QoVa40\t" + name + "\t" + kind + "\t" + size + "\t" + time + "\t\t";
}

TEST(HeaderText, FieldRules) {
    const std::string t = "20050307140509120";
    const TParseRow rows[] = {
        {"plain entry", OneEntry("a", "F", "1", t), true, 1, "a", fkFile, 1, ExampleTime},
        {"size 12a", OneEntry("a", "F", "12a", t), false, 1, "a", fkFile, 0, 0},
        {"empty size", OneEntry("a", "F", "", t), false, 1, "a", fkFile, 0, 0},
        {"size with trailing space", OneEntry("a", "F", "7 ", t), false, 1, "a", fkFile, 0, 0},
        {"largest size", OneEntry("a", "F", "9223372036854775807", t), true, 1, "a", fkFile,
         std::numeric_limits<int64_t>::max(), ExampleTime},
        {"size past the 64-bit range", OneEntry("a", "F", "9223372036854775808", t), false, 1, "a", fkFile, 0, 0},
        {"hexadecimal size", OneEntry("a", "F", "$10", t), true, 1, "a", fkFile, 16, ExampleTime},
        {"13-digit time", OneEntry("a", "F", "1", "2005030714050"), false, 1, "a", fkFile, 0, 0},
        {"14-digit time", OneEntry("a", "F", "1", "20050307140509"), false, 1, "a", fkFile, 0, 0},
        {"empty time", OneEntry("a", "F", "1", ""), false, 1, "a", fkFile, 0, 0},
        {"15-digit time", OneEntry("a", "F", "1", "200503071405091"), true, 1, "a", fkFile, 1,
         ExampleTime - 119 * TicksPerMs},
        {"16-digit time", OneEntry("a", "F", "1", "2005030714050912"), true, 1, "a", fkFile, 1,
         ExampleTime - 108 * TicksPerMs},
        {"20-digit time reads the first 17", OneEntry("a", "F", "1", "20050307140509120999"), true, 1, "a", fkFile,
         1, ExampleTime},
        {"letter in the time", OneEntry("a", "F", "1", "2005O307140509120"), false, 1, "a", fkFile, 0, 0},
        {"month 13 is valid with time 0", OneEntry("a", "F", "1", "20051307140509120"), true, 1, "a", fkFile, 1, 0},
        {"30 February is valid with time 0", OneEntry("a", "F", "1", "20050230140509120"), true, 1, "a", fkFile, 1,
         0},
        {"negative month is valid with time 0", OneEntry("a", "F", "1", "2005-107140509120"), true, 1, "a", fkFile,
         1, 0},
        {"trailing backslash stripped", OneEntry("photos\\", "D", "0", t), true, 1, "photos", fkDirectory, 0,
         ExampleTime},
        {"trailing backslashes stripped", OneEntry("a\\b\\\\\\", "D", "0", t), true, 1, "a\\b", fkDirectory, 0,
         ExampleTime},
        // Only F and D: another kind would shift every later file's bytes.
        {"lower-case f is refused", OneEntry("a", "f", "1", t), false, 1, "a", TEntryKind::None, 1, ExampleTime},
        {"other letter is refused", OneEntry("a", "G", "1", t), false, 1, "a", TEntryKind::None, 1, ExampleTime},
        {"empty kind is refused", OneEntry("a", "", "1", t), false, 1, "a", TEntryKind::None, 1, ExampleTime},
        {"FF is refused", OneEntry("a", "FF", "1", t), false, 1, "a", TEntryKind::None, 1, ExampleTime},
        {"name with spaces, dots and high bytes", OneEntry("my dir.x\\\xE0 b\xFF.txt", "F", "3", t), true, 1,
         "my dir.x\\\xE0 b\xFF.txt", fkFile, 3, ExampleTime},
        {"bytes between magic and first TAB ignored", "QoVa40 v2\t\t", true, 0, "", TEntryKind::None, 0, 0},
        {"magic in other case", "qoVa40\t\t", false, 0, "", TEntryKind::None, 0, 0},
        {"magic only", "QoVa40", false, 1, "", TEntryKind::None, 0, 0},
        {"magic and one TAB", "QoVa40\t", false, 1, "", TEntryKind::None, 0, 0},
        {"empty text", "", false, 0, "", TEntryKind::None, 0, 0},
        {"closing TAB missing", ExampleHeader.substr(0, 74), false, 3, "", TEntryKind::None, 0, 0},
        {"cut inside the last time", ExampleHeader.substr(0, 60), false, 2, "photos\\a.jpg", fkFile, 1234, 0},
        {"second entry bad, first kept", "QoVa40\tok\tF\t5\t" + t + "\tbad\tF\tx\t" + t + "\t\t", false, 2, "bad",
         fkFile, 0, 0},
    };
    for (const TParseRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TFileInfos list;
        AddEntry(list, "stale", fkFile, 99, 1);
        EXPECT_EQ(row.Valid, list.ParseHeader(row.Text));
        ASSERT_EQ(row.Count, list.Count());
        if (row.Count == 0)
            continue;
        const TFileInfo& last = *list.GetItem(row.Count - 1);
        std::string name;
        ASSERT_TRUE(OsLegacyToText(row.Name, name));
        EXPECT_EQ(name, last.Name);
        EXPECT_EQ(row.Kind, last.Kind);
        if (row.Valid) {
            // Size and time of an invalid entry are not to be trusted.
            EXPECT_EQ(row.Size, last.Size);
            EXPECT_EQ(row.Time, FileTimeValue(last.LastWriteTime));
        }
    }
}

TEST(HeaderText, ParseEntryTakesOneEntryFromTheFront) {
    struct TRow {
        const char* Label;
        std::string Text;
        bool Valid;
        std::string Rest;
    } rows[] = {
        {"entry and more", "a\tF\t1\t20050307140509120\tb\tD\t", true, "b\tD\t"},
        {"entry and closing TAB", "a\tF\t1\t20050307140509120\t\t", true, "\t"},
        {"no TAB at all leaves the text", "abc", false, "abc"},
        {"three fields, then no TAB", "a\tF\t1\t2005030714050912", false, "2005030714050912"},
        {"empty text", "", false, ""},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TFileInfos list;
        TFileInfo* entry = list.Add();
        std::string text = row.Text;
        EXPECT_EQ(row.Valid, entry->ParseEntry(text));
        EXPECT_EQ(row.Rest, text);
    }
}

TEST(HeaderText, CompletenessLooksAtEndsAndMagicOnly) {
    struct TRow {
        const char* Label;
        std::string Text;
        bool Complete;
    } rows[] = {
        {"magic and two TABs", "QoVa40\t\t", true},
        {"worked example", ExampleHeader, true},
        {"magic and one TAB", "QoVa40\t", false},
        {"ends in one TAB", ExampleHeader.substr(0, 74), false},
        {"magic in other case", "QoVA40\t\t", false},
        {"short magic", "QoVa\t\t", false},
        {"two TABs alone", "\t\t", false},
        {"empty text", "", false},
        {"two TABs in the middle do not count", "QoVa40\t\tx", false},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        EXPECT_EQ(row.Complete, TFileInfos::IsCompleteHeader(row.Text));
    }
}

// ---------------------------------------------------------------------------
// Generated lists

// A name as a scan hands it out: in the process code page. The high bytes
// are letters of the legacy code page, and a CJK letter joins them where the
// process code page has it (UTF-8).
std::string RandomName(std::mt19937_64& rng) {
    static const std::string plain = "abcXYZ019 ._-()~$";
    std::string cjk;
    if (!OsUtf8ToText("\xE6\x97\xA5", cjk))
        cjk.clear();
    std::string name;
    const int components = 1 + static_cast<int>(rng() % 4);
    for (int c = 0; c < components; ++c) {
        if (c > 0)
            name += '\\';
        const int length = 1 + static_cast<int>(rng() % 12);
        for (int i = 0; i < length; ++i) {
            const uint64_t pick = rng() % 5;
            std::string letter;
            if (pick == 0 && OsLegacyToText(std::string(1, static_cast<char>(0x80 + rng() % 0x80)), letter))
                name += letter;  // above 127
            else if (pick == 1 && !cjk.empty())
                name += cjk;
            else
                name += plain[rng() % plain.size()];
        }
    }
    return name;
}

int64_t RandomSize(std::mt19937_64& rng) {
    switch (rng() % 5) {
    case 0: return 0;
    case 1: return std::numeric_limits<int64_t>::max();
    case 2: return static_cast<int64_t>(rng() % 100000);
    default: return static_cast<int64_t>(rng() >> 1);
    }
}

uint64_t RandomTime(std::mt19937_64& rng) {
    switch (rng() % 6) {
    case 0: return 0;
    case 1: return LastMsOf9999;
    default: return (rng() % (LastMsOf9999 / TicksPerMs + 1)) * TicksPerMs;
    }
}

// The length the header text of list must have, counted field by field:
// the magic, and per entry a TAB, the name, a TAB, one kind letter, a TAB,
// the decimal size, a TAB and the 17 digits of the time; then the two
// closing TABs. The generated times all lie within 1601..9999, so every
// time field is exactly 17 digits.
int64_t CountedHeaderSize(const TFileInfos& list) {
    int64_t size = 6 + 2;
    for (int32_t i = 0; i < list.Count(); ++i) {
        const TFileInfo& entry = *list.GetItem(i);
        // A name outside the legacy code page is stored marked, in UTF-8.
        std::string stored;
        EXPECT_TRUE(EncodeHeaderName(entry.Name, stored)) << entry.Name;
        size += 4 + static_cast<int64_t>(stored.size()) + 1 + static_cast<int64_t>(std::to_string(entry.Size).size()) + 17;
    }
    return size;
}

void FillRandom(TFileInfos& list, std::mt19937_64& rng, int count) {
    for (int i = 0; i < count; ++i)
        AddEntry(list, RandomName(rng), rng() % 2 ? fkFile : fkDirectory, RandomSize(rng), RandomTime(rng));
}

TEST(HeaderRoundTrip, GeneratedListsReadBackWhereverTheTextIsCut) {
    std::mt19937_64 rng(20050307);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        TFileInfos list;
        FillRandom(list, rng, static_cast<int>(rng() % 40));
        const std::string header = list.BuildHeader();
        // The size counted from the fields, not taken from the text itself.
        const int64_t expectedSize = CountedHeaderSize(list);
        ASSERT_EQ(expectedSize, static_cast<int64_t>(header.size()));
        ASSERT_EQ(expectedSize, list.HeaderSize());

        ExpectJoinReadsBack(list, {header});
        // Random cuts, and cuts around the magic and the closing TABs.
        std::vector<size_t> cuts;
        const size_t pieces = rng() % 8;
        for (size_t i = 0; i < pieces; ++i)
            cuts.push_back(rng() % header.size());
        ExpectJoinReadsBack(list, CutAt(header, cuts));
        ExpectJoinReadsBack(list, CutAt(header, {1, 6, 7, header.size() - 2, header.size() - 1}));
    }
}

TEST(HeaderRoundTrip, EveryCutOfTheWorkedExample) {
    TFileInfos list;
    AddEntry(list, "photos", fkDirectory, 0, ExampleTime);
    AddEntry(list, "photos\\a.jpg", fkFile, 1234, ExampleTime);
    const std::string header = list.BuildHeader();
    for (size_t cut = 1; cut < header.size(); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        ExpectJoinReadsBack(list, CutAt(header, {cut}));
    }
    // Header files of every size from one byte up.
    for (size_t size = 1; size <= header.size(); ++size) {
        SCOPED_TRACE("pieces of " + std::to_string(size));
        std::vector<size_t> cuts;
        for (size_t at = size; at < header.size(); at += size)
            cuts.push_back(at);
        ExpectJoinReadsBack(list, CutAt(header, cuts));
    }
}

TEST(HeaderRoundTrip, LargeList) {
    std::mt19937_64 rng(7);
    TFileInfos list;
    FillRandom(list, rng, 5000);
    const std::string header = list.BuildHeader();
    EXPECT_EQ(CountedHeaderSize(list), static_cast<int64_t>(header.size()));
    EXPECT_EQ(CountedHeaderSize(list), list.HeaderSize());
    std::vector<size_t> cuts;
    for (size_t at = 1453; at < header.size(); at += 1453)
        cuts.push_back(at);
    ExpectJoinReadsBack(list, CutAt(header, cuts));
}

}  // namespace
