// A source file that another process holds open for writing cannot be read:
// the split ends with a file error and keeps what it wrote.
#include "support/Processes.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

TEST(LockedSource, SplitEndsWithAFileError) {
    TScratchDir dir("locked");
    MakeDirectory(dir / "d");
    MakeDirectory(dir / "out");
    WritePatternFile(dir / "d\\a.bin", 250, 1);
    WritePatternFile(dir / "d\\b.bin", 50, 2);
    // This test process is the other program that writes to the file.
    const std::string locked = dir / "d\\b.bin";
    HANDLE holder = CreateFileA(locked.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    const int code = RunFendrix("/SILENT d out /SIZE100", dir.Path());
    CloseHandle(holder);
    EXPECT_EQ(9, code);
    // Which of the two files is read first depends on the enumeration; a
    // part is written for every byte read before the locked file.
    EXPECT_TRUE(FileExists(dir / "out\\d.001"));
    EXPECT_FALSE(FileExists(dir / "out\\d.h001"));
}
