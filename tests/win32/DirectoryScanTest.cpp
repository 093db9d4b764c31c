// The scan on real trees: order, what is passed over, the limit test, links,
// roots, directories that cannot be enumerated, and sets of numbered parts.
#include "foundation/UnitFileStream.h"
#include "index/UnitFileInfo.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr uint64_t ExampleTime = 127546779091200000ull;  // 2005-03-07 14:05:09.120 UTC

// A tree given as lines: "dir\\" makes a directory, "name:size" a file.
void BuildTree(const std::string& root, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (line.back() == '\\') {
            MakeDirectory(root + "\\" + line.substr(0, line.size() - 1));
            continue;
        }
        const size_t colon = line.rfind(':');
        WritePatternFile(root + "\\" + line.substr(0, colon), std::stoll(line.substr(colon + 1)));
    }
}

std::vector<std::string> Names(const TFileInfos& list) {
    std::vector<std::string> names;
    for (int32_t i = 0; i < list.Count(); ++i)
        names.push_back(list.GetItem(i)->Name);
    return names;
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

std::string ParentOf(const std::string& name) {
    const size_t slash = name.rfind('\\');
    return slash == std::string::npos ? std::string() : name.substr(0, slash);
}

// Every directory comes right before its contents, which form one block, and
// the entries of each directory keep the order in which it enumerates them.
void ExpectDepthFirstInEnumerationOrder(const TFileInfos& list) {
    const std::vector<std::string> names = Names(list);
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string parent = ParentOf(names[i]);
        if (parent.empty())
            continue;
        // The directory is listed earlier, and everything between it and
        // this entry lies inside it.
        const auto found = std::find(names.begin(), names.begin() + static_cast<long>(i), parent);
        ASSERT_NE(names.begin() + static_cast<long>(i), found) << names[i] << " comes before its directory";
        for (auto it = found + 1; it != names.begin() + static_cast<long>(i); ++it)
            EXPECT_EQ(0u, it->rfind(parent + "\\", 0)) << *it << " splits the contents of " << parent;
    }
    std::map<std::string, std::vector<std::string>> children;
    for (const std::string& name : names)
        children[ParentOf(name)].push_back(name.substr(name.rfind('\\') + 1));
    for (const auto& [parent, listed] : children) {
        if (parent.empty())
            continue;
        std::vector<std::string> enumerated;
        for (const std::string& name : EntryNamesIn(AddTrailingBackslash(list.BaseDir) + parent)) {
            if (std::find(listed.begin(), listed.end(), name) != listed.end())
                enumerated.push_back(name);
        }
        EXPECT_EQ(enumerated, listed) << "order inside " << parent;
    }
}

const TFileInfo* Find(const TFileInfos& list, const std::string& name) {
    for (int32_t i = 0; i < list.Count(); ++i) {
        if (list.GetItem(i)->Name == name)
            return list.GetItem(i);
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// Running Linux commands from the test, for what Win32 under Wine cannot do
// (symbolic links, removing them). Empty when not running under Wine.

std::string UnixPathOf(const std::string& path) {
    using TGetUnixName = char*(CDECL*)(LPCWSTR);
    const auto getUnixName = reinterpret_cast<TGetUnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!getUnixName)
        return std::string();
    const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], length);
    char* unixName = getUnixName(wide.c_str());
    if (!unixName)
        return std::string();
    std::string result = unixName;
    HeapFree(GetProcessHeap(), 0, unixName);
    return result;
}

// Starts a Linux program. Wine gives no usable handle for such a process, so
// the caller waits for the effect instead (WaitFor).
bool StartUnix(const std::string& program, const std::string& arguments) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string commandLine = program + " " + arguments;
    std::string application = "Z:" + program;
    std::replace(application.begin(), application.end(), '/', '\\');
    if (!CreateProcessA(application.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return false;
    if (info.hThread)
        CloseHandle(info.hThread);
    if (info.hProcess && info.hProcess != INVALID_HANDLE_VALUE)
        CloseHandle(info.hProcess);
    return true;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WaitFor(const std::string& path, bool present) {
    for (int i = 0; i < 500; ++i) {
        if (PathExists(path) == present)
            return true;
        Sleep(10);
    }
    return false;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// Removes a tree from the Linux side when it goes, without following links;
// declared after the scratch directory so that it runs first.
class TUnixTreeRemover {
public:
    explicit TUnixTreeRemover(const std::string& path) : Path(path), UnixPath(UnixPathOf(path)) {}
    ~TUnixTreeRemover() {
        if (!UnixPath.empty() && StartUnix("/bin/rm", "-rf " + Quoted(UnixPath)))
            WaitFor(Path, false);
    }
    TUnixTreeRemover(const TUnixTreeRemover&) = delete;
    TUnixTreeRemover& operator=(const TUnixTreeRemover&) = delete;
    bool Usable() const { return !UnixPath.empty(); }

private:
    std::string Path;
    std::string UnixPath;
};

// ---------------------------------------------------------------------------

TEST(DirectoryScan, SingleFile) {
    TScratchDir scratch("scan");
    WritePatternFile(scratch / "report.doc", 4321);
    SetLastWriteTimeOf(scratch / "report.doc", ExampleTime + 12345);

    TFileInfos list;
    EXPECT_FALSE(list.ScanPath(scratch / "report.doc", 1 << 20));
    EXPECT_EQ(scratch.Path(), list.BaseDir);
    ASSERT_EQ(1, list.Count());
    EXPECT_EQ("report.doc", list.GetItem(0)->Name);
    EXPECT_EQ(fkFile, list.GetItem(0)->Kind);
    EXPECT_EQ(4321, list.GetItem(0)->Size);
    // The file system's own value, sub-millisecond ticks included.
    EXPECT_EQ(ExampleTime + 12345, FileTimeValue(list.GetItem(0)->LastWriteTime));
}

TEST(DirectoryScan, WorkedExampleFromRealFiles) {
    TScratchDir scratch("scan");
    MakeDirectory(scratch / "photos");
    WritePatternFile(scratch / "photos\\a.jpg", 1234);
    SetLastWriteTimeOf(scratch / "photos\\a.jpg", ExampleTime);
    SetLastWriteTimeOf(scratch / "photos", ExampleTime);

    TFileInfos list;
    EXPECT_FALSE(list.ScanPath(scratch / "photos\\", 1 << 20));
    EXPECT_EQ(scratch.Path(), list.BaseDir);
    const std::string header = list.BuildHeader();
    EXPECT_EQ("QoVa40\tphotos\tD\t0\t20050307140509120\tphotos\\a.jpg\tF\t1234\t20050307140509120\t\t", header);
    EXPECT_EQ(75, list.HeaderSize());

    TFileInfos read;
    ASSERT_TRUE(read.ParseHeader(header));
    ASSERT_EQ(2, read.Count());
    EXPECT_EQ(ExampleTime, FileTimeValue(read.GetItem(1)->LastWriteTime));
    EXPECT_EQ(ExampleTime, FileTimeValue(read.GetItem(0)->LastWriteTime));
}

TEST(DirectoryScan, NestedTreeInEnumerationOrder) {
    TScratchDir scratch("scan");
    const std::string high = "\xE9t\xE9 caf\xE9.txt";  // code page 1252
    BuildTree(scratch.Path(), {"photos\\", "photos\\c.jpg:30", "photos\\a.jpg:10", "photos\\y2019\\",
                               "photos\\y2019\\b.jpg:20", "photos\\y2019\\.git\\", "photos\\y2019\\.git\\obj:99",
                               "photos\\empty\\", "photos\\.cache\\", "photos\\.cache\\x.bin:500",
                               "photos\\.profile:7", "photos\\Deep\\", "photos\\Deep\\er\\", "photos\\Deep\\er\\est\\",
                               "photos\\Deep\\er\\est\\f.txt:3", "photos\\name with spaces.v1.txt:4",
                               "photos\\" + high + ":5", "photos\\b..dots...x:6"});
    const uint32_t handles = OpenHandleCount();

    TFileInfos list;
    EXPECT_FALSE(list.ScanPath(scratch / "photos", 1 << 20));
    EXPECT_EQ(handles, OpenHandleCount());
    EXPECT_EQ(scratch.Path(), list.BaseDir);

    const std::vector<std::string> expected = {
        "photos", "photos\\a.jpg", "photos\\b..dots...x", "photos\\c.jpg", "photos\\Deep", "photos\\Deep\\er",
        "photos\\Deep\\er\\est", "photos\\Deep\\er\\est\\f.txt", "photos\\empty", "photos\\name with spaces.v1.txt",
        "photos\\.profile", "photos\\y2019", "photos\\y2019\\b.jpg", "photos\\" + high};
    EXPECT_EQ(Sorted(expected), Sorted(Names(list)));
    EXPECT_EQ("photos", list.GetItem(0)->Name);
    ExpectDepthFirstInEnumerationOrder(list);

    const std::map<std::string, int64_t> sizes = {
        {"photos\\a.jpg", 10}, {"photos\\c.jpg", 30},         {"photos\\y2019\\b.jpg", 20},
        {"photos\\.profile", 7}, {"photos\\Deep\\er\\est\\f.txt", 3}, {"photos\\" + high, 5}};
    for (int32_t i = 0; i < list.Count(); ++i) {
        const TFileInfo& entry = *list.GetItem(i);
        SCOPED_TRACE(entry.Name);
        const auto size = sizes.find(entry.Name);
        if (size != sizes.end()) {
            EXPECT_EQ(fkFile, entry.Kind);
            EXPECT_EQ(size->second, entry.Size);
        }
        EXPECT_EQ(LastWriteTimeOf(scratch / entry.Name), FileTimeValue(entry.LastWriteTime));
        EXPECT_EQ(DirectoryExists(scratch / entry.Name) ? fkDirectory : fkFile, entry.Kind);
    }
    EXPECT_EQ(85, list.TotalSize());
}

TEST(DirectoryScan, EmptyDirectoryIsItsOwnEntry) {
    TScratchDir scratch("scan");
    MakeDirectory(scratch / "empty");
    TFileInfos list;
    EXPECT_FALSE(list.ScanPath(scratch / "empty", 0));
    EXPECT_EQ(std::vector<std::string>{"empty"}, Names(list));
    EXPECT_EQ(fkDirectory, list.GetItem(0)->Kind);
}

TEST(DirectoryScan, MissingPathGivesNothing) {
    TScratchDir scratch("scan");
    TFileInfos list;
    EXPECT_FALSE(list.ScanPath(scratch / "missing", 100));
    EXPECT_EQ(0, list.Count());
    EXPECT_FALSE(list.ScanPath(scratch / "missing\\deeper\\", 100));
    EXPECT_EQ(0, list.Count());
}

TEST(DirectoryScan, LimitStopsTheEnumerationAfterTheDirectoryThatCrossesIt) {
    struct TRow {
        const char* Label;
        std::vector<std::string> Tree;  // below d
        int64_t Limit;
        int64_t AlreadyListed;          // size of an entry in the list before the scan
        bool Result;
        std::vector<std::string> Expected;  // below d, in enumeration order
    } rows[] = {
        {"files are appended without a test", {"a.bin:60", "b.bin:50"}, 100, 0, true, {"a.bin", "b.bin"}},
        {"150 bytes, then sub is listed but not entered",
         {"a.bin:150", "b_sub\\", "b_sub\\inner.bin:1", "c.bin:5", "d_dir\\"},
         100,
         0,
         true,
         {"a.bin", "b_sub"}},
        {"total equal to the limit", {"a.bin:60", "b_sub\\", "b_sub\\c.bin:40"}, 100, 0, false,
         {"a.bin", "b_sub", "b_sub\\c.bin"}},
        {"one byte over", {"a.bin:61", "b_sub\\", "b_sub\\c.bin:40", "d.bin:1"}, 100, 0, true,
         {"a.bin", "b_sub", "b_sub\\c.bin", "d.bin"}},
        {"enclosing directories go on and test again",
         {"a_sub\\", "a_sub\\b_sub\\", "a_sub\\b_sub\\big.bin:150", "a_sub\\b_sub\\c_sub\\", "a_sub\\b_sub\\d.bin:1",
          "a_sub\\z.bin:1", "y.bin:2", "yz_sub\\", "yz_sub\\w.bin:1", "zz.bin:1"},
         100,
         0,
         true,
         {"a_sub", "a_sub\\b_sub", "a_sub\\b_sub\\big.bin", "a_sub\\b_sub\\c_sub", "a_sub\\z.bin", "y.bin", "yz_sub"}},
        {"entries listed before count", {"a.bin:20", "b_sub\\", "b_sub\\c.bin:1"}, 100, 90, true,
         {"a.bin", "b_sub"}},
        {"under the limit everything is listed", {"a.bin:20", "b_sub\\", "b_sub\\c.bin:1"}, 21, 0, false,
         {"a.bin", "b_sub", "b_sub\\c.bin"}},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TScratchDir scratch("limit");
        MakeDirectory(scratch / "d");
        BuildTree(scratch / "d", row.Tree);

        TFileInfos list;
        std::vector<std::string> expected;
        if (row.AlreadyListed) {
            TFileInfo* earlier = list.Add();
            earlier->Name = "earlier";
            earlier->Size = row.AlreadyListed;
            expected.push_back("earlier");
        }
        const uint32_t handles = OpenHandleCount();
        EXPECT_EQ(row.Result, list.ScanPath(scratch / "d", row.Limit));
        EXPECT_EQ(handles, OpenHandleCount());
        expected.push_back("d");
        for (const std::string& name : row.Expected)
            expected.push_back("d\\" + name);
        EXPECT_EQ(expected, Names(list));
        ExpectDepthFirstInEnumerationOrder(list);
    }
}

// A directory whose path leaves no room for "\*.*" within the 259 characters
// of an ANSI path is listed all the same: the platform layer reaches it in
// the long form, and the tree is stored with everything in it.
TEST(DirectoryScan, DirectoryBeyondTheAnsiPathLimitIsListed) {
    TScratchDir scratch("scan");
    const std::string top = scratch / "tree";
    MakeDirectory(top);
    WritePatternFile(top + "\\a.txt", 3);
    const std::string longName = "m" + std::string(257 - top.size() - 2, 'x');
    const std::string longDir = top + "\\" + longName;
    ASSERT_EQ(257u, longDir.size());
    MakeDirectory(longDir);
    WritePatternFile(top + "\\z.txt", 4);
    // Something inside, written through the wide API that has no such limit.
    const std::wstring inside = L"\\\\?\\" + std::wstring(longDir.begin(), longDir.end()) + L"\\hidden.bin";
    HANDLE h = CreateFileW(inside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    DWORD written = 0;
    WriteFile(h, "12345", 5, &written, nullptr);
    CloseHandle(h);
    WIN32_FIND_DATAA data;
    ASSERT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA((longDir + "\\*.*").c_str(), &data)) << "precondition";

    TFileInfos list;
    EXPECT_FALSE(list.ScanPath(top, 1 << 20));
    std::vector<std::string> names;
    for (int32_t i = 0; i < list.Count(); ++i)
        names.push_back(list.GetItem(i)->Name);
    const std::string hidden = "tree\\" + longName + "\\hidden.bin";
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), hidden));
    EXPECT_EQ(5u, names.size());
    EXPECT_EQ(3 + 5 + 4, list.TotalSize());

    const std::wstring wideDir = L"\\\\?\\" + std::wstring(longDir.begin(), longDir.end());
    DeleteFileW(inside.c_str());
    RemoveDirectoryW(wideDir.c_str());
}

// Directory links are entered, so that their contents are in the set; each
// directory is entered once, found by its identity, and a link that comes
// round to a directory already entered stays an empty directory, so that a
// loop ends.
TEST(DirectoryScan, DirectoryLinksAreEnteredOnce) {
    TScratchDir scratch("links");
    TUnixTreeRemover remover(scratch.Path());
    if (!remover.Usable())
        GTEST_SKIP() << "needs Wine to make Unix symbolic links";
    const std::string root = UnixPathOf(scratch.Path());
    BuildTree(scratch.Path(), {"outside\\", "outside\\o.txt:100", "tree\\", "tree\\f.txt:10", "tree\\sub\\",
                               "tree\\sub\\inner.txt:20"});
    struct TLink {
        const char* Name;
        std::string Target;
    } links[] = {
        {"tree\\self", "."},
        {"tree\\up", ".."},
        {"tree\\tosub", "sub"},
        {"tree\\out", root + "/outside"},
        {"tree\\sub\\back", ".."},
    };
    for (const TLink& link : links) {
        std::string unixLink = root + "/" + link.Name;
        std::replace(unixLink.begin(), unixLink.end(), '\\', '/');
        ASSERT_TRUE(StartUnix("/bin/ln", "-s " + Quoted(link.Target) + " " + Quoted(unixLink)));
        ASSERT_TRUE(WaitFor(scratch / link.Name, true)) << link.Name;
        // What the scan relies on: the system marks the link.
        WIN32_FIND_DATAA data;
        HANDLE h = FindFirstFileA((scratch / link.Name).c_str(), &data);
        ASSERT_NE(INVALID_HANDLE_VALUE, h) << link.Name;
        FindClose(h);
        EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT),
                  data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
            << link.Name;
    }

    TFileInfos list;
    EXPECT_FALSE(list.ScanPath(scratch / "tree", 1 << 20));
    // Which name of a directory comes first depends on the listing order;
    // what may not depend on it: every file's bytes once, through the real
    // directories or the links, and every link an entry.
    std::vector<std::string> files;
    for (const std::string& name : Names(list)) {
        if (Find(list, name)->Kind == fkFile)
            files.push_back(name.substr(name.rfind('\\') + 1));
    }
    EXPECT_EQ(Sorted({"f.txt", "inner.txt", "o.txt"}), Sorted(files));
    EXPECT_EQ(130, list.TotalSize());
    for (const char* name : {"tree\\out", "tree\\self", "tree\\sub", "tree\\tosub", "tree\\up"}) {
        SCOPED_TRACE(name);
        const TFileInfo* entry = Find(list, name);
        ASSERT_NE(nullptr, entry);
        EXPECT_EQ(fkDirectory, entry->Kind);
    }
    // The link to the tree's own parent leads out of it: what lies there is
    // entered once too, and the tree itself is not entered again.
    EXPECT_EQ(nullptr, Find(list, "tree\\up\\tree\\f.txt"));
    EXPECT_EQ(nullptr, Find(list, "tree\\self\\f.txt"));
    ExpectDepthFirstInEnumerationOrder(list);
}

// Drive S: of the test prefix is a plain directory that the test fills.
TEST(DirectoryScan, DriveRoot) {
    const std::string root = "S:\\";
    ASSERT_TRUE(DirectoryExists(root)) << "the test prefix provides drive S:";
    for (const std::string& name : EntryNamesIn("S:"))
        RemoveTree(root + name);
    BuildTree("S:", {"a.txt:3", "d\\", "d\\e.txt:4", ".trash\\", ".trash\\gone.bin:50", ".rc:1"});

    for (const char* path : {"S:\\", "S:", "S:\\\\"}) {
        SCOPED_TRACE(path);
        TFileInfos list;
        EXPECT_FALSE(list.ScanPath(path, 8));
        EXPECT_EQ("S:", list.BaseDir);
        EXPECT_EQ(Sorted({".rc", "a.txt", "d", "d\\e.txt"}), Sorted(Names(list)));
        EXPECT_EQ(8, list.TotalSize());
        ExpectDepthFirstInEnumerationOrder(list);
        TFileInfos limited;
        EXPECT_TRUE(limited.ScanPath(path, 7));
    }
    for (const std::string& name : EntryNamesIn("S:"))
        RemoveTree(root + name);
}

// ---------------------------------------------------------------------------
// Sets of numbered parts joined without a header

TEST(NumberedParts, OneFileFromConsecutiveParts) {
    struct TRow {
        const char* Label;
        std::vector<std::string> Parts;  // "name:size"
        const char* Given;
        bool Result;
        const char* Name;
        int64_t Size;
    } rows[] = {
        {"three parts", {"movie.avi.001:1453568", "movie.avi.002:1453568", "movie.avi.003:1000"}, "movie.avi.h001",
         true, "movie.avi", 2908136},
        {"given a data part", {"movie.avi.001:10", "movie.avi.002:20"}, "movie.avi.002", true, "movie.avi", 30},
        {"given a name that does not exist", {"movie.avi.001:10", "movie.avi.002:20"}, "movie.avi.xyz", true,
         "movie.avi", 30},
        {"only 001", {"movie.avi.001:10"}, "movie.avi.h001", false, "", 0},
        {"gap after 002", {"movie.avi.001:10", "movie.avi.002:20", "movie.avi.004:40"}, "movie.avi.001", true,
         "movie.avi", 30},
        {"002 missing", {"movie.avi.001:10", "movie.avi.003:30"}, "movie.avi.001", false, "", 0},
        {"001 missing", {"movie.avi.002:10", "movie.avi.003:30"}, "movie.avi.h001", false, "", 0},
        {"no dot in the path", {"movie.001:10", "movie.002:20", "movie.003:1"}, "movie", true, "movie", 31},
        {"one-letter name", {"m.001:1", "m.002:2", "m.003:4"}, "m.h001", true, "m", 7},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TScratchDir scratch("parts");
        BuildTree(scratch.Path(), row.Parts);
        const std::string first = scratch / (std::string(row.Name).empty() ? "x" : row.Name) + ".001";
        if (FileExists(first)) {
            SetLastWriteTimeOf(first, ExampleTime);
            SetLastWriteTimeOf(scratch / (std::string(row.Name) + ".002"), ExampleTime + 10000000);
        }

        TFileInfos list;
        list.BaseDir = "kept";
        TFileInfo* stale = list.Add();
        stale->Name = "stale";
        EXPECT_EQ(row.Result, list.ScanNumberedParts(scratch / row.Given));
        EXPECT_EQ("kept", list.BaseDir);
        if (!row.Result) {
            EXPECT_EQ(0, list.Count());
            continue;
        }
        ASSERT_EQ(1, list.Count());
        const TFileInfo& entry = *list.GetItem(0);
        EXPECT_EQ(row.Name, entry.Name);
        EXPECT_EQ(fkFile, entry.Kind);
        EXPECT_EQ(row.Size, entry.Size);
        EXPECT_EQ(ExampleTime, FileTimeValue(entry.LastWriteTime));
    }
}

TEST(NumberedParts, DirectoryInPlaceOfAPartIsNoSet) {
    TScratchDir scratch("parts");
    BuildTree(scratch.Path(), {"a.001:5", "a.002\\"});
    TFileInfos list;
    EXPECT_FALSE(list.ScanNumberedParts(scratch / "a.h001"));
    EXPECT_EQ(0, list.Count());
}

}  // namespace
