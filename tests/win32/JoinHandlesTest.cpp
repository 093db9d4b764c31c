// Silent joins in this process, successful and failing: whatever the end,
// the job closes every part and output file it opened.
#include "engine/UnitFendrix.h"
#include "support/InProcessJob.h"
#include "support/JoinSets.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace {

uint8_t JoinSilentlyHere(const std::string& start, const std::string& outDir, bool noHeader = false) {
    return RunJoinInProcess(start, outDir, true, noHeader);
}

const std::string Data = PatternBytes(300000, 5);

// a: 200,000 bytes, b: 100,000 bytes, in parts of 131,072 bytes.
void WriteSet(const std::string& dir) {
    WritePartSet(dir, "x", {Data.substr(0, 131072), Data.substr(131072, 131072), Data.substr(262144)},
                 HeaderTextOf({{"d", 'D', "0"}, {"d\\a", 'F', "200000"}, {"d\\b", 'F', "100000"}}), {40});
}

struct THandleCase {
    const char* Why;
    std::function<void(const std::string&)> Prepare;
    const char* Locked;  // a file of the set this process holds open without sharing
    bool NoHeader;
    uint8_t Result;
};

TEST(JoinHandles, EveryEndClosesEveryFile) {
    const THandleCase cases[] = {
        {"complete set", WriteSet, nullptr, false, 0},
        {"without header", WriteSet, nullptr, true, 0},
        {"data part 003 missing",
         [](const std::string& d) {
             WriteSet(d);
             DeleteFileA((d + "\\x.003").c_str());
         },
         nullptr, false, 1},
        {"header file h002 missing",
         [](const std::string& d) {
             WriteSet(d);
             DeleteFileA((d + "\\x.h002").c_str());
         },
         nullptr, false, 1},
        {"data part 002 locked", WriteSet, "x.002", false, 9},
        {"header file h002 locked", WriteSet, "x.h002", false, 9},
        {"existing directory where a file must go",
         [](const std::string& d) {
             WriteSet(d);
             MakeDirectory(d + "\\out\\d");
             MakeDirectory(d + "\\out\\d\\b");
         },
         nullptr, false, 9},
        {"invalid header",
         [](const std::string& d) { WritePartSet(d, "x", {Data}, HeaderTextOf({{"a", 'F', "1.5"}})); }, nullptr,
         false, 8},
        {"unsafe name",
         [](const std::string& d) { WritePartSet(d, "x", {Data}, HeaderTextOf({{"a\\..\\..\\b", 'F', "5"}})); },
         nullptr, false, 8},
    };
    // First-use handles of the system are not the job's.
    {
        TScratchDir warm("hwarm");
        MakeDirectory(warm / "out");
        WriteSet(warm.Path());
        JoinSilentlyHere(warm / "x.001", warm / "out");
        MakeDirectory(warm / "out2");
        MakeDirectory(warm / "out2\\d\\");
        MakeDirectory(warm / "out2\\d\\a");
        JoinSilentlyHere(warm / "x.001", warm / "out2");
    }
    for (const THandleCase& c : cases) {
        SCOPED_TRACE(c.Why);
        TScratchDir dir("handles");
        MakeDirectory(dir / "out");
        c.Prepare(dir.Path());
        HANDLE lock = INVALID_HANDLE_VALUE;
        if (c.Locked) {
            lock = CreateFileA((dir / c.Locked).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, lock);
        }
        const uint32_t before = OpenHandleCount();
        EXPECT_EQ(c.Result, JoinSilentlyHere(dir / "x.001", dir / "out", c.NoHeader));
        EXPECT_EQ(before, OpenHandleCount()) << "handles left open by the job";
        if (lock != INVALID_HANDLE_VALUE)
            CloseHandle(lock);
        if (c.Result == 0) {
            const std::string out = dir / (c.NoHeader ? "out\\x" : "out\\d\\a");
            EXPECT_TRUE(ReadFileBytes(out) == (c.NoHeader ? Data : Data.substr(0, 200000)));
        }
    }
}

}  // namespace
