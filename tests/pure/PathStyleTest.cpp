// The path helpers in both styles, one row per case.
#include "foundation/UnitImport.h"
#include "index/PathOps.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TStyleRow {
    std::string In;
    std::string Windows;
    std::string Posix;
};

void ExpectBoth(const char* what, std::string (*operation)(const std::string&, TPathStyle),
                std::initializer_list<TStyleRow> rows) {
    for (const TStyleRow& row : rows) {
        SCOPED_TRACE(std::string(what) + " of \"" + row.In + "\"");
        EXPECT_EQ(row.Windows, operation(row.In, TPathStyle::Windows));
        EXPECT_EQ(row.Posix, operation(row.In, TPathStyle::Posix));
    }
}

TEST(PathStyle, ParentPath) {
    ExpectBoth("ParentPath", ParentPath,
               {
                   {"/home/me/film.mkv", "/home/me/film.mkv", "/home/me"},
                   {"/home", "/home", "/"},
                   {"/", "/", "/"},
                   {"/out\\dir\\file", "/out\\dir", "/out\\dir"},
                   {"C:\\a\\b", "C:\\a", "C:\\a"},
                   {"rel/name", "rel/name", "rel"},
                   {"name", "name", "name"},
                   {"/a/b//", "/a/b//", "/a"},
               });
}

TEST(PathStyle, FileNamePart) {
    ExpectBoth("FileNamePart", FileNamePart,
               {
                   {"/home/me/film.mkv", "/home/me/film.mkv", "film.mkv"},
                   {"/out\\sub\\x.001", "x.001", "x.001"},
                   {"/", "/", ""},
                   {"name", "name", "name"},
               });
}

TEST(PathStyle, StripAndAddSeparators) {
    ExpectBoth("StripTrailingBackslashes", StripTrailingBackslashes,
               {
                   {"/", "/", "/"},
                   {"//", "//", "/"},
                   {"/a/b/", "/a/b/", "/a/b"},
                   {"/a\\", "/a", "/a"},
                   {"C:\\", "C:", "C:"},
                   {"", "", ""},
               });
    ExpectBoth("AddTrailingBackslash", AddTrailingBackslash,
               {
                   {"/", "/\\", "/"},
                   {"/a", "/a\\", "/a\\"},
                   {"/a/", "/a/\\", "/a/"},
                   {"", "", ""},
               });
}

TEST(PathStyle, RemoveExtensionStopsAtEitherSeparator) {
    ExpectBoth("RemoveExtension", RemoveExtension,
               {
                   {"/a.b/c", "/a", "/a.b/c"},
                   {"/a.b\\c", "/a.b\\c", "/a.b\\c"},
                   {"/a/c.txt", "/a/c", "/a/c"},
                   {"/a.d/c.tar.gz", "/a.d/c.tar", "/a.d/c.tar"},
               });
}

TEST(PathStyle, RootsAndAbsolutePaths) {
    struct TRow {
        std::string In;
        bool WindowsAbsolute;
        bool PosixAbsolute;
        std::string PosixRoot;
    } rows[] = {
        {"/home/me", false, true, "/"},
        {"/", false, true, "/"},
        {"home/me", false, false, ""},
        {"C:\\x", true, false, ""},
        {"C:x", false, false, ""},
        {"\\\\server\\share", true, false, ""},
        {"", false, false, ""},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE("\"" + row.In + "\"");
        EXPECT_EQ(row.WindowsAbsolute, IsAbsolutePath(row.In, TPathStyle::Windows));
        EXPECT_EQ(row.PosixAbsolute, IsAbsolutePath(row.In, TPathStyle::Posix));
        EXPECT_EQ(row.PosixRoot, PathRoot(row.In, TPathStyle::Posix));
    }
}

TEST(PathStyle, UniformSeparatorsOnlyChangesPosixPaths) {
    EXPECT_EQ("/out/sub/x", UniformSeparators("/out\\sub\\x", TPathStyle::Posix));
    EXPECT_EQ("/out\\sub\\x", UniformSeparators("/out\\sub\\x", TPathStyle::Windows));
}

}  // namespace
