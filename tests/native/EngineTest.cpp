// The engine's own split and join, run natively over the POSIX layer on real
// files, under AddressSanitizer and UBSan.
#include "foundation/UnitLanguage.h"
#include "foundation/platform/FileFaults.h"
#include "support/InProcessJob.h"
#include "support/NativeFiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace native_files;

// Seconds and milliseconds since 1970; the header keeps milliseconds.
void SetTime(const fs::path& path, time_t seconds, long milliseconds) {
    const timespec times[2] = {{0, UTIME_OMIT}, {seconds, milliseconds * 1000000}};
    ASSERT_EQ(0, utimensat(AT_FDCWD, path.c_str(), times, 0)) << path;
}

int64_t TimeInMilliseconds(const fs::path& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return -1;
    return static_cast<int64_t>(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
}

// Every file and directory below root: bytes and time for files, time for
// directories.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> out;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        const std::string key = fs::relative(item.path(), root).string();
        if (item.is_directory())
            out[key + "/"] = "<dir>@" + std::to_string(TimeInMilliseconds(item.path()));
        else
            out[key] = ReadBytes(item.path()) + "@" + std::to_string(TimeInMilliseconds(item.path()));
    }
    return out;
}

uint8_t Split(const fs::path& source, const fs::path& out, int64_t size) {
    TJobRequest request;
    request.Source = source.string();
    request.OutputDir = out.string();
    request.Size = size;
    return RunInProcess(request);
}

uint8_t Join(const fs::path& start, const fs::path& out, bool noHeader = false) {
    return RunJoinInProcess(start.string(), out.string(), true, noHeader);
}

TEST(NativeEngine, FileRoundTrip) {
    struct TRow {
        const char* Label;
        size_t Size;
        int64_t PartSize;
        int Parts;
    } rows[] = {
        {"one part with the header", 10, 1000, 1},
        {"exact multiple of the part size", 3000, 1000, 3},
        {"many parts and a remainder", 100001, 4096, 25},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TScratch dir;
        fs::create_directories(dir / "parts");
        fs::create_directories(dir / "out");
        const std::string bytes = Pattern(row.Size, 7);
        WriteBytes(dir / "film.mkv", bytes);
        SetTime(dir / "film.mkv", 1700000000, 123);

        ASSERT_EQ(rcOk, Split(dir / "film.mkv", dir / "parts", row.PartSize));
        EXPECT_TRUE(fs::exists(dir / ("parts/film.mkv." + std::string(row.Parts < 10 ? "00" : "0") +
                                      std::to_string(row.Parts))));
        EXPECT_TRUE(fs::exists(dir / "parts/film.mkv.h001"));

        ASSERT_EQ(rcOk, Join(dir / "parts/film.mkv.001", dir / "out"));
        EXPECT_EQ(bytes, ReadBytes(dir / "out/film.mkv"));
        EXPECT_EQ(1700000000123, TimeInMilliseconds(dir / "out/film.mkv"));
    }
}

TEST(NativeEngine, TreeRoundTripAcrossTwoEngines) {
    TScratch dir;
    const fs::path src = dir / "src";
    fs::create_directories(src / "sub/deeper");
    fs::create_directories(src / "empty");
    WriteBytes(src / "a.txt", Pattern(2500, 1));
    WriteBytes(src / "sub/b.bin", Pattern(7000, 2));
    WriteBytes(src / "sub/deeper/zero.dat", "");
    WriteBytes(src / "sub/deeper/c with space.bin", Pattern(333, 3));
    SetTime(src / "a.txt", 1000000000, 1);
    SetTime(src / "sub/b.bin", 1200000000, 999);
    SetTime(src / "sub/deeper/zero.dat", 86400, 0);
    SetTime(src / "sub/deeper/c with space.bin", 1600000000, 500);
    // Directory times far from now, which a join that left them would miss.
    SetTime(src / "sub/deeper", 1100000000, 250);
    SetTime(src / "sub", 1300000000, 0);
    SetTime(src / "empty", 900000000, 750);
    fs::create_directories(dir / "parts");
    fs::create_directories(dir / "out");

    ASSERT_EQ(rcOk, Split(src, dir / "parts", 1000));
    // The set holds backslash-separated names, as a Windows join reads them.
    std::string header;
    for (const char* name : {"parts/src.h001", "parts/src.h002", "parts/src.h003"})
        header += ReadBytes(dir / name);
    EXPECT_NE(std::string::npos, header.find("src\\sub\\deeper\\c with space.bin\tF\t333\t"));

    // Any file of the set starts the join, from a second engine of its own.
    ASSERT_EQ(rcOk, Join(dir / "parts/src.005", dir / "out"));
    auto expected = Snapshot(dir / "src");
    auto rebuilt = Snapshot(dir / "out/src");
    // The join restores the directories' times as well as the files'.
    EXPECT_EQ(expected, rebuilt);
}

TEST(NativeEngine, NumberedPartsWithoutHeader) {
    TScratch dir;
    fs::create_directories(dir / "out");
    const std::string bytes = Pattern(2500, 9);
    WriteBytes(dir / "data.bin.001", bytes.substr(0, 1000));
    WriteBytes(dir / "data.bin.002", bytes.substr(1000, 1000));
    WriteBytes(dir / "data.bin.003", bytes.substr(2000));
    ASSERT_EQ(rcOk, Join(dir / "data.bin.002", dir / "out", true));
    EXPECT_EQ(bytes, ReadBytes(dir / "out/data.bin"));
}

// A header can come from anywhere: what it names must stay below the output
// directory, and a refused header creates nothing at all.
TEST(NativeEngine, HostileHeadersAreRefusedBeforeAnythingIsCreated) {
    struct TRow {
        const char* Label;
        std::string Entries;
    } rows[] = {
        {"parent directory", "ok.txt\tF\t3\t20200101000000000\t..\\escape.txt\tF\t2\t20200101000000000\t"},
        {"absolute name", "\\etc\\owned\tF\t5\t20200101000000000\t"},
        {"drive name", "C:evil\tF\t5\t20200101000000000\t"},
        {"slash inside a name", "a/b\tF\t5\t20200101000000000\t"},
        {"device name", "NUL.txt\tF\t5\t20200101000000000\t"},
        {"negative size", "neg\tF\t-5\t20200101000000000\t"},
        {"bad number", "x\tF\t1e3\t20200101000000000\t"},
        {"marked parent directory", "\xEF\xBB\xBF..\\escape.txt\tF\t5\t20200101000000000\t"},
        {"marked drive name", "\xEF\xBB\xBF" "C:evil\tF\t5\t20200101000000000\t"},
        {"marked invalid UTF-8", "\xEF\xBB\xBF\xC3(\tF\t5\t20200101000000000\t"},
        {"mark opening a later component, then a climb", "ok\\\xEF\xBB\xBF..\\..\\escape.txt\tF\t5\t20200101000000000\t"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TScratch dir;
        fs::create_directories(dir / "parts");
        fs::create_directories(dir / "out");
        WriteBytes(dir / "parts/set.001", "abcde");
        WriteBytes(dir / "parts/set.h001", "QoVa40\t" + row.Entries + "\t");
        EXPECT_EQ(rcInvalidHeader, Join(dir / "parts/set.001", dir / "out"));
        EXPECT_TRUE(fs::is_empty(dir / "out"));
        EXPECT_FALSE(fs::exists(dir / "escape.txt"));
    }
}

// Names in any script come back as they were, over the POSIX layer too, and
// a name that is no valid UTF-8 (the program's text here) is refused before
// anything is written: it has no stored form.
TEST(NativeEngine, NamesInAnyScript) {
    struct TRow {
        const char* Label;
        std::vector<std::string> Files;
        uint8_t Result;
    };
    const TRow rows[] = {
        {"CJK, Cyrillic, Greek, emoji and cp1252 letters",
         {"\xE6\x97\xA5\xE6\x9C\xAC/\xD0\x9F\xD1\x80\xD0\xB8.txt", "\xCE\xB1\xCE\xB2/\xF0\x9F\x98\x80.bin",
          "caf\xC3\xA9 \xC3\xBC \xC3\x9F.txt", "a\xEF\xBC\x8F" "b.txt"},
         rcOk},
        {"a name of Latin-1 bytes, no UTF-8", {"ok.txt", "caf\xE9.txt"}, rcFileError},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TScratch dir;
        int seed = 0;
        for (const std::string& name : row.Files) {
            fs::create_directories((dir / "src" / name).parent_path());
            WriteBytes(dir / "src" / name, Pattern(900 + 100 * seed, seed));
            SetTime(dir / "src" / name, 1300000000 + seed, 7 * seed);
            ++seed;
        }
        fs::create_directories(dir / "parts");
        fs::create_directories(dir / "out");
        ASSERT_EQ(row.Result, Split(dir / "src", dir / "parts", 1000));
        if (row.Result != rcOk) {
            EXPECT_TRUE(fs::is_empty(dir / "parts"));
            continue;
        }
        ASSERT_EQ(rcOk, Join(dir / "parts/src.h001", dir / "out"));
        EXPECT_EQ(Snapshot(dir / "src"), Snapshot(dir / "out/src"));
    }
}

// A header separates components with the backslash; a POSIX name holding
// one would come back as another path, so the split refuses it up front.
TEST(NativeEngine, ANameWithABackslashIsRefusedBeforeAnythingIsWritten) {
    TScratch dir;
    fs::create_directories(dir / "src/sub");
    WriteBytes(dir / "src/fine.txt", "fine");
    WriteBytes(dir / "src/sub/back\\slash.txt", "odd");
    fs::create_directories(dir / "parts");
    EXPECT_EQ(rcFileError, Split(dir / "src", dir / "parts", 1000));
    EXPECT_TRUE(fs::is_empty(dir / "parts"));
}

// A linked directory's contents are part of the tree; a link back to an
// ancestor is entered no more, so the split ends and stores each file once.
TEST(NativeEngine, LinkedDirectoriesAreEnteredOnce) {
    TScratch dir;
    fs::create_directories(dir / "outside");
    fs::create_directories(dir / "src/sub");
    WriteBytes(dir / "outside/o.txt", Pattern(100, 1));
    WriteBytes(dir / "src/sub/inner.txt", Pattern(20, 2));
    fs::create_directory_symlink(dir / "outside", dir / "src/out");
    fs::create_directory_symlink("..", dir / "src/sub/loop");
    fs::create_directories(dir / "parts");
    fs::create_directories(dir / "back");
    ASSERT_EQ(rcOk, Split(dir / "src", dir / "parts", 1000));
    ASSERT_EQ(rcOk, Join(dir / "parts/src.001", dir / "back"));
    EXPECT_EQ(ReadBytes(dir / "outside/o.txt"), ReadBytes(dir / "back/src/out/o.txt"));
    EXPECT_EQ(ReadBytes(dir / "src/sub/inner.txt"), ReadBytes(dir / "back/src/sub/inner.txt"));
    EXPECT_TRUE(fs::is_directory(dir / "back/src/sub/loop"));
    EXPECT_TRUE(fs::is_empty(dir / "back/src/sub/loop"));
}

// A directory that cannot be listed ends the split before anything is
// written, instead of leaving its contents out of the set.
TEST(NativeEngine, AnUnlistableDirectoryEndsTheSplitWithAFileError) {
    TScratch dir;
    fs::create_directories(dir / "src/a/b");
    WriteBytes(dir / "src/a/b/x.txt", "x");
    fs::create_directories(dir / "parts");
    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE("listing " + std::to_string(n) + " fails");
        int count = 0;
        SetFileFaultHook([&](TFileOperation operation) {
            TFileFault fault;
            if (operation == TFileOperation::List && ++count == n)
                fault.Error = EACCES;
            return fault;
        });
        const uint8_t result = Split(dir / "src", dir / "parts", 1000);
        SetFileFaultHook(nullptr);
        EXPECT_EQ(rcFileError, result);
        EXPECT_TRUE(fs::is_empty(dir / "parts"));
    }
}

// Memory that runs out while the scan lists a directory ends the split as
// what it is (12, with its text), not as a source that is not there (1).
TEST(NativeEngine, MemoryThatRunsOutInTheScanIsNoMissingSource) {
    TScratch dir;
    fs::create_directories(dir / "src/a");
    WriteBytes(dir / "src/a/x.txt", "x");
    fs::create_directories(dir / "parts");
    for (int n = 1; n <= 2; ++n) {
        SCOPED_TRACE("listing " + std::to_string(n) + " runs out of memory");
        int count = 0;
        SetFileFaultHook([&](TFileOperation operation) {
            if (operation == TFileOperation::List && ++count == n)
                throw std::bad_alloc();
            return TFileFault();
        });
        TJobRequest request;
        request.Source = (dir / "src").string();
        request.OutputDir = (dir / "parts").string();
        request.Size = 1000;
        std::string failure;
        const uint8_t result = RunInProcess(request, &failure);
        SetFileFaultHook(nullptr);
        EXPECT_EQ(n, count);
        EXPECT_EQ(rcUnknownError, result);
        EXPECT_EQ(LangText(msgOutOfMemory), failure);
        EXPECT_TRUE(fs::is_empty(dir / "parts"));
    }
}

TEST(NativeEngine, PathCheckCodes) {
    TScratch dir;
    fs::create_directories(dir / "parts");
    WriteBytes(dir / "file.bin", "data");
    struct TRow {
        const char* Label;
        fs::path Source;
        fs::path Output;
        int64_t Size;
        bool Join;
        uint8_t Expected;
    } rows[] = {
        {"missing source", dir / "nothing", dir / "parts", 100, false, rcSourceNotFound},
        {"missing output", dir / "file.bin", dir / "nowhere", 100, false, rcOutputNotFound},
        {"output is a file", dir / "file.bin", dir / "file.bin", 100, false, rcOutputIsFile},
        {"zero size", dir / "file.bin", dir / "parts", 0, false, rcInvalidSize},
        {"join of a directory", dir / "parts", dir / "parts", 100, true, rcSourceIsDirectory},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TJobRequest request;
        request.Source = row.Source.string();
        request.OutputDir = row.Output.string();
        request.Size = row.Size;
        request.Join = row.Join;
        EXPECT_EQ(row.Expected, RunInProcess(request));
    }
    EXPECT_TRUE(fs::is_empty(dir / "parts"));
}

// A relative source resolves against the working directory, as a path typed
// at a prompt does.
TEST(NativeEngine, RelativePaths) {
    TScratch dir;
    fs::create_directories(dir / "parts");
    fs::create_directories(dir / "out");
    WriteBytes(dir / "rel.bin", Pattern(1500, 4));
    const fs::path before = fs::current_path();
    fs::current_path(dir.Path);
    const uint8_t split = Split("rel.bin", "./parts/", 1000);
    const uint8_t join = Join("parts/rel.bin.002", "out");
    fs::current_path(before);
    EXPECT_EQ(rcOk, split);
    EXPECT_EQ(rcOk, join);
    EXPECT_EQ(ReadBytes(dir / "rel.bin"), ReadBytes(dir / "out/rel.bin"));
}

}  // namespace
