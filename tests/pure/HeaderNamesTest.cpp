// Stored names: the legacy code page where a name fits it exactly, UTF-8
// behind the mark otherwise, and nothing in between. Names are given here in
// UTF-8; where the process code page cannot hold one (a program without
// UTF-8 in its code page), the row checks that such a stored name is refused.
#include "foundation/platform/TextServices.h"
#include "index/EntryNames.h"
#include "index/HeaderNames.h"
#include "index/UnitFileInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string Mark = "\xEF\xBB\xBF";

}  // namespace

TEST(HeaderNames, StoredFormAndBack) {
    struct TRow {
        const char* Label;
        std::string Utf8Name;
        std::string Stored;
    };
    const TRow rows[] = {
        {"ASCII stays as it is", "dir\\readme.txt", "dir\\readme.txt"},
        {"cp1252 letters in the legacy code page", "caf\xC3\xA9 \xC3\xBC \xC3\x9F", "caf\xE9 \xFC \xDF"},
        {"euro sign at 0x80 of code page 1252", "\xE2\x82\xACuro", "\x80uro"},
        {"CJK marked as UTF-8", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt", Mark + "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt"},
        {"Cyrillic marked", "\xD0\x9F\xD1\x80\xD0\xB8", Mark + "\xD0\x9F\xD1\x80\xD0\xB8"},
        {"Greek marked", "\xCE\xB1\xCE\xB2", Mark + "\xCE\xB1\xCE\xB2"},
        {"emoji of four UTF-8 bytes marked", "\xF0\x9F\x98\x80.txt", Mark + "\xF0\x9F\x98\x80.txt"},
        {"one character outside makes the whole name UTF-8", "caf\xC3\xA9 \xE6\x97\xA5", Mark + "caf\xC3\xA9 \xE6\x97\xA5"},
        {"fullwidth solidus is no best-fit slash", "a\xEF\xBC\x8F" "b", Mark + "a\xEF\xBC\x8F" "b"},
        {"fullwidth reverse solidus is no best-fit backslash", "a\xEF\xBC\xBC" "b", Mark + "a\xEF\xBC\xBC" "b"},
        {"legacy bytes that would read as the mark are marked", "\xC3\xAF\xC2\xBB\xC2\xBFx",
         Mark + "\xC3\xAF\xC2\xBB\xC2\xBFx"},
        {"the mark opens the first component that does not fit", "dir\\\xE6\x97\xA5.txt",
         "dir\\" + Mark + "\xE6\x97\xA5.txt"},
        {"after the mark every component is UTF-8", "caf\xC3\xA9\\\xCE\xB1\\\xC3\xBC.txt",
         "caf\xE9\\" + Mark + "\xCE\xB1\\\xC3\xBC.txt"},
        {"a first component that does not fit marks the whole name", "\xCE\xB1\\caf\xC3\xA9",
         Mark + "\xCE\xB1\\caf\xC3\xA9"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        std::string name;
        std::string decoded;
        if (!OsUtf8ToText(row.Utf8Name, name)) {
            EXPECT_FALSE(DecodeHeaderName(row.Stored, decoded)) << "a name the process cannot hold was read";
            continue;
        }
        std::string stored;
        ASSERT_TRUE(EncodeHeaderName(name, stored));
        EXPECT_EQ(row.Stored, stored);
        ASSERT_TRUE(DecodeHeaderName(stored, decoded));
        EXPECT_EQ(name, decoded);
    }
}

TEST(HeaderNames, RefusedStoredNames) {
    struct TRow {
        const char* Label;
        std::string Stored;
    };
    const TRow rows[] = {
        {"the mark alone", Mark},
        {"a cut character", Mark + "abc\xE6\x97"},
        {"a lone continuation byte", Mark + "a\x80" "b"},
        {"an overlong slash", Mark + "a\xC0\xAF" "b"},
        {"an overlong three-byte form", Mark + "\xE0\x80\xAF"},
        {"an encoded surrogate", Mark + "\xED\xA0\x80"},
        {"beyond U+10FFFF", Mark + "\xF4\x90\x80\x80"},
        {"a five-byte lead", Mark + "\xF8\x88\x80\x80\x80"},
        {"cp1252 letters behind the mark", Mark + "caf\xE9"},
        {"nothing behind a mark that opens a later component", "dir\\" + Mark},
        {"invalid UTF-8 behind a later mark", "dir\\" + Mark + "bad\xC3("},
        {"legacy after UTF-8 is no UTF-8", Mark + "\xCE\xB1\\caf\xE9"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        std::string name = "untouched";
        EXPECT_FALSE(DecodeHeaderName(row.Stored, name));
        // An empty payload is valid UTF-8 but no name.
        const size_t mark = row.Stored.find(Mark);
        ASSERT_NE(std::string::npos, mark);
        if (row.Stored.size() > mark + 3)
            EXPECT_FALSE(IsStrictUtf8(row.Stored.substr(mark + 3)));
    }
}

TEST(HeaderNames, DecodedNamesFaceTheEntryCheck) {
    struct TRow {
        const char* Label;
        std::string Stored;
        bool Safe;
    };
    const TRow rows[] = {
        {"marked climb out", Mark + "..\\evil", false},
        {"marked drive", Mark + "C:evil", false},
        {"marked absolute", Mark + "\\evil", false},
        {"marked device with a UTF-8 superscript", Mark + "LPT\xC2\xB2.txt", false},
        {"marked plain name", Mark + "ok\\fine.txt", true},
        {"climb out behind a later mark", "dir\\" + Mark + "..\\..\\evil", false},
        {"drive behind a later mark", "dir\\" + Mark + "C:evil", false},
        {"a whole name marked as UTF-8, later components included", Mark + "dir\\caf\xC3\xA9.txt", true},
        {"legacy device with a cp1252 superscript", "COM\xB9", false},
        {"partial mark is legacy text", "\xEF\xBB" "x", true},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        std::string name;
        ASSERT_TRUE(DecodeHeaderName(row.Stored, name));
        EXPECT_EQ(row.Safe, IsSafeEntryName(name));
    }
}

TEST(HeaderNames, LegacyConversionIsExactOrNothing) {
    struct TRow {
        const char* Label;
        std::string Utf8Text;
        bool Fits;
        std::string Legacy;
    };
    const TRow rows[] = {
        {"ASCII", "abc", true, "abc"},
        {"e acute", "\xC3\xA9", true, "\xE9"},
        {"left double quotation mark at 0x93", "\xE2\x80\x9C", true, "\x93"},
        {"fullwidth solidus", "a\xEF\xBC\x8F" "b", false, ""},
        {"Greek alpha", "\xCE\xB1", false, ""},
        {"emoji", "\xF0\x9F\x98\x80", false, ""},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        std::string text;
        if (!OsUtf8ToText(row.Utf8Text, text)) {
            EXPECT_FALSE(row.Fits) << "a legacy character the process code page lacks";
            continue;
        }
        std::string legacy = "untouched";
        EXPECT_EQ(row.Fits, OsTextToLegacy(text, legacy));
        if (row.Fits) {
            EXPECT_EQ(row.Legacy, legacy);
            std::string back;
            ASSERT_TRUE(OsLegacyToText(legacy, back));
            EXPECT_EQ(text, back);
        }
    }
}

TEST(HeaderNames, HeaderOfMixedNamesReadsBack) {
    TFileInfos list;
    const char* const utf8Names[] = {"plain", "caf\xC3\xA9", "\xE6\x97\xA5\\\xD0\x96.txt", "a\xEF\xBC\x8F" "b"};
    for (const char* utf8 : utf8Names) {
        std::string name;
        if (!OsUtf8ToText(utf8, name))
            continue;
        TFileInfo* entry = list.Add();
        entry->Name = name;
        entry->Kind = fkFile;
        entry->Size = 7;
    }
    ASSERT_GE(list.Count(), 2);
    TFileInfos read;
    ASSERT_TRUE(read.ParseHeader(list.BuildHeader()));
    ASSERT_EQ(list.Count(), read.Count());
    for (int32_t i = 0; i < list.Count(); ++i) {
        SCOPED_TRACE(list.GetItem(i)->Name);
        EXPECT_EQ(list.GetItem(i)->Name, read.GetItem(i)->Name);
    }
}

// An older reader takes every stored name as legacy text and the mark as
// three letters. It can only make an entry whose parent it made before: the
// stored name of every directory must be the start of the stored names of
// the entries inside it, component for component.
TEST(HeaderNames, AnOlderReaderFindsEveryParentItMade) {
    struct TRow {
        const char* Label;
        std::vector<std::string> Utf8Names;
    };
    const TRow rows[] = {
        {"ASCII directory above CJK names",
         {"src", "src\\\xE6\x97\xA5", "src\\\xE6\x97\xA5\\a.txt", "src\\\xE6\x97\xA5\\caf\xC3\xA9"}},
        {"cp1252 directory above a Greek file", {"caf\xC3\xA9", "caf\xC3\xA9\\\xCE\xB1.txt"}},
        {"Greek directory above cp1252 and ASCII names",
         {"\xCE\xB1", "\xCE\xB1\\caf\xC3\xA9", "\xCE\xB1\\caf\xC3\xA9\\x.txt", "\xCE\xB1\\y"}},
        {"emoji three levels down", {"a", "a\\b", "a\\b\\\xF0\x9F\x98\x80", "a\\b\\\xF0\x9F\x98\x80\\z"}},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        std::vector<std::string> stored;
        bool all = true;
        for (const std::string& utf8 : row.Utf8Names) {
            std::string name;
            std::string bytes;
            all = all && OsUtf8ToText(utf8, name) && EncodeHeaderName(name, bytes);
            stored.push_back(bytes);
        }
        if (!all)
            continue;  // the process code page cannot hold these names
        for (size_t i = 0; i < stored.size(); ++i) {
            for (size_t j = 0; j < stored.size(); ++j) {
                if (row.Utf8Names[j].compare(0, row.Utf8Names[i].size() + 1, row.Utf8Names[i] + "\\") != 0)
                    continue;
                SCOPED_TRACE(row.Utf8Names[i] + " holds " + row.Utf8Names[j]);
                EXPECT_EQ(stored[i] + "\\", stored[j].substr(0, stored[i].size() + 1));
            }
        }
    }
}
