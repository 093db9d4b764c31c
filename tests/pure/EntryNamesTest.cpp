// Which entry names a header may carry: each row is one name a header could
// hold and whether the join may create it below the output directory.
#include "index/EntryNames.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TNameCase {
    std::string Name;
    bool Safe;
    const char* Why;
};

const TNameCase NameCases[] = {
    // Plain relative names, as a split writes them.
    {"a", true, "one letter"},
    {"report.doc", true, "file with extension"},
    {"photos\\y2019\\b.jpg", true, "nested path"},
    {"a b.txt", true, "inner space"},
    {" lead", true, "leading space is a real Windows name"},
    {".hidden", true, "leading dot with a stem"},
    {"a..b", true, "two dots inside"},
    {"...a", true, "dots then a letter"},
    {"dir\\.git\\x", true, "component starting with a dot"},
    {"caf\xE9 \xFC.txt", true, "cp1252 letters above 127"},
    {"\xB9\xB2\xB3", true, "superscripts alone are no device"},
    {"a\x7F" "b", true, "DEL is not a control character of the rule"},
    // Names that merely resemble devices.
    {"CONSOLE.txt", true, "CON as a prefix only"},
    {"CONIN", true, "CONIN without the dollar"},
    {"NULL", true, "NUL with one more letter"},
    {"COM10", true, "two digits"},
    {"LPT", true, "no digit"},
    {"COMx", true, "letter instead of digit"},
    {"COM\xB4", true, "cp1252 acute accent is no superscript digit"},
    {"COM\xC2\xB4", true, "UTF-8 acute accent is no superscript digit"},
    {"COM\xC2\xB9\xC2\xB9", true, "two superscripts are no device"},
    {"a.con", true, "device name as extension"},
    {"my con", true, "device name as second word"},
    {"\xE9" "CON", true, "letter before CON"},
    // Leaving the output directory or addressing another root.
    {"", false, "empty"},
    {"\\a", false, "leading backslash"},
    {"/a", false, "leading slash"},
    {"a/b", false, "forward slash inside"},
    {"\\\\server\\share\\x", false, "UNC path"},
    {"C:x", false, "drive-relative"},
    {"C:\\x", false, "drive-absolute"},
    {"a:b", false, "alternate data stream"},
    {"a\\b:c", false, "stream in a deeper component"},
    {"..", false, "parent"},
    {".", false, "self"},
    {"...", false, "only dots"},
    {". ", false, "dot and space"},
    {" ", false, "only a space"},
    {"a\\..\\b", false, "parent in the middle"},
    {"a\\..", false, "parent at the end"},
    {"..\\sentinel.txt", false, "parent at the start"},
    {"a\\.\\b", false, "self in the middle"},
    {"a\\\\b", false, "empty component"},
    {"a\\", false, "trailing backslash leaves an empty component"},
    // Components Windows would silently change.
    {"a.", false, "trailing dot"},
    {"a ", false, "trailing space"},
    {"dir.\\x", false, "trailing dot on a directory"},
    {"dir \\x", false, "trailing space on a directory"},
    // Characters no file name may hold.
    {"a*b", false, "star"},
    {"a?b", false, "question mark"},
    {"a\"b", false, "quote"},
    {"a<b", false, "less-than"},
    {"a>b", false, "greater-than"},
    {"a|b", false, "bar"},
    {"a\x01" "b", false, "control 1"},
    {"a\tb", false, "tab"},
    {"a\nb", false, "line feed"},
    {"a\x1F" "b", false, "control 31"},
    {std::string("a\0b", 3), false, "embedded zero byte"},
    // Devices, in any case, with any extension, trailing spaces before the dot.
    {"CON", false, "console"},
    {"con", false, "console, lower case"},
    {"CON.txt", false, "console with extension"},
    {"con ", false, "console with trailing space"},
    {"con .txt", false, "space before the extension"},
    {"Nul.tar.gz", false, "two extensions"},
    {"PRN", false, "printer"},
    {"aux", false, "aux"},
    {"x\\aux", false, "device as last component"},
    {"prn\\x", false, "device as directory"},
    {"COM0", false, "COM0"},
    {"COM1", false, "COM1"},
    {"com9.log", false, "COM9 with extension"},
    {"LPT0", false, "LPT0"},
    {"lpt5", false, "LPT5"},
    {"COM\xB9", false, "COM superscript one"},
    {"LPT\xB2", false, "LPT superscript two"},
    {"lpt\xB3.txt", false, "LPT superscript three with extension"},
    {"COM\xC2\xB9", false, "COM superscript one in UTF-8"},
    {"lpt\xC2\xB3.txt", false, "LPT superscript three in UTF-8 with extension"},
    {"CONIN$", false, "console input"},
    {"conout$.x", false, "console output with extension"},
    {"Clock$", false, "clock"},
};

TEST(EntryNames, AcceptsPlainNamesAndRefusesEverythingElse) {
    for (const TNameCase& c : NameCases) {
        SCOPED_TRACE(std::string(c.Why) + ": \"" + c.Name + "\"");
        EXPECT_EQ(c.Safe, IsSafeEntryName(c.Name));
    }
}

}  // namespace
