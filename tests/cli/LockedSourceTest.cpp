// A source file that another process holds open for writing cannot be read:
// the split ends with a file error and keeps what it wrote. Which file comes
// first is the system's enumeration order, so the test reads that order
// itself and expects the parts to hold exactly the bytes of the files
// listed before the locked one; each of the two files is locked in turn, so
// both the "locked first" and the "locked later" case are always seen.
#include "support/Processes.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string PartName(const std::string& prefix, bool header, int n) {
    char number[16];
    std::snprintf(number, sizeof number, "%s%03d", header ? "h" : "", n);
    return prefix + "." + number;
}

}  // namespace

TEST(LockedSource, SplitEndsWithAFileErrorAndKeepsWhatItRead) {
    for (const char* lockedName : {"a.bin", "b.bin"}) {
        SCOPED_TRACE(std::string("locked: ") + lockedName);
        TScratchDir dir("locked");
        MakeDirectory(dir / "d");
        MakeDirectory(dir / "out");
        WritePatternFile(dir / "d\\a.bin", 250, 1);
        WritePatternFile(dir / "d\\b.bin", 50, 2);

        // The bytes that the split reads before it reaches the locked file.
        std::string before;
        bool seenLocked = false;
        const std::vector<std::string> order = FileNamesIn(dir / "d");
        ASSERT_EQ(2u, order.size());
        for (const std::string& name : order) {
            if (name == lockedName)
                seenLocked = true;
            if (!seenLocked)
                before += ReadFileBytes(dir / ("d\\" + name));
        }
        ASSERT_TRUE(seenLocked);

        // This test process is the other program that writes to the file.
        const std::string locked = dir / (std::string("d\\") + lockedName);
        HANDLE holder = CreateFileA(locked.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, holder);
        const int code = RunFendrix("/SILENT d out /SIZE100", dir.Path());
        CloseHandle(holder);
        EXPECT_EQ(9, code);

        // Parts of 100 bytes for everything read before the locked file,
        // none when it came first; never a header.
        std::string parts;
        int count = 0;
        for (int n = 1; FileExists(PartName(dir / "out\\d", false, n)); ++n) {
            parts += ReadFileBytes(PartName(dir / "out\\d", false, n));
            ++count;
        }
        EXPECT_EQ(before, parts);
        EXPECT_EQ(static_cast<int>((before.size() + 99) / 100), count);
        EXPECT_FALSE(FileExists(PartName(dir / "out\\d", true, 1)));
        EXPECT_EQ(PatternBytes(250, 1), ReadFileBytes(dir / "d\\a.bin"));
        EXPECT_EQ(PatternBytes(50, 2), ReadFileBytes(dir / "d\\b.bin"));
    }
}
