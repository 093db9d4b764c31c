#include "index/PathOps.h"
#include "index/PathQuery.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

// Runs a test in a working directory of its own and restores the old one.
class TWorkingDirectory {
public:
    explicit TWorkingDirectory(const std::string& dir) {
        char old[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, old);
        Old = old;
        SetCurrentDirectoryA(dir.c_str());
    }
    ~TWorkingDirectory() { SetCurrentDirectoryA(Old.c_str()); }

private:
    std::string Old;
};

std::string WithForwardSlashes(std::string path) {
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

TEST(PathKind, TellsFilesDirectoriesAndRootsApart) {
    TScratchDir dir("kind");
    WriteFileBytes(dir / "file.txt", "x");
    MakeDirectory(dir / "sub");
    TWorkingDirectory here(dir.Path());
    const struct {
        std::string Path;
        TEntryKind Kind;
    } rows[] = {
        {dir / "file.txt", pkFile},
        {"file.txt", pkFile},
        {dir / "file.txt\\", pkFile},
        {dir / "sub", pkDirectory},
        {dir / "sub\\", pkDirectory},
        {dir / "sub\\\\\\", pkDirectory},
        {"sub", pkDirectory},
        {dir.Path(), pkDirectory},
        {"C:\\", pkRoot},
        {"C:", pkRoot},
        {"C:\\\\", pkRoot},
        {"Z:\\", pkRoot},
        {dir / "missing.txt", pkNotFound},
        {dir / "sub\\missing", pkNotFound},
        {WithForwardSlashes(dir / "file.txt"), pkNotFound},
        {WithForwardSlashes(dir / "sub"), pkNotFound},
        {"", pkNotFound},
        {"\\", pkNotFound},
        {"\\\\\\", pkNotFound},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("\"" + row.Path + "\"");
        EXPECT_EQ(row.Kind, PathKind(row.Path));
    }
}

TEST(ExpandPath, GivesExistingPathsInFullAndLeavesTheRestAlone) {
    TScratchDir dir("expand");
    WriteFileBytes(dir / "file.txt", "x");
    MakeDirectory(dir / "sub");
    TWorkingDirectory here(dir.Path());
    const std::string longName(200, 'n');
    MakeDirectory(dir / longName);
    const struct {
        std::string Path;
        std::string Expanded;
    } rows[] = {
        {"file.txt", dir / "file.txt"},
        {".\\file.txt", dir / "file.txt"},
        {"sub\\..\\file.txt", dir / "file.txt"},
        {"sub", dir / "sub"},
        {"sub\\", dir / "sub\\"},
        {longName, dir / longName},
        {dir / "file.txt", dir / "file.txt"},
        {"missing.txt", "missing.txt"},
        {"C:\\", "C:\\"},
        {"C:", "C:"},
        {WithForwardSlashes(dir / "file.txt"), WithForwardSlashes(dir / "file.txt")},
        {"", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("\"" + row.Path + "\"");
        EXPECT_EQ(row.Expanded, ExpandPath(row.Path));
    }
}

}  // namespace
