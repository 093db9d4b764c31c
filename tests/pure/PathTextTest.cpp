#include "foundation/UnitImport.h"
#include "foundation/UnitLanguage.h"
#include "foundation/platform/TextServices.h"
#include "index/PathOps.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TTextRow {
    std::string In;
    std::string Out;
};

void ExpectEach(const char* what, std::string (*operation)(const std::string&), std::initializer_list<TTextRow> rows) {
    for (const TTextRow& row : rows) {
        SCOPED_TRACE(std::string(what) + " of \"" + row.In + "\"");
        EXPECT_EQ(row.Out, operation(row.In));
    }
}

TEST(PathRoot, FindsTheDriveOrShareAtTheStart) {
    ExpectEach("PathRoot", PathRoot,
               {
                   {"", ""},
                   {"D", ""},
                   {"D:", "D:"},
                   {"D:\\", "D:"},
                   {"D:\\dir\\file", "D:"},
                   {"D:file", "D:"},
                   {"1:\\x", "1:"},
                   {"\\:", "\\:"},
                   {"\\\\server\\share\\dir\\file", "\\\\server\\share"},
                   {"\\\\server\\share\\", "\\\\server\\share"},
                   {"\\\\server\\share", "\\\\server\\share"},
                   {"\\\\server", "\\\\server"},
                   {"\\\\server\\", "\\\\server"},
                   {"\\\\s\\", "\\\\s"},
                   {"\\\\", "\\\\"},
                   {"\\\\\\", "\\\\"},
                   {"\\\\\\\\", "\\\\\\"},
                   {"\\dir", ""},
                   {"dir\\file", ""},
                   {"//server/share", ""},
                   {"\xE0:\\", "\xE0:"},
               });
}

TEST(StripTrailingBackslashes, RemovesEveryTrailingBackslash) {
    ExpectEach("StripTrailingBackslashes", StripTrailingBackslashes,
               {
                   {"", ""},
                   {"D:\\", "D:"},
                   {"\\", ""},
                   {"\\\\\\", ""},
                   {"dir\\\\\\", "dir"},
                   {"D:\\dir\\file", "D:\\dir\\file"},
                   {"\\\\server\\share\\", "\\\\server\\share"},
                   {"dir/", "dir/"},
               });
}

TEST(AddTrailingBackslash, AddsOneUnlessEmptyOrPresent) {
    ExpectEach("AddTrailingBackslash", AddTrailingBackslash,
               {
                   {"", ""},
                   {"D:", "D:\\"},
                   {"D:\\", "D:\\"},
                   {"D:\\dir", "D:\\dir\\"},
                   {"dir\\\\", "dir\\\\"},
                   {"dir/", "dir/\\"},
               });
}

TEST(ParentPath, CutsTheLastNameAfterStripping) {
    ExpectEach("ParentPath", ParentPath,
               {
                   {"D:\\dir\\file.txt", "D:\\dir"},
                   {"D:\\dir\\", "D:"},
                   {"D:\\dir\\\\\\", "D:"},
                   {"D:\\", "D:"},
                   {"D:", "D:"},
                   {"file.txt", "file.txt"},
                   {"\\file", ""},
                   {"\\\\server\\share\\dir", "\\\\server\\share"},
                   {"\\\\server\\share", "\\\\server"},
                   {"", ""},
                   {"a/b/c", "a/b/c"},
               });
}

TEST(FileNamePart, TakesEverythingAfterTheLastBackslash) {
    ExpectEach("FileNamePart", FileNamePart,
               {
                   {"D:\\dir\\file.txt", "file.txt"},
                   {"D:\\dir\\", ""},
                   {"file.txt", "file.txt"},
                   {"D:file", "D:file"},
                   {"", ""},
                   {"\\", ""},
                   {"a/b\\c/d", "c/d"},
               });
}

TEST(RemoveExtension, CutsFromTheLastDotOfTheName) {
    ExpectEach("RemoveExtension", RemoveExtension,
               {
                   {"D:\\dir\\file.txt", "D:\\dir\\file"},
                   {"archive.tar.gz", "archive.tar"},
                   {"file.", "file"},
                   {"D:\\dir.x\\file", "D:\\dir.x\\file"},
                   {"D:\\dir\\.cfg", "D:\\dir\\"},
                   {"file", "file"},
                   {"", ""},
                   {".", ""},
                   {"big.001", "big"},
               });
}

TEST(LastDelimiterPos, FindsTheLastCharacterOfTheSet) {
    const struct {
        std::string Delimiters;
        std::string Text;
        size_t Pos;
    } rows[] = {
        {"\\", "", 0},
        {"\\", "abc", 0},
        {"", "abc", 0},
        {"\\", "a\\b", 2},
        {"\\", "\\", 1},
        {"\\", "a\\b\\", 4},
        {".\\", "a.b\\c", 4},
        {".\\", "a\\b.c", 4},
        {"\\/", "a/b\\c/d", 6},
        {"\xE0", "x\xE0y", 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("\"" + row.Delimiters + "\" in \"" + row.Text + "\"");
        EXPECT_EQ(row.Pos, LastDelimiterPos(row.Delimiters, row.Text));
    }
}

TEST(UpperText, UpperCasesACopyByTheAnsiRules) {
    const struct {
        std::string In;
        std::string Out;
    } rows[] = {
        {"silent", "SILENT"},
        {"SizeAble", "SIZEABLE"},
        {"size$ff", "SIZE$FF"},
        {"", ""},
        {"/\\-.0x9", "/\\-.0X9"},
        // Accented letters have capitals, the division sign has none (in
        // the program's text: code page 1252 or UTF-8).
        {OsTextFromCp1252("\xE0\xE8\xF9"), OsTextFromCp1252("\xC0\xC8\xD9")},
        {OsTextFromCp1252("\xF7"), OsTextFromCp1252("\xF7")},
        {"it", "IT"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("\"" + row.In + "\"");
        const std::string passed = row.In;
        EXPECT_EQ(row.Out, UpperText(passed));
        EXPECT_EQ(row.In, passed);
    }
}

}  // namespace
